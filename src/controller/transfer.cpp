// The road of a transfer: the Transfer command checks the checked tracks
// against the free space of the player and of the PC, prepares the disc's
// library items and starts the rip; the rip poll follows the rip and
// prepares the synchronisation, which the next tick starts and the progress
// tick follows to its end.
#include "controller/marimba_dlg.h"

namespace controller {
namespace {

// Results of the rip poll.
enum class RipResult { kFailed, kRunning, kComplete };

}  // namespace

void CMarimbaDlg::TransferCommand() {
  // Pressed in SYNC_WAIT or SYNC_SYNCING_DONE, or posted by the prompt;
  // never a second transfer over a running one or over a dialog.
  const int state = fields_.state;
  if (state != SYNC_INIT && state != SYNC_WAIT && state != SYNC_SYNCING_DONE) return;
  const WaitCursor wait(ports_.view);
  ports_.view.FinishCellEdit(true);
  transferDiscChanges_ = discChanges_;
  SetSyncState(SYNC_PRE_RIPPING);
  FocusControl(IDC_TRANSFER);
  UpdateControls();
  ports_.trackList.SnapshotChecks(false);

  if (!PassTransferChecks() || !PrepareRip()) return;

  // Each rip counts its own stall; a rip that failed before must not
  // shorten the next one's patience.
  fields_.ripStallCount = 0;
  fields_.lastRipProgress = 0;
  stallReported_ = false;
  silentSyncTicks_ = 0;
  StartTimerIfStopped(kTimerFinish);
  SetSyncState(SYNC_RIPPING);
  UpdateControls();
  if (cd_->StartRip() < 0) {
    SetSyncState(SYNC_RIPPING_ERROR);
    UpdateControls();
  }
  StartTimerIfStopped(kTimerRipPoll);
  FocusControl(IDC_TRANSFER);
}

bool CMarimbaDlg::PassTransferChecks() {
  const double playerFree = player_->FreeMB();
  bool anyChecked = false;
  bool anyFits = false;
  double total = 0.0;
  // The count is read again for every track: the disc may go meanwhile.
  for (int track = 1; track <= cd_->GetTrackCount(true); ++track) {
    if (!ports_.trackList.IsTrackChecked(track)) continue;
    anyChecked = true;
    const double size = cd_->GetTrackSize(track - 1);
    if (playerFree > size) anyFits = true;
    total += size;
  }
  if (!anyChecked) {
    BackToWait(IDS_MSG_NOTHING_CHECKED, IDS_CAPTION_ERROR);
    return false;
  }
  if (!anyFits) {
    BackToWait(IDS_MSG_NOTHING_FITS, IDS_CAPTION_ERROR);
    return false;
  }
  if (cd_->GetFreeSpaceMB(RipFolder()) < cd_->GetTotalSize()) {
    BackToWait(IDS_MSG_PC_SPACE_SHORT, IDS_CAPTION_WARNING);
    return false;
  }
  if (playerFree < total) {
    const bool go = ports_.view.AskYesNo(Text(IDS_MSG_PLAYER_SPACE_SHORT), Text(IDS_APP_TITLE));
    // Events ran while the question was open.
    if (fields_.state != SYNC_PRE_RIPPING) return false;
    if (TakeChangedDisc()) return false;
    if (!go) {
      BackToWait(0, 0);
      return false;
    }
  }
  return true;
}

bool CMarimbaDlg::PrepareRip() {
  fields_.transferDone = 0;
  fields_.autoSyncShown = 1;
  const bool prepared = cd_->RemoveMissingLibraryEntries() &&
                        cd_->CheckRippedFiles(BitRate(), RipFolder()) && cd_->CheckTrackOrder() &&
                        cd_->PrepareDiscTags(ports_.settings.ReadModel(true)) &&
                        cd_->CorrectLibraryTags();
  if (!prepared) BackToWait(IDS_MSG_RIP_FAILED, IDS_CAPTION_ERROR);
  return prepared;
}

bool CMarimbaDlg::TakeChangedDisc() {
  if (transferDiscChanges_ == discChanges_) return false;
  // The checks were about a disc that has gone: show the new one, which
  // the drive poll offers again once it is ready.
  SetSyncState(SYNC_INIT);
  TakeNewDisc();
  return true;
}

void CMarimbaDlg::BackToWait(unsigned messageId, unsigned captionId) {
  if (messageId != 0) ShowMessage(messageId, captionId);
  // A handler inside the message box may have moved the state on.
  if (fields_.state != SYNC_PRE_RIPPING) return;
  // Its rows, checks and sizes would be the old disc's.
  if (TakeChangedDisc()) return;
  SetSyncState(SYNC_WAIT);
  UpdateControls();
  FocusControl(IDC_TRANSFER);
}

void CMarimbaDlg::RipPoll() {
  // Only a running rip is polled; a failed one waits for FinishTransfer.
  if (fields_.state != SYNC_RIPPING) return;
  const int progress = cd_->UpdateRipProgress(0);
  bool stalled = false;
  if (progress == fields_.lastRipProgress) {
    if (++fields_.ripStallCount > kStallLimit) {
      fields_.ripStallCount = 0;
      fields_.lastRipProgress = 0;
      cd_->Eject();
      stallReported_ = true;
      ShowMessage(IDS_MSG_RIP_STALLED, IDS_CAPTION_WARNING);
      stalled = true;
    }
  } else {
    fields_.ripStallCount = 0;
    fields_.lastRipProgress = progress;
  }

  const int whole = 100 * cd_->GetTrackCount(false);
  RipResult result = RipResult::kFailed;
  if (!stalled && progress >= 0) {
    if (progress < whole) {
      result = RipResult::kRunning;
    } else if (progress > 0 && progress == whole && progress == 100 * cd_->GetRippedCount()) {
      result = RipResult::kComplete;
    }
  }
  // The stall message ran a message loop: a handler may have ended the rip.
  if (fields_.state != SYNC_RIPPING) return;

  switch (result) {
    case RipResult::kFailed:
      SetSyncState(SYNC_RIPPING_ERROR);
      break;
    case RipResult::kRunning:
      StartTimerIfStopped(kTimerRipPoll);
      break;
    case RipResult::kComplete: {
      cd_->CorrectLibraryTags();
      const wmp::PlaylistPtr playlist = cd_->FindRippedTracks(true);
      if (!playlist) {
        SetSyncState(SYNC_ERROR);
        break;
      }
      // The state comes first: the engine's "synchronizing" event may
      // arrive inside PrepareSync and must find SYNC_SYNCING.
      SetSyncState(SYNC_SYNCING);
      bool prepared = false;
      {
        const WaitCursor wait(ports_.view);
        prepared = player_->PrepareSync(playlist.get(), &ports_.trackList.Checks());
      }
      if (fields_.state != SYNC_SYNCING) break;  // an event inside ended it
      if (prepared) {
        StartTimerIfStopped(kTimerSyncStart);
      } else {
        SetSyncState(SYNC_ERROR);
      }
      break;
    }
  }
}

void CMarimbaDlg::SyncStart() {
  if (fields_.state != SYNC_SYNCING) return;
  bool started = false;
  {
    const WaitCursor wait(ports_.view);
    started = player_->StartSync();
  }
  if (!started && TimerHandle(kTimerSyncProgress) == 0) {
    // PollSync reports the failure.
    StartTimerIfStopped(kTimerSyncProgress);
  }
}

void CMarimbaDlg::SyncProgress() {
  const int state = fields_.state;
  if (state == SYNC_SYNCING_DONE || state == SYNC_ERROR || state == SYNC_ABORT) {
    KillTimer(kTimerSyncProgress);
    return;
  }
  if (state != SYNC_SYNCING) return;
  const int result = player_->PollSync();
  // PollSync pumps the progress window: an event may have ended the sync.
  if (fields_.state != SYNC_SYNCING) {
    if (fields_.state >= SYNC_SYNCING_DONE) KillTimer(kTimerSyncProgress);
    return;
  }
  if (result != 100 && result >= 0) return;
  KillTimer(kTimerSyncProgress);
  if (result == 100) {
    SetSyncState(SYNC_SYNCING_DONE);
  } else if (result == -2) {
    SetSyncState(SYNC_ABORT);
  } else {
    SetSyncState(SYNC_ERROR);
  }
}

}  // namespace controller
