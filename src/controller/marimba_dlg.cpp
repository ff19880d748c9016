// The state, the controls and the Status text, messages and focus.
#include "controller/marimba_dlg.h"

namespace controller {
namespace {

constexpr std::uint32_t kDefaultBitRate = 128000;

// The buttons FocusControl accepts.
bool IsFocusButton(int id) {
  return id == IDC_CLOSE || id == IDC_EXPLORER || id == IDC_SETTINGS || id == IDC_ALBUM ||
         id == IDC_TRANSFER;
}

}  // namespace

const char* SyncStateName(int state) {
  static const char* const kNames[] = {
      "SYNC_INIT",    "SYNC_SETTINGS",     "SYNC_WAIT",  "SYNC_PRE_RIPPING", "SYNC_RIPPING",
      "SYNC_RIPPING_ERROR", "SYNC_SYNCING", "SYNC_SYNCING_DONE", "SYNC_ERROR", "SYNC_ABORT"};
  if (state < SYNC_INIT || state > SYNC_ABORT) return "SYNC_?";
  return kNames[state];
}

CMarimbaDlg::CMarimbaDlg(const DlgPorts& ports) : ports_(ports) {}

CMarimbaDlg::~CMarimbaDlg() = default;

void CMarimbaDlg::BindParts(cdrom::ICdPart& cd, device::IPlayerPart& player) {
  const Lock lock(lock_);
  cd_ = &cd;
  player_ = &player;
}

void CMarimbaDlg::RecoverAfterFailure() {
  const Lock lock(lock_);
  if (!Bound() || recovering_) return;
  recovering_ = true;
  // Cleared however this ends: a failure inside must not block the next.
  struct Cleared {
    bool& flag;
    ~Cleared() { flag = false; }
  } cleared{recovering_};
  const int state = fields_.state;
  if (state == SYNC_PRE_RIPPING || state == SYNC_RIPPING || state == SYNC_SYNCING) {
    // Nothing would end these states: stop what runs and say it failed.
    for (unsigned id : {kTimerRipPoll, kTimerSyncStart, kTimerSyncProgress, kTimerFinish}) {
      KillTimer(id);
    }
    const bool ripping = state != SYNC_SYNCING;
    if (ripping) {
      cd_->StopRip();
    } else {
      player_->StopSync();
    }
    cd_->CloseStatus();
    player_->CloseStatus();
    SetSyncState(SYNC_INIT);
    UpdateControls();
    ShowMessage(ripping ? IDS_MSG_RIP_FAILED : IDS_MSG_SYNC_FAILED, IDS_CAPTION_ERROR);
  } else if (state == SYNC_SETTINGS) {
    // The dialog went with the failure.
    SetSyncState(SYNC_INIT);
  } else if (state == SYNC_RIPPING_ERROR || state >= SYNC_SYNCING_DONE) {
    // An ended transfer is reported and tidied up by the finish tick.
    StartTimerIfStopped(kTimerFinish);
  }
  StartTimerIfStopped(kTimerPollDrives);
  StartTimerIfStopped(kTimerWatchdog);
  UpdateControls();
  FocusControl(0);
}

void CMarimbaDlg::SetSyncState(int state) {
  const Lock lock(lock_);
  fields_.state = state;
}

int CMarimbaDlg::GetSyncState() const {
  const Lock lock(lock_);
  return fields_.state;
}

std::uint32_t CMarimbaDlg::BitRate() const {
  const std::uint32_t rate = ports_.preferences.Preferences().wmaRecordRate;
  return rate == 0 ? kDefaultBitRate : rate;
}

std::wstring CMarimbaDlg::RipFolder() const { return ports_.preferences.Preferences().cdRecordPath; }

bool CMarimbaDlg::AutoSyncOn() { return ports_.settings.ReadAutoSync(true) != 0; }

void CMarimbaDlg::DisableAllControls() {
  IMainView& view = ports_.view;
  view.EnableControl(IDC_PLAYER_COMBO, false);
  view.EnableControl(IDC_DRIVE_COMBO, false);
  ports_.trackList.SetInteractive(false);
  view.EnableControl(IDC_ALBUM, false);
  view.EnableControl(IDC_CLOSE, false);
  view.EnableControl(IDC_EXPLORER, false);
  view.EnableControl(IDC_SETTINGS, false);
  view.EnableControl(IDC_TRANSFER, false);
}

void CMarimbaDlg::UpdateControls() {
  const Lock lock(lock_);
  if (!Bound()) return;
  IMainView& view = ports_.view;
  const int cdState = cd_->GetState();
  const int playerState = player_->GetState();
  const int state = fields_.state;
  std::wstring status;

  switch (state) {
    case SYNC_SETTINGS:
    case SYNC_PRE_RIPPING:
    case SYNC_RIPPING:
    case SYNC_SYNCING:
      DisableAllControls();
      break;
    case SYNC_WAIT:
    case SYNC_SYNCING_DONE:
      status = Text(state == SYNC_WAIT ? IDS_STATUS_PRESS_TRANSFER : IDS_STATUS_CHANGE_CD);
      view.EnableControl(IDC_PLAYER_COMBO, !AutoSyncOn());
      view.EnableControl(IDC_DRIVE_COMBO, true);
      ports_.trackList.SetInteractive(true);
      view.EnableControl(IDC_ALBUM, true);
      view.EnableControl(IDC_CLOSE, true);
      view.EnableControl(IDC_SETTINGS, true);
      view.EnableControl(IDC_TRANSFER, true);
      view.EnableControl(IDC_EXPLORER, !player_->GetSelectedDrive().empty());
      break;
    default: {
      // Idle or a transfer that has ended: say what is missing.
      std::wstring cdText;
      if (cdState == 0) {
        view.EnableControl(IDC_DRIVE_COMBO, false);
        ports_.trackList.SetInteractive(false);
        view.EnableControl(IDC_ALBUM, false);
        cdText = Text(IDS_STATUS_CONNECT_DRIVE);
      } else if (cdState == 1) {
        view.EnableControl(IDC_DRIVE_COMBO, true);
        ports_.trackList.SetInteractive(false);
        view.EnableControl(IDC_ALBUM, false);
        cdText = Text(IDS_STATUS_INSERT_CD);
      } else {
        view.EnableControl(IDC_DRIVE_COMBO, true);
        const int last = fields_.lastReportedTrack;
        const bool reported = last == -1 || cd_->GetTrackCount(false) == last + 1;
        ports_.trackList.SetInteractive(reported);
        view.EnableControl(IDC_ALBUM, reported);
      }
      if (playerState == 0) {
        view.EnableControl(IDC_PLAYER_COMBO, false);
        view.EnableControl(IDC_EXPLORER, false);
        status = cdText + (cdText.empty() ? L"" : L"\n") + Text(IDS_STATUS_CONNECT_PLAYER);
      } else {
        view.EnableControl(IDC_PLAYER_COMBO, !AutoSyncOn());
        view.EnableControl(IDC_EXPLORER, !player_->GetSelectedDrive().empty());
        status = cdText;
      }
      view.EnableControl(IDC_CLOSE, true);
      view.EnableControl(IDC_SETTINGS, true);
      view.EnableControl(IDC_TRANSFER, false);
      break;
    }
  }
  if (fields_.transferDone == 0 || state == SYNC_SYNCING_DONE) view.SetLabelText(IDC_STATUS, status);
}

void CMarimbaDlg::ShowMessage(unsigned messageId, unsigned captionId) {
  const std::wstring text = Text(messageId);
  if (messageId == IDS_MSG_SYNC_DONE) {
    ports_.view.ShowDoneNotice(text);
  } else {
    const MessageIcon icon = captionId == IDS_CAPTION_WARNING ? MessageIcon::kWarning
                             : captionId == IDS_CAPTION_ERROR ? MessageIcon::kError
                                                              : MessageIcon::kNone;
    ports_.view.ShowMessageBox(text, Text(captionId), icon);
  }
  ports_.view.RepaintWindow();
}

void CMarimbaDlg::FocusControl(int id) {
  IMainView& view = ports_.view;
  if (id != 0 && !IsFocusButton(id)) return;
  if (id == 0) {
    id = view.FocusedControl();
    if (id == 0 || (id == IDC_TRACK_LIST && !view.IsTrackListInteractive())) id = IDC_CLOSE;
  }
  view.FocusOn(view.IsControlEnabled(id) ? id : IDC_CLOSE);
}

}  // namespace controller
