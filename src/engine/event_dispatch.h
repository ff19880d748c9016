#pragma once
// The event sink: every engine event becomes one PlayerEventMessage sent to
// the main window, with the parameters described in player_messages.h.
// Strings travel as the address of the engine's own `std::wstring`, objects
// as the engine's own object pointer; both are valid only during the send.
// Events without a message, and every event while no main window is set,
// are dropped.
//
// The sink is advised on the engine's player as a `wmp::PlayerEventsPtr`
// (std::make_shared<CWMPEventDispatch>()); the COM event sink of the Win32
// shell forwards the platform control's events to it as well.
#include <cstdint>
#include <string>

#include "engine/model/events.h"
#include "engine/player_messages.h"
#include "os/top_windows.h"

namespace engine {

class CWMPEventDispatch : public wmp::IPlayerEvents {
 public:
  CWMPEventDispatch() = default;
  CWMPEventDispatch(const CWMPEventDispatch&) = delete;
  CWMPEventDispatch& operator=(const CWMPEventDispatch&) = delete;

  // Borrowed: the main window sets itself before the sink is advised and
  // sets null before it goes away.
  void SetMainWindow(IMessageTarget* window) { window_ = window; }
  IMessageTarget* MainWindow() const { return window_; }

  WMP_PLAYER_EVENTS(WMP_DECLARE_PLAYER_EVENT)

 private:
  void Send(PlayerEventMessage message, std::uintptr_t wParam, std::intptr_t lParam);
  // Sends `message` with the event's first argument (of the tuple
  // `arguments`) as wParam and its second as lParam (0 where there is
  // none), encoded by their types.
  template <class Arguments>
  void SendEncoded(PlayerEventMessage message, const Arguments& arguments);

  IMessageTarget* window_ = nullptr;
};

// The title of the player application's main window.
extern const wchar_t kPlayerApplicationTitle[];

// The first top-level window, in system order, whose whole title is exactly
// (case-sensitively) the player application's; kNoWindow if there is none.
os::WindowRef FindPlayerApplicationWindow(os::ITopWindows& windows);

}  // namespace engine
