#pragma once
// Media items and playlists of the engine object model.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/model/result.h"

namespace wmp {

class IMedia;
class IPlaylist;
using MediaPtr = std::shared_ptr<IMedia>;
using PlaylistPtr = std::shared_ptr<IPlaylist>;

// A length as the engine shows it: "mm:ss" below an hour, "h:mm:ss" from an
// hour on, as the track list shows a length it times itself; a negative
// one as 0.
inline std::wstring DurationText(std::int64_t wholeSeconds) {
  const std::int64_t s = wholeSeconds < 0 ? 0 : wholeSeconds;
  auto two = [](std::int64_t n) {
    return std::wstring{static_cast<wchar_t>(L'0' + n / 10), static_cast<wchar_t>(L'0' + n % 10)};
  };
  const std::wstring minutes = two(s / 60 % 60) + L":" + two(s % 60);
  return s < 3600 ? minutes : std::to_wstring(s / 3600) + L":" + minutes;
}

// One media item: a track of a disc, a file of the library, or a playlist
// seen as an item of the library (attribute "MediaType" = "playlist").
// Objects are handed out freshly; IsIdentical tells whether two of them
// stand for the same item.
class IMedia {
 public:
  virtual ~IMedia() = default;
  virtual HResult Name(std::wstring* name) = 0;
  virtual HResult SetName(const std::wstring& name) = 0;
  virtual HResult SourceUrl(std::wstring* url) = 0;
  // Seconds.
  virtual HResult Duration(double* seconds) = 0;
  // DurationText of the whole seconds.
  virtual HResult DurationString(std::wstring* text) = 0;
  // Attribute texts such as "Title", "WM/TrackNumber", "Status", "FileSize".
  // A missing attribute reads as the empty text with success.
  virtual HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) = 0;
  virtual HResult SetItemInfo(const std::wstring& attribute, const std::wstring& value) = 0;
  virtual HResult IsIdentical(IMedia* other, bool* identical) = 0;
};

// An ordered list of media items: a disc, a library query or a saved playlist.
class IPlaylist {
 public:
  virtual ~IPlaylist() = default;
  virtual HResult Count(long* count) = 0;
  virtual HResult Item(long index, MediaPtr* item) = 0;
  virtual HResult Name(std::wstring* name) = 0;
  virtual HResult SetName(const std::wstring& name) = 0;
  virtual HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) = 0;
  virtual HResult SetItemInfo(const std::wstring& attribute, const std::wstring& value) = 0;
  virtual HResult AppendItem(IMedia* item) = 0;
  virtual HResult RemoveItem(IMedia* item) = 0;
  virtual HResult MoveItem(long oldIndex, long newIndex) = 0;
  virtual HResult IsIdentical(IPlaylist* other, bool* identical) = 0;
};

class IPlaylistArray {
 public:
  virtual ~IPlaylistArray() = default;
  virtual HResult Count(long* count) = 0;
  virtual HResult Item(long index, PlaylistPtr* playlist) = 0;
};
using PlaylistArrayPtr = std::shared_ptr<IPlaylistArray>;

}  // namespace wmp
