#include "os/win32/helper_window.h"

namespace os::win32 {

bool RegisterHelperClass(const wchar_t* className, WNDPROC procedure) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = className;
  return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateHelperWindow(const wchar_t* className, WNDPROC procedure, void* owner, HWND parent,
                        DWORD style, DWORD exStyle, const RECT& area) {
  if (!RegisterHelperClass(className, procedure)) return nullptr;
  if (!parent) {
    return CreateWindowExW(exStyle, className, L"", style, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), owner);
  }
  return CreateWindowExW(exStyle, className, L"", style, area.left, area.top,
                         area.right - area.left, area.bottom - area.top, parent, nullptr,
                         GetModuleHandleW(nullptr), owner);
}

}  // namespace os::win32
