#pragma once
// The temporary library playlist of one transfer to a player: made with a
// free name, marked as the only playlist the partnership synchronises, and
// removed (with its file) once the transfer is over.
#include <string>

#include "engine/attributes.h"
#include "engine/model/library.h"
#include "engine/model/player.h"
#include "os/file_system.h"

namespace device {

class TempPlaylist {
 public:
  explicit TempPlaylist(os::IFileSystem& files) : files_(files) {}
  ~TempPlaylist() { Reset(); }
  TempPlaylist(const TempPlaylist&) = delete;
  TempPlaylist& operator=(const TempPlaylist&) = delete;

  // Takes the player's playlist collection and keeps `mediaCollection`
  // (not owned); false when the player gives no playlist collection.
  bool Bind(wmp::IPlayer* player, wmp::IMediaCollection* mediaCollection);
  // The first free name of "Temp00".."Temp99" (empty base name) or
  // base, base01..base99, as a new playlist. kFail when all are taken.
  wmp::HResult CreateTempPlaylist(const std::wstring& baseName);
  // Sets "Syncnn" of every library playlist that is marked (or unmarked)
  // for partnership `partnership` to "0".
  wmp::HResult ClearSyncMarks(long partnership);
  // Marks our playlist "1" (and "SyncOnly") and every other one "0"; learns
  // the playlist's file. kFail when our playlist is not in the library.
  wmp::HResult MarkSyncPlaylist(long partnership);
  // Removes our playlist from the library and deletes its file; kOk when
  // there is none. On failure everything is kept.
  wmp::HResult DeleteTempPlaylist();
  // Deletes a playlist still held, then lets go of the library.
  void Reset();

  // The playlist being filled; empty before CreateTempPlaylist.
  const engine::PlaylistRef& Playlist() const { return playlist_; }
  const std::wstring& PlaylistName() const { return playlistName_; }
  const std::wstring& FilePath() const { return filePath_; }

 private:
  os::IFileSystem& files_;
  engine::PlaylistRef playlist_;
  wmp::IMediaCollection* mediaCollection_ = nullptr;
  wmp::PlaylistCollectionPtr playlistCollection_;
  std::wstring filePath_;
  std::wstring playlistName_;
};

}  // namespace device
