#include "ui/win32/auto_close_dlg.h"

#include <string>

#include "resources/resource.h"

namespace ui::win32 {
namespace {

// Grows the message control downwards until its text fits, moving the
// controls below it and growing the window alike: the done notice's one
// line is too short for its Japanese text in the dialog font.
void FitMessage(HWND dialog, HWND message, const std::wstring& text) {
  RECT box;
  GetWindowRect(message, &box);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
  HDC dc = GetDC(message);
  if (!dc) return;
  const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(message, WM_GETFONT, 0, 0));
  const HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
  RECT needed = {0, 0, box.right - box.left, 0};
  DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  if (previous) SelectObject(dc, previous);
  ReleaseDC(message, dc);
  const int grow = needed.bottom - (box.bottom - box.top);
  if (grow <= 0) return;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (child == message) continue;
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    if (r.top >= box.bottom) {
      SetWindowPos(child, nullptr, r.left, r.top + grow, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  SetWindowPos(message, nullptr, 0, 0, box.right - box.left, box.bottom - box.top + grow,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT frame;
  GetWindowRect(dialog, &frame);
  SetWindowPos(dialog, nullptr, frame.left, frame.top - grow / 2, frame.right - frame.left,
               frame.bottom - frame.top + grow, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CAutoCloseDlg::CAutoCloseDlg(const res::IStringTable& strings, int templateId,
                             unsigned messageId)
    : Dialog(templateId), strings_(strings), messageId_(messageId) {}

bool CAutoCloseDlg::OnInit() {
  SetWindowTextW(Window(), strings_.Load(IDS_APP_TITLE).c_str());
  const std::wstring message = strings_.Load(messageId_);
  SetDlgItemTextW(Window(), IDC_AUTO_CLOSE_MESSAGE, message.c_str());
  FitMessage(Window(), Item(IDC_AUTO_CLOSE_MESSAGE), message);
  timer_ = SetTimer(Window(), kTimerId, kIntervalMs, nullptr);
  return true;
}

bool CAutoCloseDlg::OnTimer(UINT_PTR id) {
  if (timer_ == 0 || id != timer_) return false;
  End(IDOK);
  return false;  // default processing goes on
}

bool CAutoCloseDlg::OnCommand(int id, int code) {
  if (id != IDCANCEL || (code != BN_CLICKED && code != 0)) return false;
  End(IDCANCEL);
  return true;
}

void CAutoCloseDlg::OnDestroy() {
  if (timer_ != 0) KillTimer(Window(), timer_);
  timer_ = 0;
}

bool CAutoCloseDlg::PreTranslate(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.wParam != VK_RETURN) return IsSwallowedKey(message.wParam);
  if (HasFocus(IDCANCEL)) End(IDCANCEL);
  return true;
}

INT_PTR RunAutoTransferPrompt(HWND parent, const res::IStringTable& strings) {
  CAutoCloseDlg dialog(strings, IDD_AUTO_TRANSFER, IDS_AUTO_TRANSFER_PROMPT);
  return dialog.DoModal(parent);
}

INT_PTR RunDoneNotice(HWND parent, const res::IStringTable& strings) {
  CAutoCloseDlg dialog(strings, IDD_DONE_NOTICE, IDS_MSG_SYNC_DONE);
  return dialog.DoModal(parent);
}

}  // namespace ui::win32
