#pragma once
// Between the platform control's event sink and the tool's sink: keeps the
// control's events in the order our engine gives them. Our engine never
// raises an event from inside a call the tool makes; it queues it and
// delivers it from the message loop. The installed control may call back
// re-entrantly (CreatePartnershipComplete from inside createPartnership, a
// sync state from inside start), which would run a main-window handler in
// the middle of another. Such an event is held, with its strings copied and
// its objects referenced, and delivered from the relay's own window once the
// message loop runs again, outside any call into the control (not from a
// message loop the control runs inside one); so is every event that comes
// while others wait, so the order stays the control's. Events the control
// raises on its own (from its window messages) go through at once,
// synchronously.
//
// Lives on the control's (the main window's) thread. After Stop nothing
// reaches the sink, not even what was held.
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "engine/model/events.h"

namespace engine::win32 {

class ComEventRelay final : public wmp::IPlayerEvents,
                            public std::enable_shared_from_this<ComEventRelay> {
 public:
  // Null when out of memory. Without its window (which should not happen)
  // the relay delivers everything at once.
  static std::shared_ptr<ComEventRelay> Create(wmp::PlayerEventsPtr sink);
  ~ComEventRelay() override;
  ComEventRelay(const ComEventRelay&) = delete;
  ComEventRelay& operator=(const ComEventRelay&) = delete;

  // Forgets the sink and whatever is held.
  void Stop();
  // How many events wait for the message loop.
  size_t HeldCount() const { return held_.size(); }
  // Delivers what is held, oldest first (the window's message runs this).
  void DeliverHeld();

  WMP_PLAYER_EVENTS(WMP_DECLARE_PLAYER_EVENT)

 private:
  using Event = std::function<void(wmp::IPlayerEvents&)>;

  explicit ComEventRelay(wmp::PlayerEventsPtr sink) : sink_(std::move(sink)) {}
  bool OpenWindow();
  // Delivers the event now, or holds it with its arguments (a tuple of
  // them) kept; nothing thrown leaves (an event that cannot be kept is
  // dropped).
  template <class Method, class Arguments>
  void Relay(Method event, const Arguments& arguments) noexcept;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  wmp::PlayerEventsPtr sink_;
  std::deque<Event> held_;
  HWND window_ = nullptr;
  bool wakeUpPosted_ = false;
};

}  // namespace engine::win32
