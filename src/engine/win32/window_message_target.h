#pragma once
// The main window as the target of the engine's event messages: each one
// is sent with SendMessageW, so its handler has run when Send returns.
#include <windows.h>

#include <cstdint>

#include "engine/player_messages.h"

namespace engine::win32 {

class WindowMessageTarget final : public IMessageTarget {
 public:
  // Borrows `window`; it must outlive the target's use.
  explicit WindowMessageTarget(HWND window) : window_(window) {}

  HWND Window() const { return window_; }
  std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

 private:
  HWND window_;
};

}  // namespace engine::win32
