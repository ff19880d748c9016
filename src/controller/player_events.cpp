// What the main window does with the engine's events: follow disc changes,
// count rip progress, stop playback, drop partnerships of new devices, stop
// synchronisations the tool did not start and end its own.
#include "controller/marimba_dlg.h"

namespace controller {
namespace {

constexpr std::intptr_t kFail = static_cast<std::int32_t>(0x80004005);  // E_FAIL

bool IsEndState(int state) {
  return state == SYNC_RIPPING_ERROR || state == SYNC_SYNCING_DONE || state == SYNC_ERROR ||
         state == SYNC_ABORT;
}

}  // namespace

std::intptr_t CMarimbaDlg::OnPlayerEvent(unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam) {
  using engine::MessageNumber;
  using engine::MessageObject;
  const auto lParamBits = static_cast<std::uintptr_t>(lParam);
  switch (message) {
    case engine::kMsgCdromMediaChange:
      return OnCdromMediaChange(MessageNumber(wParam));
    case engine::kMsgMediaChange:
      return OnMediaChange(MessageObject<wmp::IMedia>(wParam));
    case engine::kMsgPlaylistChange:
      return OnPlaylistChange(MessageObject<wmp::IPlaylist>(wParam), MessageNumber(lParamBits));
    case engine::kMsgPlayStateChange:
      return OnPlayStateChange(MessageNumber(wParam));
    case engine::kMsgCreatePartnershipComplete:
      return OnCreatePartnershipComplete(MessageObject<wmp::ISyncDevice>(wParam));
    case engine::kMsgDeviceConnect:
      return OnDeviceConnect(MessageObject<wmp::ISyncDevice>(wParam));
    case engine::kMsgDeviceDisconnect:
      return OnDeviceDisconnect(MessageObject<wmp::ISyncDevice>(wParam));
    case engine::kMsgDeviceSyncError:
      return OnDeviceSyncError(MessageObject<wmp::ISyncDevice>(wParam));
    case engine::kMsgDeviceSyncStateChange:
      return OnDeviceSyncStateChange(MessageObject<wmp::ISyncDevice>(wParam),
                                     MessageNumber(lParamBits));
    default:  // DeviceStatusChange and the events the window does not follow
      return 0;
  }
}

std::intptr_t CMarimbaDlg::OnCdromMediaChange(long cdromIndex) {
  const Lock lock(lock_);
  if (!Bound() || cdromIndex != cd_->CdromIndex()) return 0;
  // Lets the drive settle; the window handles nothing meanwhile.
  ports_.clock.Wait(kDiscSettleMs);
  ++discChanges_;
  const int state = fields_.state;
  fields_.transferDone = 0;
  if (state != SYNC_RIPPING) fields_.autoSyncShown = 0;
  switch (state) {
    case SYNC_PRE_RIPPING:
    case SYNC_RIPPING:
      cd_->OpenDisc(true);
      break;
    case SYNC_SYNCING:
      // The "stopped" event that follows ends the transfer.
      player_->StopSync();
      break;
    default:
      TakeNewDisc();
      break;
  }
  return 0;
}

void CMarimbaDlg::TakeNewDisc() {
  // The new disc's tracks have not been reported yet.
  fields_.lastReportedTrack = -1;
  cd_->RefreshList(false, true);
  cd_->OpenDisc(true);
  // An ended transfer keeps its state until FinishTransfer has closed it.
  if (cd_->GetState() != 2 && !IsEndState(fields_.state)) SetSyncState(SYNC_INIT);
  cd_->FillTrackList(BitRate(), true);
  cd_->ShowAlbumName();
  UpdateControls();
  FocusControl(0);
}

std::intptr_t CMarimbaDlg::OnMediaChange(wmp::IMedia* item) {
  const Lock lock(lock_);
  if (!Bound() || item == nullptr) return 0;
  const engine::MediaRef changed(engine::MediaRef::Borrow(item));
  const int number = changed.GetTrackNumber();
  if (number <= 0) return kFail;
  const engine::MediaRef discItem = cd_->GetDiscItem(number - 1);
  if (!discItem || !discItem.IsIdentical(item)) return 0;
  // An edit of a title may be reported as a change of its track rather
  // than of the disc's playlist: that report answers the edit, and the
  // next name change of the playlist is a real one again.
  if (fields_.selfEditPending != 0 && number == fields_.editedRow + 1) {
    fields_.selfEditPending = 0;
  }

  const int status = changed.GetRipProgress(engine::RipProgressMode::Status);
  if (status == -1) return 0;
  if (status == -2) {
    // The engine reports the disc's tracks before it rips them.
    if (number == 1) {
      fields_.lastReportedTrack = -1;
    } else if (fields_.lastReportedTrack < number - 1 &&
               (number != fields_.editedRow + 1 ||
                cd_->GetTrackCount(false) == fields_.editedRow + 1)) {
      fields_.lastReportedTrack = number - 1;
    }
    return kTrackNotStarted;
  }
  // Percentages count only while the disc is being ripped; an edit of a
  // ripped disc must not turn an idle window into a failed rip.
  if (fields_.state != SYNC_RIPPING) return 0;
  const int progress = cd_->UpdateRipProgress((number - 1) * 100 + status);
  if (progress < 0) {
    KillTimer(kTimerRipPoll);
    SetSyncState(SYNC_RIPPING_ERROR);
    return kFail;
  }
  // A report is a sign of life: only the rip poll's ticks count towards a
  // stall. The engine repeats a percentage many times while a track starts,
  // and counting those here gave up healthy rips within seconds.
  if (progress != fields_.lastRipProgress) {
    fields_.ripStallCount = 0;
    fields_.lastRipProgress = progress;
  }
  return 0;
}

std::intptr_t CMarimbaDlg::OnPlaylistChange(wmp::IPlaylist* playlist, long change) {
  const Lock lock(lock_);
  if (!Bound() || playlist == nullptr) return 0;
  if (!cd_->IsDiscItem(playlist) || change != wmp::kPlaylistChangeName) return 0;
  if (fields_.selfEditPending != 0) {
    fields_.selfEditPending = 0;
    return 0;
  }
  const int state = fields_.state;
  if (state == SYNC_PRE_RIPPING || state == SYNC_RIPPING) return 0;
  cd_->OpenDisc(false);
  // A cell being typed into stays open: the refill would throw the typed
  // text away, and an album name does not change the rows.
  if (!ports_.trackList.IsCellEditActive()) cd_->FillTrackList(BitRate(), false);
  cd_->ShowAlbumName();
  // The refill switches the list off; the state says whether it may be used.
  UpdateControls();
  return 0;
}

std::intptr_t CMarimbaDlg::OnPlayStateChange(long newState) {
  const Lock lock(lock_);
  if (newState != wmp::kPlayStatePlaying && newState != wmp::kPlayStateReady) return 0;
  wmp::IPlayer* player = ports_.context.Player();
  wmp::ControlsPtr controls;
  if (player != nullptr && wmp::Succeeded(player->Controls(&controls)) && controls) {
    controls->Stop();
  }
  return 0;
}

std::intptr_t CMarimbaDlg::OnCreatePartnershipComplete(wmp::ISyncDevice* device) {
  const Lock lock(lock_);
  if (!Bound()) return 0;
  if (player_->OnPartnershipComplete(device)) UpdateControls();
  return 0;
}

std::intptr_t CMarimbaDlg::OnDeviceConnect(wmp::ISyncDevice* device) {
  const Lock lock(lock_);
  if (!Bound()) return 0;
  long status = 0;
  // Every run starts from a fresh partnership; a declined one stays so.
  if (device != nullptr && wmp::Succeeded(device->Status(&status)) &&
      status != static_cast<long>(wmp::DeviceStatus::PartnershipDeclined)) {
    device->DeletePartnership();
  }
  const int state = fields_.state;
  if (state == SYNC_PRE_RIPPING || state == SYNC_RIPPING || state == SYNC_SYNCING) return 0;
  fields_.transferDone = 0;
  fields_.autoSyncShown = 0;
  RefreshPlayer(false);
  UpdateControls();
  return 0;
}

std::intptr_t CMarimbaDlg::OnDeviceDisconnect(wmp::ISyncDevice* device) {
  const Lock lock(lock_);
  if (!Bound() || !player_->IsOurDevice(device)) return 0;
  if (fields_.state == SYNC_SYNCING) {
    player_->StopSync();
    SetSyncState(SYNC_ERROR);
  }
  fields_.transferDone = 0;
  fields_.autoSyncShown = 0;
  RefreshPlayer(false);
  UpdateControls();
  FocusControl(0);
  return 0;
}

std::intptr_t CMarimbaDlg::OnDeviceSyncError(wmp::ISyncDevice* device) {
  const Lock lock(lock_);
  if (Bound() && player_->IsOurDevice(device)) player_->StopSync();
  return 0;
}

std::intptr_t CMarimbaDlg::OnDeviceSyncStateChange(wmp::ISyncDevice* device, long syncState) {
  const Lock lock(lock_);
  if (!Bound() || device == nullptr) return 0;
  if (!player_->IsOurDevice(device)) {
    device->Stop();
    return 0;
  }
  const int state = fields_.state;
  if (syncState == static_cast<long>(wmp::SyncState::Synchronizing)) {
    if (state != SYNC_SYNCING) {
      device->Stop();
    } else {
      StartTimerIfStopped(kTimerSyncProgress);
    }
  } else if (syncState == static_cast<long>(wmp::SyncState::Stopped)) {
    if (state == SYNC_SYNCING) {
      KillTimer(kTimerSyncProgress);
      const int result = player_->PollSync();
      if (result > 0) {
        player_->FinishSync();
        SetSyncState(SYNC_SYNCING_DONE);
      } else if (result == -2) {
        SetSyncState(SYNC_ABORT);
      } else {
        if (result == 0) player_->FinishSync();
        SetSyncState(SYNC_ERROR);
      }
    } else if (state == SYNC_SYNCING_DONE) {
      KillTimer(kTimerSyncProgress);
    }
  }
  return 0;
}

}  // namespace controller
