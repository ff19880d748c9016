#pragma once
// The two drive-access objects as the transfer controller uses them: the CD
// part (CCDROMAcc) and the player-device part (CDAPAcc). part_adapters.h
// binds the real objects; tests script their own.
#include <cstdint>
#include <string>

#include "engine/attributes.h"
#include "engine/model/media.h"
#include "engine/model/sync.h"
#include "ui/track_list.h"

namespace controller {

class ICdPart {
 public:
  virtual ~ICdPart() = default;

  // 0 no CD drive, 1 drives listed, 2 a disc with tracks is open.
  virtual int GetState() const = 0;
  virtual void RefreshList(bool selectFirst, bool closeDropDown) = 0;
  virtual bool OpenDisc(bool checkContents) = 0;
  virtual int GetTrackCount(bool reopen) = 0;
  // The track list holds the rows of the present disc.
  virtual bool IsListFilled() const = 0;
  virtual void FillTrackList(std::uint32_t bitRate, bool resetChecks) = 0;
  virtual void ShowAlbumName() = 0;
  virtual bool SetAlbumName(const std::wstring& name) = 0;
  // Estimated megabytes of the track at `position` (0-based) and of the disc.
  virtual double GetTrackSize(int position) const = 0;
  virtual double GetTotalSize() const = 0;
  virtual float GetFreeSpaceMB(const std::wstring& path) = 0;
  // Index of the selected drive in the engine's CD-ROM collection; -1 none.
  virtual int CdromIndex() const = 0;
  virtual bool IsDiscItem(wmp::IPlaylist* playlist) const = 0;
  virtual engine::MediaRef GetDiscItem(long position) const = 0;

  // Rip preparation, in the order the transfer runs it.
  virtual bool RemoveMissingLibraryEntries() = 0;
  virtual bool CheckRippedFiles(std::uint32_t rateBitsPerSecond, const std::wstring& ripFolder) = 0;
  virtual bool CheckTrackOrder() = 0;
  virtual bool PrepareDiscTags(int model) = 0;
  virtual bool CorrectLibraryTags() = 0;

  // 0 rip started, trackCount × 100 already in the library, negative failure.
  virtual int StartRip() = 0;
  // Overall progress; negative on failure.
  virtual int UpdateRipProgress(int overall) = 0;
  virtual int GetRippedCount() const = 0;
  // Null when the ripped tracks cannot be collected.
  virtual wmp::PlaylistPtr FindRippedTracks(bool checkedOnly) = 0;
  virtual bool Eject() = 0;
  virtual bool StopRip() = 0;
  virtual void CloseStatus() = 0;
};

class IPlayerPart {
 public:
  virtual ~IPlayerPart() = default;

  // 0 no player, 1 listed, 2 player with partnership selected.
  virtual int GetState() const = 0;
  virtual void RefreshList(bool selectFirst, bool closeDropDown) = 0;
  virtual bool EnsurePartnership() = 0;
  virtual void UpdateCapacity() = 0;
  // "F:" for a selected drive entry, empty otherwise.
  virtual std::wstring GetSelectedDrive() const = 0;
  // Free megabytes of the selected player.
  virtual float FreeMB() const = 0;

  // The tracks of `playlist` checked in `checks` (all when null).
  virtual bool PrepareSync(wmp::IPlaylist* playlist, const ui::CheckSnapshot* checks) = 0;
  virtual bool StartSync() = 0;
  // 0..100 (100 finished), -2 cancelled by the user, -1 failed.
  virtual int PollSync() = 0;
  virtual bool StopSync() = 0;
  virtual bool FinishSync() = 0;
  virtual bool OnPartnershipComplete(wmp::ISyncDevice* device) = 0;
  virtual bool IsOurDevice(wmp::ISyncDevice* device) const = 0;

  // The end step on the player's files.
  virtual bool CollectTransferredFiles() = 0;
  virtual void MoveIntoMusicFolder() = 0;
  virtual void MoveOutOfMusicFolder() = 0;
  virtual void CloseStatus() = 0;
};

}  // namespace controller
