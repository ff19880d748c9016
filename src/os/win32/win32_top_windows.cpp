#include "os/win32/win32_top_windows.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

namespace os::win32 {
namespace {

HWND HwndOf(WindowRef window) { return reinterpret_cast<HWND>(window); }
WindowRef RefOf(HWND window) { return reinterpret_cast<WindowRef>(window); }

}  // namespace

WindowRef Win32TopWindows::FindByTitle(const std::wstring& title) {
  return RefOf(FindWindowW(nullptr, title.c_str()));
}

void Win32TopWindows::Enumerate(const std::function<bool(WindowRef)>& visit) {
  // Collect first: the visitor may close windows, which must not disturb the
  // system's enumeration; exceptions must not cross the callback either.
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) {
    if (!visit(RefOf(window))) break;
  }
}

std::wstring Win32TopWindows::Title(WindowRef window) {
  const int length = GetWindowTextLengthW(HwndOf(window));
  if (length <= 0) return std::wstring();
  std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(HwndOf(window), title.data(), length + 1);
  title.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return title;
}

WindowRef Win32TopWindows::Parent(WindowRef window) { return RefOf(GetParent(HwndOf(window))); }

bool Win32TopWindows::IsVisible(WindowRef window) {
  return IsWindowVisible(HwndOf(window)) != FALSE;
}

void Win32TopWindows::RequestClose(WindowRef window) {
  SendMessageW(HwndOf(window), WM_CLOSE, 0, 0);
}

bool Win32TopWindows::BringToForeground(WindowRef window) {
  return SetForegroundWindow(HwndOf(window)) != FALSE;
}

std::intptr_t Win32TopWindows::ShellOpen(const std::wstring& path) {
  const HINSTANCE result =
      ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace os::win32
