#include "engine/win32/com_event_relay.h"

#include <new>
#include <tuple>
#include <type_traits>
#include <utility>

#include "engine/win32/com_object_views.h"
#include "engine/win32/control_call.h"
#include "os/win32/helper_window.h"

namespace engine::win32 {
namespace {

constexpr wchar_t kClassName[] = L"MarimbaEventRelay";
constexpr UINT kDeliverHeld = WM_APP + 1;
// While the control runs a message loop of its own inside one of the tool's
// calls, held events wait: they are tried again this much later.
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT kRetryMilliseconds = 50;

// An object of an event kept beyond the event: a new view holding its own
// reference. Only views of the control's objects come here; anything else
// cannot be kept and goes on as null.
template <class View, class Model>
std::shared_ptr<Model> Keep(Model* object) {
  auto* view = dynamic_cast<View*>(object);
  if (!view || !view->Com()) return nullptr;
  using Com = std::remove_pointer_t<decltype(view->Com())>;
  return std::make_shared<View>(ComPtr<Com>::Share(view->Com()));
}

// An argument as the held event keeps it: strings copied, objects
// referenced, numbers as they are; and as the sink takes it again.
std::shared_ptr<wmp::IMedia> Hold(wmp::IMedia* item) { return Keep<ComMediaView>(item); }
std::shared_ptr<wmp::IPlaylist> Hold(wmp::IPlaylist* playlist) {
  return Keep<ComPlaylistView>(playlist);
}
std::shared_ptr<wmp::ISyncDevice> Hold(wmp::ISyncDevice* device) {
  return Keep<ComSyncDeviceView>(device);
}
template <class Value>
Value Hold(const Value& value) {
  return value;
}
template <class Model>
Model* Pass(const std::shared_ptr<Model>& kept) {
  return kept.get();
}
template <class Value>
const Value& Pass(const Value& value) {
  return value;
}

}  // namespace

std::shared_ptr<ComEventRelay> ComEventRelay::Create(wmp::PlayerEventsPtr sink) {
  std::shared_ptr<ComEventRelay> relay;
  try {
    relay.reset(new ComEventRelay(std::move(sink)));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  relay->OpenWindow();
  return relay;
}

ComEventRelay::~ComEventRelay() {
  if (window_) DestroyWindow(window_);
}

bool ComEventRelay::OpenWindow() {
  window_ = os::win32::CreateHelperWindow(kClassName, WindowProc, this);
  return window_ != nullptr;
}

LRESULT CALLBACK ComEventRelay::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  auto* self = os::win32::HelperWindowOwner<ComEventRelay>(window, message, lParam);
  if (self && (message == kDeliverHeld || (message == WM_TIMER && wParam == kRetryTimer))) {
    if (message == kDeliverHeld) self->wakeUpPosted_ = false;
    KillTimer(window, kRetryTimer);
    if (ControlCall::Active()) {
      SetTimer(window, kRetryTimer, kRetryMilliseconds, nullptr);
    } else {
      self->DeliverHeld();
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void ComEventRelay::Stop() {
  sink_.reset();
  held_.clear();
}

void ComEventRelay::DeliverHeld() {
  // A handler may stop and release the relay while it runs.
  const std::shared_ptr<ComEventRelay> self = shared_from_this();
  while (!held_.empty() && sink_) {
    const Event event = std::move(held_.front());
    held_.pop_front();
    const wmp::PlayerEventsPtr sink = sink_;
    try {
      event(*sink);
    } catch (...) {
      // Dropped, as an event that reaches the sink directly would be.
    }
  }
}

template <class Method, class Arguments>
void ComEventRelay::Relay(Method event, const Arguments& arguments) noexcept {
  if (!sink_) return;
  try {
    auto kept = std::apply(
        [](const auto&... argument) { return std::make_tuple(Hold(argument)...); }, arguments);
    Event deliver = [event, kept = std::move(kept)](wmp::IPlayerEvents& sink) {
      std::apply([&](const auto&... argument) { (sink.*event)(Pass(argument)...); }, kept);
    };
    if (window_ && (ControlCall::Active() || !held_.empty())) {
      held_.push_back(std::move(deliver));
      if (!wakeUpPosted_) wakeUpPosted_ = PostMessageW(window_, kDeliverHeld, 0, 0) != FALSE;
      return;
    }
    const std::shared_ptr<ComEventRelay> self = shared_from_this();
    const wmp::PlayerEventsPtr sink = sink_;
    deliver(*sink);
  } catch (...) {
    // Dropped: nothing may cross back into the control.
  }
}

#define MARIMBA_RELAY_EVENT(name, parameters, arguments, delivery) \
  void ComEventRelay::name parameters {                            \
    Relay(&wmp::IPlayerEvents::name, std::forward_as_tuple arguments); \
  }
WMP_PLAYER_EVENTS(MARIMBA_RELAY_EVENT)
#undef MARIMBA_RELAY_EVENT

}  // namespace engine::win32
