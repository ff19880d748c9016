#include "mediaengine/win32/engine_window.h"

#include "mediaengine/player/player.h"
#include "os/win32/helper_window.h"
#include "os/win32/message_guard.h"

namespace mediaengine::win32 {
namespace {

constexpr wchar_t kClassName[] = L"MarimbaEngineWindow";
constexpr UINT kDrainMessage = WM_APP + 1;
constexpr UINT_PTR kPollTimer = 1;

}  // namespace

EngineWindow::EngineWindow(std::shared_ptr<Player> player, HWND parent, const RECT& area)
    : player_(std::move(player)) {
  window_ = parent ? os::win32::CreateHelperWindow(kClassName, WindowProc, this, parent,
                                                    WS_CHILD | WS_CLIPCHILDREN, WS_EX_TOPMOST,
                                                    area)
                   : os::win32::CreateHelperWindow(kClassName, WindowProc, this);
  if (!window_) return;
  SetTimer(window_, kPollTimer, kPollMilliseconds, nullptr);
  HWND target = window_;
  // Posting is safe from any thread; the drain then runs on this one.
  player_->Queue().SetWakeUp([target] { PostMessageW(target, kDrainMessage, 0, 0); });
  PostMessageW(window_, kDrainMessage, 0, 0);
}

EngineWindow::~EngineWindow() {
  player_->Queue().SetWakeUp(nullptr);
  if (window_) {
    KillTimer(window_, kPollTimer);
    DestroyWindow(window_);
  }
}

LRESULT CALLBACK EngineWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  auto* self = os::win32::HelperWindowOwner<EngineWindow>(window, message, lParam);
  const bool poll = message == WM_TIMER && wParam == kPollTimer;
  if (self && (message == kDrainMessage || poll)) {
    // An event sink that throws must not take the system's dispatch down.
    const bool delivered = os::win32::GuardMessage(false, [self, poll] {
      if (poll) self->player_->Poll();
      self->player_->DrainEvents();
      return true;
    });
    // The events queued behind a failed one are delivered on the next wake.
    if (!delivered) PostMessageW(window, kDrainMessage, 0, 0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace mediaengine::win32
