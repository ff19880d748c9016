#pragma once
// Top-level window port: FindWindowW, EnumWindows and the shell's "open".
#include <cstdint>
#include <functional>
#include <string>

namespace os {

using WindowRef = std::uintptr_t;
constexpr WindowRef kNoWindow = 0;

class ITopWindows {
 public:
  virtual ~ITopWindows() = default;
  // FindWindowW(nullptr, title): exact title.
  virtual WindowRef FindByTitle(const std::wstring& title) = 0;
  // EnumWindows in system order; the callback returns false to stop.
  virtual void Enumerate(const std::function<bool(WindowRef)>& visit) = 0;
  virtual std::wstring Title(WindowRef window) = 0;
  // GetParent; kNoWindow for none.
  virtual WindowRef Parent(WindowRef window) = 0;
  virtual bool IsVisible(WindowRef window) = 0;
  // SendMessage WM_CLOSE.
  virtual void RequestClose(WindowRef window) = 0;
  virtual bool BringToForeground(WindowRef window) = 0;
  // ShellExecuteW "open" in a normal window: the shell's result (> 32 is success).
  virtual std::intptr_t ShellOpen(const std::wstring& path) = 0;
};

}  // namespace os
