// The main window's start-up: the starting window, the texts and the track
// list, the checks that can end the run, the engine, the parts bound to the
// controls and the first look at disc and player; and the release in order.
#include "controller/win32/main_dialog.h"

#include <commctrl.h>

#include "controller/win32/main_window_parts.h"
#include "engine/event_dispatch.h"
#include "resources/resource.h"
#include "ui/win32/message_box.h"
#include "ui/win32/setting_dlg.h"

namespace controller::win32 {
namespace {

struct ButtonText {
  int control;
  unsigned text;
};
constexpr ButtonText kButtons[] = {
    {IDC_CLOSE, IDS_CLOSE_BUTTON},       {IDC_EXPLORER, IDS_EXPLORER_BUTTON},
    {IDC_SETTINGS, IDS_SETTINGS_BUTTON}, {IDC_TRANSFER, IDS_TRANSFER_BUTTON},
    {IDC_ALBUM, IDS_ALBUM_BUTTON},
};
constexpr int kLabels[] = {IDC_ALBUM_NAME, IDC_DISC_SIZE, IDC_USED_CAPACITY, IDC_FREE_CAPACITY,
                           IDC_STATUS};

constexpr COLORREF kStatusColour = RGB(235, 0, 18);
constexpr COLORREF kListBackground = RGB(62, 62, 62);
constexpr COLORREF kListText = RGB(255, 255, 255);
constexpr int kStatusFontHeight = 15;
constexpr std::uint32_t kFirstRunRate = 64000;

// The file-naming order of the ripped files for a player model.
std::int32_t FileDetailOrderOfModel(std::int32_t model) {
  return model == 1 || model == 2 ? model : 0;
}

}  // namespace

void MainDialog::OnInitDialog() {
  // The About entry of the system menu and the window's icons.
  const std::wstring about = strings_.Load(IDS_ABOUT_MENU);
  if (HMENU system = GetSystemMenu(Window(), FALSE); system && !about.empty()) {
    AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(system, MF_STRING, ID_SYSCMD_ABOUT, about.c_str());
  }
  bigIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON),
                                           GetSystemMetrics(SM_CYICON), LR_SHARED));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  SendMessageW(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  SendMessageW(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

  SetWaitCursor(true);
  OpenStartingWindow();
  AttachControls();
  ApplyTexts();
  SetUpTrackList();
  const bool started = StartUp();
  SetWaitCursor(false);
  if (!started) return;
  CloseStartingWindow();
  parts_->dialog.FocusControl(IDC_CLOSE);
}

bool MainDialog::StartUp() {
  if (engine::FindPlayerApplicationWindow(platform_.windows) != os::kNoWindow) {
    return FailStart(IDS_MSG_PLAYER_OPEN);
  }
  parts_ = std::make_unique<MainWindowParts>(platform_, strings_, static_cast<IMainView&>(*this),
                                             static_cast<ITimerPort&>(*this), trackList_);
  MainWindowParts& parts = *parts_;
  parts.statusHost.SetMainWindow(Window());
  trackList_.SetEditOwner(&parts.editOwner);

  parts.preferences.TakeOverRipPreferences(app_.ripProtection != 0);
  parts.settings.InitDefaults(app_.machineDefaults.model, app_.machineDefaults.autoSync);
  if (parts.settings.EnsureUserSettings()) {
    // A first run: the user chooses before the engine exists.
    CloseStartingWindow();
    parts.preferences.Preferences().wmaRecordRate = kFirstRunRate;
    parts.preferences.SetFileDetailOrder(0);
    ui::win32::RunSettingDlg(Window(), strings_, parts.settingsModel);
    OpenStartingWindow();
  }
  parts.preferences.SetFileDetailOrder(FileDetailOrderOfModel(parts.settings.ReadModel(true)));
  parts.preferences.WritePreferences();

  if (!parts.host.CreatePlayerHost(Window())) {
    // Codec DLLs missing or replaced: only installing again mends that.
    return FailStart(parts.host.MissingCodec().empty() ? IDS_MSG_SETUP_FAILED
                                                       : IDS_MSG_BAD_INSTALL);
  }
  if (!parts.host.ConnectPlayerEvents(Window())) return FailStart(IDS_MSG_SETUP_FAILED);
  if (!parts.context.BindPlayer(parts.host.Player())) return FailStart(IDS_MSG_BAD_INSTALL);
  const bool bound = parts.cd.Attach(&driveCombo_) && parts.dap.Attach(&playerCombo_) &&
                     parts.cd.SetControls(&trackList_, LabelById(IDC_DISC_SIZE),
                                          LabelById(IDC_ALBUM_NAME)) &&
                     parts.dap.SetCapacityLabels(LabelById(IDC_USED_CAPACITY),
                                                 LabelById(IDC_FREE_CAPACITY));
  if (!bound) return FailStart(IDS_MSG_BAD_INSTALL);
  parts.dialog.BindParts(parts.cd, parts.dap);

  FirstRefresh();
  parts.dialog.StartPolling();
  parts.dialog.UpdateControls();
  return true;
}

bool MainDialog::FailStart(unsigned messageId) {
  // Shown while the starting window is still up; then the run ends.
  ui::win32::ShowTopmostMessage(Window(), strings_, messageId, IDS_CAPTION_WARNING);
  CloseStartingWindow();
  EndModal(IDCANCEL);
  return false;
}

void MainDialog::OpenStartingWindow() {
  startingWindow_ = std::make_unique<ui::win32::CWaitDlg>();
  if (!startingWindow_->Create(Window())) {
    startingWindow_.reset();
    return;
  }
  startingWindow_->SetText(strings_.Load(IDS_WAIT_STARTING));
  startingWindow_->Show();
}

void MainDialog::CloseStartingWindow() {
  if (!startingWindow_) return;
  startingWindow_->Destroy();  // enables the main window again
  startingWindow_.reset();
}

void MainDialog::AttachControls() {
  controls_.clear();
  for (HWND child = GetWindow(Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    controls_.emplace(GetDlgCtrlID(child), child);
  }
  skin_.Reset(static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(IDB_SKIN),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  // The parent paints the same skin under every control; the picture control
  // goes below its siblings so it never paints over them, whatever order the
  // system paints siblings in.
  if (HWND picture = GetDlgItem(Window(), IDC_SKIN)) {
    SetWindowLongW(picture, GWL_STYLE, GetWindowLongW(picture, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(picture, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i].Attach(GetDlgItem(Window(), kButtons[i].control));
  }
  for (std::size_t i = 0; i < labels_.size(); ++i) {
    labels_[i].Attach(GetDlgItem(Window(), kLabels[i]));
  }
  driveCombo_.Attach(GetDlgItem(Window(), IDC_DRIVE_COMBO));
  playerCombo_.Attach(GetDlgItem(Window(), IDC_PLAYER_COMBO));
  trackList_.Attach(GetDlgItem(Window(), IDC_TRACK_LIST));
}

void MainDialog::ApplyTexts() {
  SetWindowTextW(Window(), strings_.Load(IDS_APP_TITLE).c_str());
  if (ui::win32::StaticExControl* status = LabelById(IDC_STATUS)) {
    status->SetLabelFontHeight(kStatusFontHeight);
    status->SetLabelColour(kStatusColour);
  }
  for (const ButtonText& button : kButtons) {
    SetDlgItemTextW(Window(), button.control, strings_.Load(button.text).c_str());
  }
}

void MainDialog::SetUpTrackList() {
  HWND list = trackList_.Window();
  if (!list) return;
  const DWORD extended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
  ListView_SetExtendedListViewStyleEx(list, extended, extended);
  ListView_SetBkColor(list, kListBackground);
  ListView_SetTextBkColor(list, kListBackground);
  ListView_SetTextColor(list, kListText);
  trackList_.SetCellEditing(true);
  trackList_.ShowCheckBoxes(true);
  EnableWindow(GetDlgItem(Window(), IDC_ALBUM), FALSE);
  trackList_.SetInteractive(true);
  trackList_.SetInteractive(false);

  RECT client;
  GetClientRect(list, &client);
  const int width = client.right - client.left;
  const int q = width / 25;
  trackList_.AddColumn(0, strings_.Load(IDS_COLUMN_TITLE), 16 * q, LVCFMT_LEFT);
  trackList_.AddColumn(1, strings_.Load(IDS_COLUMN_ARTIST), 6 * q, LVCFMT_LEFT);
  trackList_.AddColumn(2, strings_.Load(IDS_COLUMN_LENGTH), width - 23 * q, LVCFMT_RIGHT);
  if (HWND close = GetDlgItem(Window(), IDC_CLOSE)) SetFocus(close);
}

void MainDialog::FirstRefresh() {
  MainWindowParts& parts = *parts_;
  parts.cd.RefreshList(true, true);
  parts.cd.OpenDisc(true);
  parts.cd.FillTrackList(parts.preferences.Preferences().wmaRecordRate, true);
  parts.cd.ShowAlbumName();
  parts.dap.RefreshList(true, true);
  parts.dap.EnsurePartnership();
  parts.dap.UpdateCapacity();
}

void MainDialog::OnDestroy() {
  CloseStartingWindow();
  trackList_.FinishCellEdit(false);
  trackList_.SetEditOwner(nullptr);
  if (!parts_) return;
  MainWindowParts& parts = *parts_;
  parts.dialog.StopTimers();
  parts.cd.Reset();
  parts.dap.Reset();
  parts.context.UnbindPlayer();
  parts.host.ReleasePlayerHost();
  parts_.reset();
}

}  // namespace controller::win32
