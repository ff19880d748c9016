#pragma once
// The records the library keeps, and the rules for their attribute names:
// which names are spellings of the same attribute, which ones the library
// computes itself and so cannot be written from outside.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mediaengine {

using ItemId = std::uint64_t;

// Ids run from 1 to kMaxItemId; a library whose next id would pass it takes
// no new items (the store could not write that id back).
constexpr ItemId kMaxItemId = UINT64_MAX - 1;

// The longest duration the library keeps: about 31 years, far beyond any
// real file, and far inside every sum the engine does with it.
constexpr std::int64_t kMaxDurationMs = 1000000000000;

// Attribute names the library gives a meaning to.
namespace attr {
inline const std::wstring kTitle = L"Title";
inline const std::wstring kAuthor = L"Author";  // also read and written as "Artist"
inline const std::wstring kAlbumTitle = L"WM/AlbumTitle";  // also "Album"
inline const std::wstring kAlbumArtist = L"WM/AlbumArtist";
inline const std::wstring kGenre = L"WM/Genre";
inline const std::wstring kTrackNumber = L"WM/TrackNumber";
inline const std::wstring kBitrate = L"Bitrate";
inline const std::wstring kFileSize = L"FileSize";
inline const std::wstring kFileType = L"FileType";
inline const std::wstring kMediaType = L"MediaType";
inline const std::wstring kToc = L"TOC";
inline const std::wstring kSourceUrl = L"SourceURL";
inline const std::wstring kDuration = L"Duration";
inline const std::wstring kSyncOnly = L"SyncOnly";
}  // namespace attr

inline const std::wstring kMediaTypeAudio = L"audio";
inline const std::wstring kMediaTypePlaylist = L"playlist";

// One item of the library. A saved playlist is a record too: its url is its
// WPL file and `members` lists the items it holds, in order.
struct LibraryRecord {
  ItemId id = 0;
  bool playlist = false;
  std::wstring url;
  std::int64_t durationMs = 0;
  std::map<std::wstring, std::wstring> attributes;  // keyed by canonical name
  std::vector<ItemId> members;
};

// The one spelling under which an attribute is stored: "Artist" is
// "Author", "Album" is "WM/AlbumTitle", "Name" is "Title".
const std::wstring& CanonicalAttribute(const std::wstring& name);

// Attributes that come from the file or from the library itself.
bool IsReadOnlyAttribute(const std::wstring& canonicalName);

// Progress texts of the running session ("Status", "RipProgress"): kept in
// memory and announced, never written to the library file.
bool IsTransientAttribute(const std::wstring& canonicalName);

// "Sync01" … "Sync16" for a partnership index 1..16.
std::wstring SyncAttribute(int partnership);

// The value of an attribute as callers see it: the computed ones
// (SourceURL, Duration) and the stored ones; a missing one is empty.
std::wstring AttributeOf(const LibraryRecord& record, const std::wstring& canonicalName);

// Seconds as the engine shows a length: "m:ss", or "h:mm:ss" from an hour;
// rounded to the nearest second, any value of the type, a negative one as 0.
std::wstring DurationText(std::int64_t durationMs);


}  // namespace mediaengine
