#pragma once
// CWaitDlg (dialog 132): the topmost please-wait window shown while the tool
// starts. Its owner stays disabled exactly as long as the window exists.
#include <windows.h>

#include <string>

#include "ui/win32/dialog.h"

namespace ui::win32 {

class CWaitDlg : private Dialog {
 public:
  CWaitDlg();
  ~CWaitDlg() override;

  // Disables `owner` (may be null) and creates the window, hidden; false
  // (and the owner enabled again) when it cannot be made.
  bool Create(HWND owner);
  void Show();
  // Sets the message and dispatches one queued message of the window.
  void SetText(const std::wstring& text);
  // Enables the owner again and destroys the window.
  void Destroy();

  using Dialog::Window;

 private:
  bool OnInit() override;
  void OnDestroy() override;
  void EnableOwnerAgain();

  HWND disabledOwner_ = nullptr;
};

}  // namespace ui::win32
