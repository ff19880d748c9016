// The commands of the window's buttons and combo boxes.
#include "controller/marimba_dlg.h"

namespace controller {
namespace {

// The shell's results up to this value are failures.
constexpr std::intptr_t kShellFailureLimit = 32;

bool TransferRunning(int state) {
  return state == SYNC_PRE_RIPPING || state == SYNC_RIPPING || state == SYNC_SYNCING;
}

}  // namespace

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

}  // namespace controller
