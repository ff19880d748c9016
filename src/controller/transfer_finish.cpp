// The end of a transfer: timer 5005 watches the state while the rip and the
// synchronisation run and, once they have ended, tidies up, reports the
// outcome and reads disc and player again.
#include "controller/marimba_dlg.h"

namespace controller {
namespace {

// The model whose files leave the artist and album folder.
constexpr int kFlatModel = 2;

}  // namespace

void CMarimbaDlg::FinishTransfer() {
  const int state = fields_.state;
  if (state < SYNC_RIPPING || state > SYNC_ABORT) return;
  if (state == SYNC_SYNCING && TimerHandle(kTimerSyncProgress) == 0 &&
      ++silentSyncTicks_ > kSilentSyncTicks) {
    // The engine never said it synchronises: nothing would ever end this
    // state, so it ends as a player that went away.
    player_->StopSync();
    // The stop's own "stopped" event may have ended it already.
    if (fields_.state == SYNC_SYNCING) SetSyncState(SYNC_ERROR);
  } else if (state == SYNC_RIPPING || state == SYNC_SYNCING) {
    StartTimerIfStopped(kTimerFinish);
    return;
  }
  if (fields_.state < SYNC_RIPPING_ERROR || fields_.state == SYNC_SYNCING) return;
  switch (fields_.state) {
    case SYNC_RIPPING_ERROR:
      KillTimer(kTimerRipPoll);
      cd_->CloseStatus();
      player_->CloseStatus();
      cd_->StopRip();
      // A stalled rip has said so already (725).
      if (!stallReported_) ShowMessage(IDS_MSG_RIP_FAILED, IDS_CAPTION_ERROR);
      stallReported_ = false;
      break;
    case SYNC_SYNCING_DONE:
      KillTimer(kTimerRipPoll);
      KillTimer(kTimerSyncStart);
      KillTimer(kTimerSyncProgress);
      EndStepOnPlayerFiles();
      cd_->CloseStatus();
      player_->CloseStatus();
      fields_.transferDone = 1;
      ShowMessage(IDS_MSG_SYNC_DONE, IDS_APP_TITLE);
      break;
    case SYNC_ERROR:
      KillTimer(kTimerRipPoll);
      KillTimer(kTimerSyncStart);
      KillTimer(kTimerSyncProgress);
      EndStepOnPlayerFiles();
      cd_->CloseStatus();
      player_->CloseStatus();
      ShowMessage(IDS_MSG_SYNC_FAILED, IDS_CAPTION_ERROR);
      UpdateControls();
      player_->StopSync();
      break;
    default:  // SYNC_ABORT
      cd_->CloseStatus();
      player_->CloseStatus();
      EndStepOnPlayerFiles();
      ShowMessage(IDS_MSG_SYNC_ABORTED, IDS_APP_TITLE);
      break;
  }
  ShowDisc(false);
  RefreshPlayer(false);
  // Still the end state: after a success the Status asks for the next CD.
  UpdateControls();
  SetSyncState(SYNC_INIT);
  FocusControl(IDC_TRANSFER);
}

void CMarimbaDlg::EndStepOnPlayerFiles() {
  // Each of the three steps shows the wait cursor while it runs.
  bool collected = false;
  {
    const WaitCursor wait(ports_.view);
    collected = player_->CollectTransferredFiles();
  }
  const int model = ports_.settings.ReadModel(true);
  if (model != kFlatModel && !collected) return;
  const WaitCursor wait(ports_.view);
  if (model != kFlatModel) {
    player_->MoveIntoMusicFolder();
  } else {
    player_->MoveOutOfMusicFolder();
  }
}

void CMarimbaDlg::ShowDisc(bool resetChecks) {
  cd_->RefreshList(false, true);
  cd_->OpenDisc(true);
  cd_->FillTrackList(BitRate(), resetChecks);
  cd_->ShowAlbumName();
}

void CMarimbaDlg::RefreshPlayer(bool selectFirst) {
  player_->RefreshList(selectFirst, true);
  player_->EnsurePartnership();
  player_->UpdateCapacity();
}

}  // namespace controller
