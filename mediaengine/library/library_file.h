#pragma once
// The library file: UTF-8 text, one line per fact, tab-separated fields.
//
//   marimba-library<TAB>1               header with the format version
//   next<TAB>43                         the id the next new item gets
//   item<TAB>id<TAB>ms<TAB>url          an item: id, duration in ms, file
//   playlist<TAB>id<TAB>ms<TAB>url      a saved playlist (url = its WPL file,
//                                       in the library's playlists folder)
//   attr<TAB>name<TAB>value             an attribute of the record above
//   member<TAB>id                       an item of the playlist above, in order
//   end<TAB>count                       the number of records; nothing follows
//
// Progress texts of the running session ("Status") are not written. In
// url, name and value a backslash, tab, line feed and carriage return are
// written as \\, \t, \n and \r. A file that breaks any of these rules, that
// lacks its end line or whose count disagrees is damaged as a whole: a
// half-read library would silently lose items.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "mediaengine/library/library_records.h"

namespace mediaengine {

constexpr int kLibraryFormatVersion = 1;

struct LibraryContents {
  ItemId nextId = 1;
  std::vector<LibraryRecord> records;  // in library order
};

struct LibraryParseError {
  std::size_t line = 0;  // 1-based; 0 when the file as a whole is wrong
  std::string reason;
};

// Records may come in any order: plain items are written before playlists
// so that every member line refers back to an item already read.
std::string SerializeLibrary(ItemId nextId, const std::vector<const LibraryRecord*>& records);

class LibraryParser;

// Reads a library file piece by piece as it comes from the disk, so that its
// whole text is never held beside the records made of it.
class LibraryReader {
 public:
  explicit LibraryReader(const std::wstring& playlistFolder);
  ~LibraryReader();
  LibraryReader(const LibraryReader&) = delete;
  LibraryReader& operator=(const LibraryReader&) = delete;

  // The next bytes of the file, cut anywhere.
  void Feed(const char* bytes, std::size_t size);
  // As ParseLibrary, for everything fed.
  bool Finish(LibraryContents* contents, LibraryParseError* error);

 private:
  std::unique_ptr<LibraryParser> parser_;
};

// False, with where and why, unless `text` is a whole library file of a
// version this build reads; `contents` is then left empty. Every playlist's
// file must lie in `playlistFolder` (the library writes and deletes it).
bool ParseLibrary(const std::string& text, const std::wstring& playlistFolder,
                  LibraryContents* contents, LibraryParseError* error);

}  // namespace mediaengine
