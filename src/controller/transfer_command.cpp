// The Transfer command: check the checked tracks against the free space of
// the player and of the PC, prepare the disc's library items and start the
// rip.
#include "controller/marimba_dlg.h"

namespace controller {

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

}  // namespace controller
