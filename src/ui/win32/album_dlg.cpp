#include "ui/win32/album_dlg.h"

#include <string>

#include "resources/resource.h"
#include "ui/track_list_rules.h"

namespace ui::win32 {
namespace {

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

CAlbumDlg::CAlbumDlg(const res::IStringTable& strings, ui::IAlbumNameModel& model)
    : Dialog(IDD_ALBUM), strings_(strings), model_(model) {
  RefuseAutoPlay();
}

bool CAlbumDlg::OnInit() {
  SetWindowTextW(Window(), strings_.Load(IDS_ALBUM_CAPTION).c_str());
  SetDlgItemTextW(Window(), IDC_ALBUM_LABEL, strings_.Load(IDS_ALBUM_LABEL).c_str());
  SetDlgItemTextW(Window(), IDC_ALBUM_EDIT, model_.GetAlbumName().c_str());
  SendMessageW(Item(IDC_ALBUM_EDIT), EM_LIMITTEXT, ui::kCellTextLimit, 0);
  UpdateOkState();
  return true;
}

void CAlbumDlg::UpdateOkState() {
  HWND ok = Item(IDOK);
  HWND cancel = Item(IDCANCEL);
  if (!ok || !cancel) return;
  const bool empty = GetWindowTextLengthW(Item(IDC_ALBUM_EDIT)) == 0;
  const bool enabled = IsWindowEnabled(ok) != FALSE;
  if (empty && enabled) {
    SendMessageW(ok, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EnableWindow(ok, FALSE);
    SendMessageW(cancel, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  } else if (!empty && !enabled) {
    SendMessageW(ok, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EnableWindow(ok, TRUE);
    SendMessageW(cancel, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  }
}

bool CAlbumDlg::OnCommand(int id, int code) {
  if (id == IDC_ALBUM_EDIT && code == EN_CHANGE) {
    // Also for changes that reach the edit box without a queued message
    // (a paste from its context menu).
    UpdateOkState();
    return true;
  }
  return OnOkOrCancel(id, code);
}

void CAlbumDlg::OnOK() {
  HWND ok = Item(IDOK);
  if (!ok || !IsWindowEnabled(ok)) return;
  // The text as typed: no trimming; an unchanged name is set again.
  model_.SetAlbumName(TextOf(Item(IDC_ALBUM_EDIT)));
  End(IDOK);
}

bool CAlbumDlg::PreTranslate(const MSG& message) {
  if (PressFocusedButton(message)) return true;
  if (message.message == WM_KEYDOWN && message.wParam == VK_F1) return true;
  UpdateOkState();
  return false;
}

INT_PTR RunAlbumDlg(HWND parent, const res::IStringTable& strings, ui::IAlbumNameModel& model) {
  CAlbumDlg dialog(strings, model);
  return dialog.DoModal(parent);
}

}  // namespace ui::win32
