#pragma once
// The library of the engine object model: media and playlist collections.
#include <memory>
#include <string>

#include "engine/model/media.h"

namespace wmp {

class IMediaCollection {
 public:
  virtual ~IMediaCollection() = default;
  // Adds a file of the file system (or finds it when it is in already).
  virtual HResult Add(const std::wstring& url, MediaPtr* item) = 0;
  // A new playlist of every library item whose attribute equals `value`.
  virtual HResult GetByAttribute(const std::wstring& attribute, const std::wstring& value,
                                 PlaylistPtr* items) = 0;
  virtual HResult GetByAlbum(const std::wstring& album, PlaylistPtr* items) = 0;
  virtual HResult GetByName(const std::wstring& name, PlaylistPtr* items) = 0;
  virtual HResult GetAll(PlaylistPtr* items) = 0;
  // Removes an item from the library; with deleteFile its file goes too.
  virtual HResult Remove(IMedia* item, bool deleteFile) = 0;
};
using MediaCollectionPtr = std::shared_ptr<IMediaCollection>;

class IPlaylistCollection {
 public:
  virtual ~IPlaylistCollection() = default;
  virtual HResult NewPlaylist(const std::wstring& name, PlaylistPtr* playlist) = 0;
  virtual HResult GetByName(const std::wstring& name, PlaylistArrayPtr* playlists) = 0;
  virtual HResult GetAll(PlaylistArrayPtr* playlists) = 0;
  virtual HResult Remove(IPlaylist* playlist) = 0;
};
using PlaylistCollectionPtr = std::shared_ptr<IPlaylistCollection>;

}  // namespace wmp
