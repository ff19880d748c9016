#pragma once
// The player-device part as the transfer controller drives it: CDAPAcc, or a
// test's scripted part.
#include <string>

#include "engine/model/sync.h"
#include "ui/track_list.h"

namespace device {

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

}  // namespace device
