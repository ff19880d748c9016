#include "ui/win32/wait_dlg.h"

#include "resources/resource.h"

namespace ui::win32 {

CWaitDlg::CWaitDlg() : Dialog(IDD_WAIT) {}

CWaitDlg::~CWaitDlg() { Destroy(); }

bool CWaitDlg::Create(HWND owner) {
  if (Window()) return true;
  if (owner) {
    EnableWindow(owner, FALSE);
    disabledOwner_ = owner;
  }
  if (CreateModeless(owner)) return true;
  EnableOwnerAgain();
  return false;
}

bool CWaitDlg::OnInit() {
  SetWindowPos(Window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  CentreOn(disabledOwner_);
  SetDlgItemTextW(Window(), IDC_WAIT_MESSAGE, L"");
  SetForegroundWindow(Window());
  return false;  // nothing in it takes the focus
}

void CWaitDlg::Show() {
  if (Window()) ShowWindow(Window(), SW_SHOW);
}

void CWaitDlg::SetText(const std::wstring& text) {
  if (!Window()) return;
  SetDlgItemTextW(Window(), IDC_WAIT_MESSAGE, text.c_str());
  PumpOne();
}

void CWaitDlg::Destroy() {
  EnableOwnerAgain();
  DestroyNow();
}

// Also when the window goes with its owner or otherwise.
void CWaitDlg::OnDestroy() { EnableOwnerAgain(); }

void CWaitDlg::EnableOwnerAgain() {
  if (!disabledOwner_) return;
  EnableWindow(disabledOwner_, TRUE);
  disabledOwner_ = nullptr;
}

}  // namespace ui::win32
