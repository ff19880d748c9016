// What the window forwards: the commands of its buttons and combo boxes,
// and its timers (started, killed, and each tick sent to its handler).
#include "controller/marimba_dlg.h"

namespace controller {
namespace {

// The shell's results up to this value are failures.
constexpr std::intptr_t kShellFailureLimit = 32;

bool TransferRunning(int state) {
  return state == SYNC_PRE_RIPPING || state == SYNC_RIPPING || state == SYNC_SYNCING;
}

}  // namespace

std::uint32_t TimerInterval(unsigned id) {
  switch (id) {
    case kTimerSyncStart:
    case kTimerWatchdog:
      return 3000;
    case kTimerSyncProgress:
      return 1000;
    default:
      return 2000;
  }
}

bool CMarimbaDlg::OnCommand(int id, Notify notify) {
  if (id == IDC_CLOSE) {
    if (notify != Notify::kClicked) return true;
    ports_.view.FinishCellEdit(false);
    ports_.view.CloseWindow();
    return true;
  }
  const bool known = id == IDC_TRANSFER || id == IDC_SETTINGS || id == IDC_ALBUM ||
                     id == IDC_EXPLORER || id == IDC_DRIVE_COMBO || id == IDC_PLAYER_COMBO;
  if (!known) return false;
  const Lock lock(lock_);
  if (!Bound()) return true;
  switch (id) {
    case IDC_TRANSFER:
      if (notify == Notify::kClicked) TransferCommand();
      break;
    case IDC_SETTINGS:
    case IDC_ALBUM:
      if (notify == Notify::kClicked) ModalCommand(id);
      break;
    case IDC_EXPLORER:
      if (notify == Notify::kClicked) ExplorerCommand();
      break;
    case IDC_DRIVE_COMBO:
      if (notify == Notify::kDropDown) {
        ports_.view.FinishCellEdit(true);
        cd_->RefreshList(false, true);
      } else if (notify == Notify::kSelection) {
        DriveSelected();
      }
      break;
    default:  // IDC_PLAYER_COMBO
      if (notify == Notify::kDropDown) {
        ports_.view.FinishCellEdit(true);
        player_->RefreshList(false, true);
      } else if (notify == Notify::kSelection) {
        PlayerSelected();
      }
      break;
  }
  return true;
}

void CMarimbaDlg::ModalCommand(int id) {
  const int previous = fields_.state;
  // Not over a running transfer, nor a second dialog over the first.
  if (previous == SYNC_SETTINGS || TransferRunning(previous)) return;
  ports_.view.FinishCellEdit(true);
  SetSyncState(SYNC_SETTINGS);
  UpdateControls();
  dialogDiscChanges_ = discChanges_;
  if (id == IDC_SETTINGS) {
    ports_.view.RunSettingsDialog();
  } else {
    ports_.view.RunAlbumDialog();
  }
  // A transfer started while the dialog was open keeps its state.
  if (!TransferRunning(fields_.state)) SetSyncState(previous);
  // An ended transfer whose finish tick came while the dialog was open is
  // finished now.
  const int state = fields_.state;
  if (state == SYNC_RIPPING_ERROR || state >= SYNC_SYNCING_DONE) {
    StartTimerIfStopped(kTimerFinish);
  }
  if (id == IDC_SETTINGS) {
    cd_->FillTrackList(BitRate(), false);
    if (AutoSyncOn()) RefreshPlayer(true);
  } else {
    cd_->ShowAlbumName();
  }
  // After the refill, which switches the list off.
  UpdateControls();
  FocusControl(id);
}

bool CMarimbaDlg::SetAlbumNameFromDialog(const std::wstring& name) {
  // The name was typed for a disc that has gone: the list shows the new
  // disc already, under its own name.
  if (!Bound() || dialogDiscChanges_ != discChanges_) return true;
  return cd_->SetAlbumName(name);
}

void CMarimbaDlg::ExplorerCommand() {
  const int state = fields_.state;
  if (state != SYNC_INIT && state != SYNC_SETTINGS && state != SYNC_WAIT) return;
  ports_.view.FinishCellEdit(true);
  bool opened = false;
  {
    const WaitCursor wait(ports_.view);
    FocusControl(IDC_EXPLORER);
    const std::wstring drive = player_->GetSelectedDrive();
    opened = !drive.empty() && ports_.windows.ShellOpen(drive) > kShellFailureLimit;
  }
  if (!opened) ShowMessage(IDS_MSG_CANNOT_OPEN, IDS_CAPTION_ERROR);
}

void CMarimbaDlg::DriveSelected() {
  if (TransferRunning(fields_.state)) return;
  ports_.view.FinishCellEdit(true);
  fields_.transferDone = 0;
  fields_.lastReportedTrack = -1;
  ShowDisc(true);
  UpdateControls();
}

void CMarimbaDlg::PlayerSelected() {
  if (TransferRunning(fields_.state)) return;
  ports_.view.FinishCellEdit(true);
  fields_.transferDone = 0;
  RefreshPlayer(false);
  UpdateControls();
}

void CMarimbaDlg::StartPolling() {
  const Lock lock(lock_);
  StartTimerIfStopped(kTimerPollDrives);
  StartTimerIfStopped(kTimerWatchdog);
}

void CMarimbaDlg::StopTimers() {
  const Lock lock(lock_);
  for (unsigned id = kFirstTimer; id < kFirstTimer + kTimerCount; ++id) KillTimer(id);
}

std::uintptr_t CMarimbaDlg::TimerHandle(unsigned id) const {
  if (id < kFirstTimer || id >= kFirstTimer + kTimerCount) return 0;
  return timers_[id - kFirstTimer];
}

std::uintptr_t& CMarimbaDlg::Handle(unsigned id) { return timers_[id - kFirstTimer]; }

void CMarimbaDlg::StartTimerIfStopped(unsigned id) {
  std::uintptr_t& handle = Handle(id);
  if (handle == 0) handle = ports_.timers.StartTimer(id, TimerInterval(id));
}

void CMarimbaDlg::KillTimer(unsigned id) {
  std::uintptr_t& handle = Handle(id);
  if (handle == 0) return;
  ports_.timers.KillTimer(id);
  handle = 0;
}

void CMarimbaDlg::OnTimer(unsigned id) {
  if (id < kFirstTimer || id >= kFirstTimer + kTimerCount) return;
  if (id == kTimerWatchdog) {
    // Without the lock: it must act even while a transfer holds the window.
    KillTimer(id);
    if (Bound()) PlayerWatchdog();
    StartTimerIfStopped(id);
    return;
  }
  // One-shot ticks: the timer goes first, so a modal dialog inside the
  // handler sees no second tick of it.
  if (id != kTimerSyncProgress) KillTimer(id);
  const Lock lock(lock_);
  if (Bound()) {
    switch (id) {
      case kTimerRipPoll:
        RipPoll();
        break;
      case kTimerSyncStart:
        SyncStart();
        break;
      case kTimerSyncProgress:
        SyncProgress();
        break;
      case kTimerPollDrives:
        PollDrives();
        break;
      case kTimerFinish:
        FinishTransfer();
        break;
      default:
        break;
    }
  }
  if (id == kTimerPollDrives) StartTimerIfStopped(id);
}

}  // namespace controller
