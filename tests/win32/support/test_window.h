#pragma once
// Windows of the test groups and the message loop that serves them.
#include <windows.h>

#include <functional>

#include "ui/win32/dialog.h"

namespace wine_test {

// Owner of a window the test made; destroyed with the scope unless the
// window went already.
class OwnedWindow {
 public:
  OwnedWindow() = default;
  explicit OwnedWindow(HWND window) : window_(window) {}
  ~OwnedWindow() { Reset(); }
  OwnedWindow(OwnedWindow&& other) noexcept : window_(other.window_) { other.window_ = nullptr; }
  OwnedWindow& operator=(OwnedWindow&& other) noexcept {
    if (this != &other) {
      Reset();
      window_ = other.window_;
      other.window_ = nullptr;
    }
    return *this;
  }
  OwnedWindow(const OwnedWindow&) = delete;
  OwnedWindow& operator=(const OwnedWindow&) = delete;

  HWND Get() const { return window_; }
  void Reset() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
  }

 private:
  HWND window_ = nullptr;
};

// A top-level window of its own class (registered once per name).
inline OwnedWindow MakeWindow(const wchar_t* className, WNDPROC proc, const wchar_t* title,
                              bool visible) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);
  return OwnedWindow(CreateWindowExW(0, className, title,
                                     WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 0, 0, 400,
                                     300, nullptr, nullptr, windowClass.hInstance, nullptr));
}

// Dispatches every message waiting for this thread (a modeless dialog's
// keys go to the dialog) and, given `ms`, goes on doing so for about that
// many milliseconds.
inline void Pump(int ms = 0) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (ui::win32::RouteDialogMessage(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (static_cast<LONG>(GetTickCount() - end) >= 0) return;
    Sleep(5);
  }
}

// Runs the message loop until `done` or `timeoutMs`; whether `done` came.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    Pump();
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(10);
  }
}

}  // namespace wine_test
