#pragma once
// The base of the two drive-access objects (CD drives and players): a
// state number, a name, the combo box the object fills and the progress
// window it shows while a long operation runs.
#include <cstdint>
#include <memory>
#include <string>

#include "resources/string_table.h"
#include "ui/combo_box.h"
#include "ui/status_window.h"

namespace common {

enum DriveState : int {
  kNothingFound = 0,  // the last RefreshList found nothing
  kListed = 1,        // entries listed, nothing opened
  kOpened = 2,        // a usable disc is open, or a player with a partnership is selected
};

class CBasicDrive {
 public:
  virtual ~CBasicDrive();
  CBasicDrive(const CBasicDrive&) = delete;
  CBasicDrive& operator=(const CBasicDrive&) = delete;

  // Reset, then keep `comboBox`; false for null.
  virtual bool Attach(ui::CMyComboBox* comboBox) = 0;
  // Lets go of every engine object the object holds.
  virtual void Reset() = 0;
  // Rebuilds the combo box.
  virtual void RefreshList(bool selectFirst, bool closeDropDown) = 0;

  void SetState(int state) { state_ = state; }
  int GetState() const { return state_; }
  const std::wstring& Name() const { return name_; }
  // The combo box's selected entry; -1 when none or without a combo box.
  int GetSelectedIndex() const;

  // Creates and shows the progress window titled with the tool's name;
  // false (and no window) when it cannot be made.
  bool ShowStatus(bool disableCancel);
  // Moves the progress bar of an open progress window.
  void SetStatusProgress(std::int32_t position);
  // Destroys the progress window and repaints the main window under it.
  void CloseStatus();
  bool IsStatusShown() const { return statusShown_; }

 protected:
  CBasicDrive(std::wstring name, ui::IStatusHost& statusHost, const res::IStringTable& strings);

  ui::CMyComboBox* ComboBox() const { return comboBox_; }
  void SetComboBox(ui::CMyComboBox* comboBox) { comboBox_ = comboBox; }
  // The open progress window, or null.
  ui::CStatusDlg* StatusWindow() const { return statusWindow_.get(); }
  const res::IStringTable& Strings() const { return strings_; }

 private:
  int state_ = kNothingFound;
  std::wstring name_;
  ui::IStatusHost& statusHost_;
  const res::IStringTable& strings_;
  ui::CMyComboBox* comboBox_ = nullptr;
  std::unique_ptr<ui::CStatusDlg> statusWindow_;
  bool statusShown_ = false;
};

}  // namespace common
