#pragma once
// CMyComboBox: the drive and player drop-down lists of the main window.
#include <windows.h>

#include "ui/combo_box.h"

namespace ui::win32 {

class CMyComboBox final : public ui::CMyComboBox {
 public:
  // Binds the combo box of a dialog template.
  void Attach(HWND comboBox) { combo_ = comboBox; }
  HWND Window() const { return combo_; }

  void ClearItems(bool closeDropDown) override;
  void SetTextAndSelect(const std::wstring& text, int index) override;
  int AddItem(const std::wstring& text) override;
  int GetItemCount() const override;
  int GetSelection() const override;
  std::wstring GetText() const override;

 private:
  HWND combo_ = nullptr;
};

}  // namespace ui::win32
