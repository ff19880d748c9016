#pragma once
// The top-level window port over user32 and shell32.
#include "os/top_windows.h"

namespace os::win32 {

class Win32TopWindows : public ITopWindows {
 public:
  WindowRef FindByTitle(const std::wstring& title) override;
  void Enumerate(const std::function<bool(WindowRef)>& visit) override;
  std::wstring Title(WindowRef window) override;
  WindowRef Parent(WindowRef window) override;
  bool IsVisible(WindowRef window) override;
  void RequestClose(WindowRef window) override;
  bool BringToForeground(WindowRef window) override;
  std::intptr_t ShellOpen(const std::wstring& path) override;
};

}  // namespace os::win32
