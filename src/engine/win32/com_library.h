#pragma once
// The installed engine's library seen through the engine object model:
// its media collection, its playlist collection and the playlist arrays
// that collection answers with. Items and playlists come out as the views
// of com_object_views.h; items and playlists going in must be such views
// (kInvalidArg otherwise: an object of our own engine means nothing here).
#include <string>

#include "engine/model/library.h"
#include "engine/win32/control_call.h"
#include "engine/win32/wmp_interfaces.h"

namespace engine::win32 {

class ComMediaCollection final : public wmp::IMediaCollection {
 public:
  explicit ComMediaCollection(ComPtr<IWMPMediaCollection> collection)
      : collection_(std::move(collection)) {}

  wmp::HResult Add(const std::wstring& url, wmp::MediaPtr* item) override;
  wmp::HResult GetByAttribute(const std::wstring& attribute, const std::wstring& value,
                              wmp::PlaylistPtr* items) override;
  wmp::HResult GetByAlbum(const std::wstring& album, wmp::PlaylistPtr* items) override;
  wmp::HResult GetByName(const std::wstring& name, wmp::PlaylistPtr* items) override;
  wmp::HResult GetAll(wmp::PlaylistPtr* items) override;
  wmp::HResult Remove(wmp::IMedia* item, bool deleteFile) override;

 private:
  ControlPtr<IWMPMediaCollection> collection_;
};

class ComPlaylistCollection final : public wmp::IPlaylistCollection {
 public:
  explicit ComPlaylistCollection(ComPtr<IWMPPlaylistCollection> collection)
      : collection_(std::move(collection)) {}

  wmp::HResult NewPlaylist(const std::wstring& name, wmp::PlaylistPtr* playlist) override;
  wmp::HResult GetByName(const std::wstring& name, wmp::PlaylistArrayPtr* playlists) override;
  wmp::HResult GetAll(wmp::PlaylistArrayPtr* playlists) override;
  wmp::HResult Remove(wmp::IPlaylist* playlist) override;

 private:
  ControlPtr<IWMPPlaylistCollection> collection_;
};

class ComPlaylistArray final : public wmp::IPlaylistArray {
 public:
  explicit ComPlaylistArray(ComPtr<IWMPPlaylistArray> playlists)
      : playlists_(std::move(playlists)) {}

  wmp::HResult Count(long* count) override;
  wmp::HResult Item(long index, wmp::PlaylistPtr* playlist) override;

 private:
  ControlPtr<IWMPPlaylistArray> playlists_;
};

}  // namespace engine::win32
