#include "engine/win32/com_event_relay.h"

#include <new>
#include <type_traits>
#include <utility>

#include "engine/win32/com_object_views.h"
#include "engine/win32/control_call.h"

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

std::shared_ptr<wmp::IMedia> KeepMedia(wmp::IMedia* item) { return Keep<ComMediaView>(item); }
std::shared_ptr<wmp::IPlaylist> KeepPlaylist(wmp::IPlaylist* playlist) {
  return Keep<ComPlaylistView>(playlist);
}
std::shared_ptr<wmp::ISyncDevice> KeepDevice(wmp::ISyncDevice* device) {
  return Keep<ComSyncDeviceView>(device);
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
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);  // fails harmlessly when already registered
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                            this);
  return window_ != nullptr;
}

LRESULT CALLBACK ComEventRelay::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<ComEventRelay*>(GetWindowLongPtrW(window, GWLP_USERDATA));
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

template <class Make>
void ComEventRelay::Relay(Make make) noexcept {
  if (!sink_) return;
  try {
    Event event = make();
    if (window_ && (ControlCall::Active() || !held_.empty())) {
      held_.push_back(std::move(event));
      if (!wakeUpPosted_) wakeUpPosted_ = PostMessageW(window_, kDeliverHeld, 0, 0) != FALSE;
      return;
    }
    const std::shared_ptr<ComEventRelay> self = shared_from_this();
    const wmp::PlayerEventsPtr sink = sink_;
    event(*sink);
  } catch (...) {
    // Dropped: nothing may cross back into the control.
  }
}

// Every event: its arguments copied (strings) or kept (objects) into the
// event, which runs now or later.
#define MARIMBA_RELAY(call) Relay([&] { return Event([=](wmp::IPlayerEvents& s) { s.call; }); })

void ComEventRelay::OpenStateChange(long newState) { MARIMBA_RELAY(OpenStateChange(newState)); }
void ComEventRelay::StatusChange() { MARIMBA_RELAY(StatusChange()); }
void ComEventRelay::PlayStateChange(long newState) { MARIMBA_RELAY(PlayStateChange(newState)); }
void ComEventRelay::AudioLanguageChange(long languageId) {
  MARIMBA_RELAY(AudioLanguageChange(languageId));
}
void ComEventRelay::EndOfStream(long result) { MARIMBA_RELAY(EndOfStream(result)); }
void ComEventRelay::PositionChange(double oldPosition, double newPosition) {
  MARIMBA_RELAY(PositionChange(oldPosition, newPosition));
}
void ComEventRelay::MarkerHit(long marker) { MARIMBA_RELAY(MarkerHit(marker)); }
void ComEventRelay::DurationUnitChange(long unit) { MARIMBA_RELAY(DurationUnitChange(unit)); }
void ComEventRelay::ScriptCommand(const std::wstring& type, const std::wstring& param) {
  MARIMBA_RELAY(ScriptCommand(type, param));
}
void ComEventRelay::Disconnect(long result) { MARIMBA_RELAY(Disconnect(result)); }
void ComEventRelay::Buffering(bool start) { MARIMBA_RELAY(Buffering(start)); }
void ComEventRelay::NewStream() { MARIMBA_RELAY(NewStream()); }
void ComEventRelay::Error() { MARIMBA_RELAY(Error()); }
void ComEventRelay::Warning(long type, long param, const std::wstring& text) {
  MARIMBA_RELAY(Warning(type, param, text));
}
void ComEventRelay::CdromMediaChange(long cdromIndex) {
  MARIMBA_RELAY(CdromMediaChange(cdromIndex));
}
void ComEventRelay::PlaylistChange(wmp::IPlaylist* playlist, long change) {
  Relay([&] {
    return Event([kept = KeepPlaylist(playlist), change](wmp::IPlayerEvents& s) {
      s.PlaylistChange(kept.get(), change);
    });
  });
}
void ComEventRelay::MediaChange(wmp::IMedia* item) {
  Relay([&] {
    return Event([kept = KeepMedia(item)](wmp::IPlayerEvents& s) { s.MediaChange(kept.get()); });
  });
}
void ComEventRelay::CurrentMediaItemAvailable(const std::wstring& name) {
  MARIMBA_RELAY(CurrentMediaItemAvailable(name));
}
void ComEventRelay::CurrentPlaylistChange(long change) {
  MARIMBA_RELAY(CurrentPlaylistChange(change));
}
void ComEventRelay::CurrentPlaylistItemAvailable(const std::wstring& name) {
  MARIMBA_RELAY(CurrentPlaylistItemAvailable(name));
}
void ComEventRelay::CurrentItemChange(wmp::IMedia* item) {
  Relay([&] {
    return Event(
        [kept = KeepMedia(item)](wmp::IPlayerEvents& s) { s.CurrentItemChange(kept.get()); });
  });
}
void ComEventRelay::MediaCollectionChange() { MARIMBA_RELAY(MediaCollectionChange()); }
void ComEventRelay::MediaCollectionAttributeStringAdded(const std::wstring& attribute,
                                                        const std::wstring& value) {
  MARIMBA_RELAY(MediaCollectionAttributeStringAdded(attribute, value));
}
void ComEventRelay::MediaCollectionAttributeStringRemoved(const std::wstring& attribute,
                                                          const std::wstring& value) {
  MARIMBA_RELAY(MediaCollectionAttributeStringRemoved(attribute, value));
}
void ComEventRelay::PlaylistCollectionChange() { MARIMBA_RELAY(PlaylistCollectionChange()); }
void ComEventRelay::PlaylistCollectionPlaylistAdded(const std::wstring& name) {
  MARIMBA_RELAY(PlaylistCollectionPlaylistAdded(name));
}
void ComEventRelay::PlaylistCollectionPlaylistRemoved(const std::wstring& name) {
  MARIMBA_RELAY(PlaylistCollectionPlaylistRemoved(name));
}
void ComEventRelay::PlaylistCollectionPlaylistSetAsDeleted(const std::wstring& name,
                                                           bool deleted) {
  MARIMBA_RELAY(PlaylistCollectionPlaylistSetAsDeleted(name, deleted));
}
void ComEventRelay::ModeChange(const std::wstring& mode, bool value) {
  MARIMBA_RELAY(ModeChange(mode, value));
}
void ComEventRelay::MediaCollectionAttributeStringChanged(const std::wstring& attribute,
                                                          const std::wstring& oldValue,
                                                          const std::wstring& newValue) {
  MARIMBA_RELAY(MediaCollectionAttributeStringChanged(attribute, oldValue, newValue));
}
void ComEventRelay::MediaError(wmp::IMedia* item) {
  Relay([&] {
    return Event([kept = KeepMedia(item)](wmp::IPlayerEvents& s) { s.MediaError(kept.get()); });
  });
}
void ComEventRelay::DomainChange(const std::wstring& domain) {
  MARIMBA_RELAY(DomainChange(domain));
}
void ComEventRelay::OpenPlaylistSwitch(wmp::IMedia* item) {
  Relay([&] {
    return Event(
        [kept = KeepMedia(item)](wmp::IPlayerEvents& s) { s.OpenPlaylistSwitch(kept.get()); });
  });
}
void ComEventRelay::SwitchedToPlayerApplication() { MARIMBA_RELAY(SwitchedToPlayerApplication()); }
void ComEventRelay::SwitchedToControl() { MARIMBA_RELAY(SwitchedToControl()); }
void ComEventRelay::PlayerDockedStateChange() { MARIMBA_RELAY(PlayerDockedStateChange()); }
void ComEventRelay::PlayerReconnect() { MARIMBA_RELAY(PlayerReconnect()); }
void ComEventRelay::Click(short button, short shift, long x, long y) {
  MARIMBA_RELAY(Click(button, shift, x, y));
}
void ComEventRelay::DoubleClick(short button, short shift, long x, long y) {
  MARIMBA_RELAY(DoubleClick(button, shift, x, y));
}
void ComEventRelay::KeyDown(short key, short shift) { MARIMBA_RELAY(KeyDown(key, shift)); }
void ComEventRelay::KeyPress(short key) { MARIMBA_RELAY(KeyPress(key)); }
void ComEventRelay::KeyUp(short key, short shift) { MARIMBA_RELAY(KeyUp(key, shift)); }
void ComEventRelay::MouseDown(short button, short shift, long x, long y) {
  MARIMBA_RELAY(MouseDown(button, shift, x, y));
}
void ComEventRelay::MouseMove(short button, short shift, long x, long y) {
  MARIMBA_RELAY(MouseMove(button, shift, x, y));
}
void ComEventRelay::MouseUp(short button, short shift, long x, long y) {
  MARIMBA_RELAY(MouseUp(button, shift, x, y));
}
void ComEventRelay::DeviceConnect(wmp::ISyncDevice* device) {
  Relay([&] {
    return Event(
        [kept = KeepDevice(device)](wmp::IPlayerEvents& s) { s.DeviceConnect(kept.get()); });
  });
}
void ComEventRelay::DeviceDisconnect(wmp::ISyncDevice* device) {
  Relay([&] {
    return Event(
        [kept = KeepDevice(device)](wmp::IPlayerEvents& s) { s.DeviceDisconnect(kept.get()); });
  });
}
void ComEventRelay::DeviceStatusChange(wmp::ISyncDevice* device, long status) {
  Relay([&] {
    return Event([kept = KeepDevice(device), status](wmp::IPlayerEvents& s) {
      s.DeviceStatusChange(kept.get(), status);
    });
  });
}
void ComEventRelay::DeviceSyncStateChange(wmp::ISyncDevice* device, long state) {
  Relay([&] {
    return Event([kept = KeepDevice(device), state](wmp::IPlayerEvents& s) {
      s.DeviceSyncStateChange(kept.get(), state);
    });
  });
}
void ComEventRelay::DeviceSyncError(wmp::ISyncDevice* device, wmp::IMedia* item) {
  Relay([&] {
    return Event([keptDevice = KeepDevice(device), keptItem = KeepMedia(item)](
                     wmp::IPlayerEvents& s) { s.DeviceSyncError(keptDevice.get(), keptItem.get()); });
  });
}
void ComEventRelay::CreatePartnershipComplete(wmp::ISyncDevice* device, wmp::HResult result) {
  Relay([&] {
    return Event([kept = KeepDevice(device), result](wmp::IPlayerEvents& s) {
      s.CreatePartnershipComplete(kept.get(), result);
    });
  });
}

#undef MARIMBA_RELAY

}  // namespace engine::win32
