#pragma once
// What the rest of the engine hands to the library and gets back from it.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "mediaengine/codec/asf_info.h"
#include "engine/model/media.h"
#include "engine/model/result.h"

namespace mediaengine {

// Reads the tags and facts of a .wma file (ReadAsfInfo in the product).
using TagReader = std::function<bool(const std::wstring& path, AsfInfo* info)>;

// A finished track of a rip, entered with every attribute at once so that no
// reader ever sees it half-described.
struct RippedTrack {
  std::wstring url;            // the .wma file; FileType is taken from its extension
  std::wstring title;          // "Title" (the item's name)
  std::wstring artist;         // "Author", also read as "Artist"
  std::wstring albumTitle;     // "WM/AlbumTitle", also read as "Album"
  std::wstring albumArtist;    // "WM/AlbumArtist"
  std::wstring genre;          // "WM/Genre"; left out when empty
  int trackNumber = 0;         // "WM/TrackNumber"; left out when 0 or less
  std::wstring toc;            // "TOC" of the disc it came from; how the disc finds it again
  double durationSeconds = 0;  // the item's duration
  std::uint32_t bitrate = 0;   // "Bitrate", declared bits per second
  std::uint64_t fileSize = 0;  // "FileSize", bytes (0 is kept: it marks an empty file)
  // Further attributes, e.g. {"WM/Year", "2004"}; SourceURL and MediaType are ignored.
  std::vector<std::pair<std::wstring, std::wstring>> extra;
};

enum class LoadOutcome {
  kLoaded,           // the library file was read
  kNew,              // there was no library file: an empty library
  kDamagedSetAside,  // the file was damaged, renamed to `setAsidePath`; an empty library
  kNotSaving,        // the file could not be read or set aside: an empty library that
                     // never writes, so the file on disk is not overwritten
};

struct LoadReport {
  LoadOutcome outcome = LoadOutcome::kNew;
  wmp::HResult error = wmp::kOk;  // the file-system failure behind kNotSaving
  std::wstring setAsidePath;      // kDamagedSetAside: where the damaged file went
  std::string detail;             // why the file was found damaged, with its line
  std::size_t items = 0;          // records read, playlists included
};

// Playlist change types of the PlaylistChange event, as the platform numbers them.
constexpr long kPlaylistChangeInfo = 2;
constexpr long kPlaylistChangeMove = 3;
constexpr long kPlaylistChangeDelete = 4;
constexpr long kPlaylistChangeAppend = 6;
constexpr long kPlaylistChangeRename = 8;

// Hooks the engine connects to its event queue. They are called after the
// change is stored and saved, outside the library's lock, on the thread that
// made the change (a rip worker too), so they must only queue. Empty hooks
// are skipped.
struct LibraryEvents {
  std::function<void()> mediaCollectionChange;         // items added or removed
  std::function<void(const wmp::MediaPtr&)> mediaChange;  // a name or attribute changed
  std::function<void()> playlistCollectionChange;      // a playlist created, removed, renamed
  std::function<void(const wmp::PlaylistPtr&, long change)> playlistChange;  // kPlaylistChange…
  std::function<void(wmp::HResult error)> saveFailed;  // the library file could not be written
};

}  // namespace mediaengine
