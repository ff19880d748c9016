#pragma once
// A combo box in memory with the outcomes of the Win32 messages the drive
// objects send: resetting empties the text too, selecting a valid entry
// shows its text, selecting an invalid one leaves nothing selected.
#include <string>
#include <vector>

#include "ui/combo_box.h"

namespace fakes {

class FakeComboBox : public ui::CMyComboBox {
 public:
  void ClearItems(bool closeDropDown) override {
    items_.clear();
    selection_ = -1;
    text_.clear();
    ++clears_;
    if (closeDropDown) dropDownOpen_ = false;
  }
  void SetTextAndSelect(const std::wstring& text, int index) override {
    text_ = text;
    if (index >= 0 && index < static_cast<int>(items_.size())) {
      selection_ = index;
      text_ = items_[static_cast<std::size_t>(index)];
    } else {
      selection_ = -1;
    }
  }
  int AddItem(const std::wstring& text) override {
    if (failAdds_) return -1;
    items_.push_back(text);
    return static_cast<int>(items_.size()) - 1;
  }
  int GetItemCount() const override { return static_cast<int>(items_.size()); }
  int GetSelection() const override { return selection_; }
  std::wstring GetText() const override { return text_; }

  // Test set-up: what the user did.
  void SetText(const std::wstring& text) { text_ = text; }
  void Select(int index) { SetTextAndSelect(std::wstring(), index); }
  void OpenDropDown() { dropDownOpen_ = true; }
  void FailAdds(bool fail) { failAdds_ = fail; }

  const std::vector<std::wstring>& Items() const { return items_; }
  bool DropDownOpen() const { return dropDownOpen_; }
  int Clears() const { return clears_; }

 private:
  std::vector<std::wstring> items_;
  std::wstring text_;
  int selection_ = -1;
  bool dropDownOpen_ = false;
  bool failAdds_ = false;
  int clears_ = 0;
};

}  // namespace fakes
