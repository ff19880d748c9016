#pragma once
// Windows of our own that are not dialogs (the engine's window, the event
// relay's, the control's host): the class registered on first use, the
// owning object kept in the window's user data from WM_NCCREATE on.
//
//   window_ = os::win32::CreateHelperWindow(kClassName, WindowProc, this);
//   ...
//   LRESULT CALLBACK Owner::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
//     auto* self = os::win32::HelperWindowOwner<Owner>(window, message, l);
#include <windows.h>

namespace os::win32 {

// Registers `className` with `procedure` in this module; true also when it
// is registered already.
bool RegisterHelperClass(const wchar_t* className, WNDPROC procedure);

// A window of that class whose user data is `owner`: message-only without a
// `parent`, else a child of it covering `area`. Null on failure.
HWND CreateHelperWindow(const wchar_t* className, WNDPROC procedure, void* owner,
                        HWND parent = nullptr, DWORD style = 0, DWORD exStyle = 0,
                        const RECT& area = RECT{});

// The owner given at creation; stores it on WM_NCCREATE. Null before that.
template <class Owner>
Owner* HelperWindowOwner(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace os::win32
