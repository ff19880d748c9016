#pragma once
// The engine's message-only window on the player's thread: engine workers
// wake it to deliver queued events there, and its timer polls the drives.
#include <windows.h>

#include <memory>

namespace mediaengine {
class Player;
}

namespace mediaengine::win32 {

class EngineWindow {
 public:
  static constexpr UINT kPollMilliseconds = 2000;

  // Creates the window on the calling thread, which must run a message loop:
  // message-only without a parent, else an invisible child of `parent`
  // covering `area` (the host window of the player).
  explicit EngineWindow(std::shared_ptr<Player> player, HWND parent = nullptr,
                        const RECT& area = RECT{});
  ~EngineWindow();
  EngineWindow(const EngineWindow&) = delete;
  EngineWindow& operator=(const EngineWindow&) = delete;

  bool IsValid() const { return window_ != nullptr; }
  HWND Window() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::shared_ptr<Player> player_;
  HWND window_ = nullptr;
};

}  // namespace mediaengine::win32
