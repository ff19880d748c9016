#pragma once
// The records the library keeps, and the rules for their attribute names:
// which ones the library computes itself and so cannot be written from
// outside, which ones are never saved.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/model/attribute_names.h"
#include "mediaengine/library/attribute_list.h"

namespace mediaengine {

using ItemId = std::uint64_t;

// Ids run from 1 to kMaxItemId; a library whose next id would pass it takes
// no new items (the store could not write that id back).
constexpr ItemId kMaxItemId = UINT64_MAX - 1;

// The longest duration the library keeps: about 31 years, far beyond any
// real file, and far inside every sum the engine does with it.
constexpr std::int64_t kMaxDurationMs = 1000000000000;

namespace attr = wmp::attr;

// One item of the library. A saved playlist is a record too: its url is its
// WPL file and `members` lists the items it holds, in order.
struct LibraryRecord {
  ItemId id = 0;
  std::int64_t durationMs = 0;
  bool playlist = false;
  std::wstring url;
  AttributeList attributes;  // by the numbers of canonical names
  std::vector<ItemId> members;
};

// Attributes that come from the file or from the library itself.
bool IsReadOnlyAttribute(const std::wstring& canonicalName);

// Progress texts of the running session ("Status", "RipProgress"): kept in
// memory and announced, never written to the library file.
bool IsTransientAttribute(const std::wstring& canonicalName);

// The value of an attribute as callers see it: the computed ones
// (SourceURL, Duration) and the stored ones; a missing one is empty.
std::wstring AttributeOf(const LibraryRecord& record, const std::wstring& canonicalName);

// Shorthands on a record's stored attributes, by canonical name.
std::wstring StoredAttribute(const LibraryRecord& record, const std::wstring& canonicalName);
bool HasAttribute(const LibraryRecord& record, const std::wstring& canonicalName);
// Sets the value; an empty value is no value: it is removed.
void PutAttribute(LibraryRecord& record, const std::wstring& canonicalName,
                  const std::wstring& value);
// Sets the value, an empty one too.
void SetAttributeValue(LibraryRecord& record, const std::wstring& canonicalName,
                       const std::wstring& value);

}  // namespace mediaengine
