#include "ui/win32/my_combo_box.h"

namespace ui::win32 {

void CMyComboBox::ClearItems(bool closeDropDown) {
  if (!combo_) return;
  SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
  if (closeDropDown) SendMessageW(combo_, CB_SHOWDROPDOWN, FALSE, 0);
}

void CMyComboBox::SetTextAndSelect(const std::wstring& text, int index) {
  if (!combo_) return;
  SetWindowTextW(combo_, text.c_str());
  SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int CMyComboBox::AddItem(const std::wstring& text) {
  if (!combo_) return -1;
  const LRESULT index = SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return index < 0 ? -1 : static_cast<int>(index);
}

int CMyComboBox::GetItemCount() const {
  if (!combo_) return 0;
  const LRESULT count = SendMessageW(combo_, CB_GETCOUNT, 0, 0);
  return count < 0 ? 0 : static_cast<int>(count);
}

int CMyComboBox::GetSelection() const {
  if (!combo_) return -1;
  const LRESULT index = SendMessageW(combo_, CB_GETCURSEL, 0, 0);
  return index < 0 ? -1 : static_cast<int>(index);
}

std::wstring CMyComboBox::GetText() const {
  if (!combo_) return std::wstring();
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(combo_)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(combo_, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace ui::win32
