#include "mediaengine/win32/engine_window.h"

#include "mediaengine/player/player.h"
#include "os/win32/message_guard.h"

namespace mediaengine::win32 {
namespace {

constexpr wchar_t kClassName[] = L"MarimbaEngineWindow";
constexpr UINT kDrainMessage = WM_APP + 1;
constexpr UINT_PTR kPollTimer = 1;

}  // namespace

EngineWindow::EngineWindow(std::shared_ptr<Player> player, HWND parent, const RECT& area)
    : player_(std::move(player)) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);  // fails harmlessly when already registered
  if (parent) {
    window_ = CreateWindowExW(WS_EX_TOPMOST, kClassName, L"", WS_CHILD | WS_CLIPCHILDREN,
                              area.left, area.top, area.right - area.left,
                              area.bottom - area.top, parent, nullptr, instance, this);
  } else {
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                              this);
  }
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
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<EngineWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
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
