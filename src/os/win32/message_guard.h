#pragma once
// Window and dialog procedures are called by the system, which cannot unwind
// C++ exceptions: one that escaped a handler would cross the Win32 boundary
// and end the program without a word. Handlers run inside this guard.
#include <windows.h>

#include <utility>

namespace os::win32 {

// `handler()`, or `failed` when it throws (noted for a debugger).
template <typename Result, typename Handler>
Result GuardMessage(Result failed, Handler&& handler) noexcept {
  try {
    return std::forward<Handler>(handler)();
  } catch (...) {
    OutputDebugStringW(L"Marimba: a window message handler failed; the message was dropped\n");
    return failed;
  }
}

}  // namespace os::win32
