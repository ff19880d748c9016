#pragma once
// The drop-down list of drives or players as the drive-access objects see
// it. The Win32 combo box implements it; the rules that fill it live in the
// drive-access objects.
#include <string>

namespace ui {

class CMyComboBox {
 public:
  virtual ~CMyComboBox() = default;
  CMyComboBox(const CMyComboBox&) = delete;
  CMyComboBox& operator=(const CMyComboBox&) = delete;

  // Removes every entry; with closeDropDown an open list is closed as well.
  virtual void ClearItems(bool closeDropDown) = 0;
  // Sets the edit text first, then selects entry `index` (-1: none).
  virtual void SetTextAndSelect(const std::wstring& text, int index) = 0;
  // Appends an entry; its index, or -1 when it could not be added.
  virtual int AddItem(const std::wstring& text) = 0;
  virtual int GetItemCount() const = 0;
  // Index of the selected entry; -1 when none is selected or on failure.
  virtual int GetSelection() const = 0;
  // The window text (the selected entry's text, or what was set); empty
  // when it cannot be read.
  virtual std::wstring GetText() const = 0;

 protected:
  CMyComboBox() = default;
};

}  // namespace ui
