// The main window as the controller's view and timer ports: each method is
// the one Win32 call its port names.
#include "controller/win32/main_dialog.h"
#include "controller/win32/main_window_parts.h"
#include "resources/resource.h"
#include "ui/win32/album_dlg.h"
#include "ui/win32/auto_close_dlg.h"
#include "ui/win32/message_box.h"
#include "ui/win32/setting_dlg.h"

namespace controller::win32 {

void MainDialog::EnableControl(int id, bool enabled) {
  if (HWND control = Control(id)) {
    if ((IsWindowEnabled(control) != FALSE) != enabled) EnableWindow(control, enabled);
  }
}

bool MainDialog::IsControlEnabled(int id) const {
  HWND control = Control(id);
  return control && IsWindowEnabled(control);
}

int MainDialog::FocusedControl() const {
  // The child of the window that holds the focus, or holds the window that
  // does (the list's in-place editor counts as the list).
  HWND focus = GetFocus();
  while (focus && GetParent(focus) != Window()) focus = GetParent(focus);
  return focus ? GetDlgCtrlID(focus) : 0;
}

void MainDialog::FocusOn(int id) {
  if (HWND control = Control(id)) {
    SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  }
}

bool MainDialog::IsTrackListInteractive() const { return trackList_.IsInteractive(); }

void MainDialog::FinishCellEdit(bool accept) { trackList_.FinishCellEdit(accept); }

void MainDialog::SetLabelText(int id, const std::wstring& text) {
  if (ui::win32::StaticExControl* label = LabelById(id)) {
    if (label->GetText() != text) label->SetText(text);
  }
}

void MainDialog::ShowMessageBox(const std::wstring& text, const std::wstring& caption,
                                MessageIcon icon) {
  UINT style = MB_OK;
  if (icon == MessageIcon::kWarning) style |= MB_ICONWARNING;
  if (icon == MessageIcon::kError) style |= MB_ICONERROR;
  ui::win32::ShowTopmostBox(Window(), text, caption, style);
}

void MainDialog::ShowDoneNotice(const std::wstring&) {
  // The notice shows text 720 from the string table itself.
  ui::win32::RunDoneNotice(Window(), strings_);
}

void MainDialog::RepaintWindow() {
  RedrawWindow(Window(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool MainDialog::AskYesNo(const std::wstring& text, const std::wstring& caption) {
  return ui::win32::ShowTopmostBox(Window(), text, caption, MB_YESNO) == IDYES;
}

bool MainDialog::RunAutoTransferPrompt(const std::wstring&) {
  return ui::win32::RunAutoTransferPrompt(Window(), strings_) == IDOK;
}

void MainDialog::RunSettingsDialog() {
  if (parts_) ui::win32::RunSettingDlg(Window(), strings_, parts_->settingsModel);
}

void MainDialog::RunAlbumDialog() {
  if (parts_) ui::win32::RunAlbumDlg(Window(), strings_, parts_->albumModel);
}

void MainDialog::SetWaitCursor(bool on) {
  waitCursorDepth_ += on ? 1 : -1;
  if (waitCursorDepth_ < 0) waitCursorDepth_ = 0;
  SetCursor(LoadCursorW(nullptr, waitCursorDepth_ > 0 ? IDC_WAIT : IDC_ARROW));
}

void MainDialog::PostTransferCommand() {
  PostMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDC_TRANSFER, BN_CLICKED), 0);
}

void MainDialog::CloseWindow() { EndModal(IDCANCEL); }

}  // namespace controller::win32
