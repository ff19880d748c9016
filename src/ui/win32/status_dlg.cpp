#include "ui/win32/status_dlg.h"

#include <commctrl.h>

#include "resources/resource.h"

namespace ui::win32 {

CStatusDlg::CStatusDlg(const res::IStringTable& strings, HWND parent)
    : Dialog(IDD_STATUS), strings_(strings), parent_(parent) {
  RefuseAutoPlay();
}

CStatusDlg::~CStatusDlg() { Destroy(); }

bool CStatusDlg::Create() {
  // One window per object: a second Create replaces the first.
  if (Window()) Destroy();
  cancelled_ = false;
  reenableWindow_ = parent_;
  return CreateModeless(parent_) != nullptr;
}

bool CStatusDlg::OnInit() {
  SetWindowPos(Window(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  CentreOn(parent_);
  if (caption_.empty()) caption_ = strings_.Load(IDS_APP_TITLE);
  SetWindowTextW(Window(), caption_.c_str());
  SetDlgItemTextW(Window(), IDC_PROGRESS_MESSAGE, L"");
  SendMessageW(Item(IDC_PROGRESS_BAR), PBM_SETRANGE32, 0, 0);
  cancelled_ = false;
  EnableWindow(Item(IDCANCEL), TRUE);
  SetForegroundWindow(Window());
  return true;
}

void CStatusDlg::SetCaption(const std::wstring& caption) {
  caption_ = caption;
  if (Window()) SetWindowTextW(Window(), caption_.c_str());
}

void CStatusDlg::SetMessage(const std::wstring& message) {
  if (!Window()) return;
  SetDlgItemTextW(Window(), IDC_PROGRESS_MESSAGE, message.c_str());
  RedrawWindow(Item(IDCANCEL), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  PumpOne();
}

void CStatusDlg::SetRange(std::int32_t low, std::int32_t high) {
  if (!Window()) return;
  HWND bar = Item(IDC_PROGRESS_BAR);
  SendMessageW(bar, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
  SendMessageW(bar, PBM_SETSTEP, 10, 0);
  ShowWindow(bar, low != 0 || high != 0 ? SW_SHOW : SW_HIDE);
}

void CStatusDlg::SetPos(std::int32_t position) {
  if (!Window()) return;
  HWND bar = Item(IDC_PROGRESS_BAR);
  SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  RedrawWindow(Item(IDCANCEL), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  PumpOne();
}

void CStatusDlg::PumpOne() { Dialog::PumpOne(); }

void CStatusDlg::Show() {
  if (Window()) ShowWindow(Window(), SW_SHOW);
}

void CStatusDlg::Enable(bool enabled) {
  if (Window()) EnableWindow(Window(), enabled);
}

void CStatusDlg::EnableCancel(bool enabled) {
  if (Window()) EnableWindow(Item(IDCANCEL), enabled);
}

bool CStatusDlg::GetScreenRect(ui::ScreenRect* rect) const {
  RECT r;
  if (!Window() || !rect || !GetWindowRect(Window(), &r)) return false;
  *rect = ui::ScreenRect{r.left, r.top, r.right, r.bottom};
  return true;
}

void CStatusDlg::Destroy() {
  cancelled_ = false;
  if (reenableWindow_) {
    EnableWindow(reenableWindow_, TRUE);
    reenableWindow_ = nullptr;
  }
  DestroyNow();
}

bool CStatusDlg::OnCommand(int id, int code) {
  if (id != IDCANCEL || code != BN_CLICKED) return false;
  OnCancel();
  return true;
}

void CStatusDlg::OnCancel() {
  // The window stays: the transfer sees the flag at its next poll and closes it.
  SetDlgItemTextW(Window(), IDC_PROGRESS_MESSAGE, strings_.Load(IDS_PROGRESS_CANCELLING).c_str());
  EnableWindow(Item(IDCANCEL), FALSE);
  cancelled_ = true;
}

bool CStatusDlg::PreTranslate(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.wParam != VK_RETURN) return IsSwallowedKey(message.wParam);
  if (HasFocus(IDCANCEL) && IsWindowEnabled(Item(IDCANCEL))) OnCancel();
  return true;
}

std::unique_ptr<ui::CStatusDlg> StatusHost::NewStatusDlg() {
  return std::make_unique<CStatusDlg>(strings_, mainWindow_);
}

void StatusHost::RepaintScreenRect(const ui::ScreenRect& rect) {
  if (!mainWindow_) return;
  RECT area = {rect.left, rect.top, rect.right, rect.bottom};
  MapWindowPoints(nullptr, mainWindow_, reinterpret_cast<POINT*>(&area), 2);
  RedrawWindow(mainWindow_, &area, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace ui::win32
