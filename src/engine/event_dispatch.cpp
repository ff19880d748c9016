#include "engine/event_dispatch.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace engine {
namespace {

std::uintptr_t NumberW(long value) {
  return static_cast<std::uintptr_t>(static_cast<std::intptr_t>(value));
}
std::intptr_t NumberL(long value) { return static_cast<std::intptr_t>(value); }

// True spreads to every bit, as a VARIANT_BOOL does.
std::uintptr_t BoolW(bool value) { return value ? ~std::uintptr_t{0} : 0; }
std::intptr_t BoolL(bool value) { return value ? -1 : 0; }

// Toward zero, as a C cast of a position to int; out-of-range values
// saturate and NaN gives 0 instead of whatever the hardware makes of them.
long Seconds(double position) {
  if (std::isnan(position)) return 0;
  constexpr double kMin = std::numeric_limits<std::int32_t>::min();
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  if (position <= kMin) return std::numeric_limits<std::int32_t>::min();
  if (position >= kMax) return std::numeric_limits<std::int32_t>::max();
  return static_cast<long>(std::trunc(position));
}

std::uintptr_t StringW(const std::wstring& text) { return reinterpret_cast<std::uintptr_t>(&text); }
std::intptr_t StringL(const std::wstring& text) { return reinterpret_cast<std::intptr_t>(&text); }

template <class Object>
std::uintptr_t ObjectW(Object* object) {
  return reinterpret_cast<std::uintptr_t>(object);
}
template <class Object>
std::intptr_t ObjectL(Object* object) {
  return reinterpret_cast<std::intptr_t>(object);
}

}  // namespace

const wchar_t kPlayerApplicationTitle[] = L"Windows Media Player";

void CWMPEventDispatch::Send(PlayerEventMessage message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
  if (window_) window_->Send(message, wParam, lParam);
}

void CWMPEventDispatch::OpenStateChange(long newState) {
  Send(kMsgOpenStateChange, NumberW(newState), 0);
}
void CWMPEventDispatch::StatusChange() { Send(kMsgStatusChange, 0, 0); }
void CWMPEventDispatch::PlayStateChange(long newState) {
  Send(kMsgPlayStateChange, NumberW(newState), 0);
}
void CWMPEventDispatch::AudioLanguageChange(long languageId) {
  Send(kMsgAudioLanguageChange, NumberW(languageId), 0);
}
void CWMPEventDispatch::EndOfStream(long) {}
void CWMPEventDispatch::PositionChange(double oldPosition, double newPosition) {
  Send(kMsgPositionChange, NumberW(Seconds(oldPosition)), NumberL(Seconds(newPosition)));
}
void CWMPEventDispatch::MarkerHit(long marker) { Send(kMsgMarkerHit, NumberW(marker), 0); }
void CWMPEventDispatch::DurationUnitChange(long) {}
void CWMPEventDispatch::ScriptCommand(const std::wstring& type, const std::wstring& param) {
  Send(kMsgScriptCommand, StringW(type), StringL(param));
}
void CWMPEventDispatch::Disconnect(long) {}
void CWMPEventDispatch::Buffering(bool start) { Send(kMsgBuffering, BoolW(start), 0); }
void CWMPEventDispatch::NewStream() {}
void CWMPEventDispatch::Error() { Send(kMsgError, 0, 0); }
void CWMPEventDispatch::Warning(long, long, const std::wstring&) {}
void CWMPEventDispatch::CdromMediaChange(long cdromIndex) {
  Send(kMsgCdromMediaChange, NumberW(cdromIndex), 0);
}
void CWMPEventDispatch::PlaylistChange(wmp::IPlaylist* playlist, long change) {
  Send(kMsgPlaylistChange, ObjectW(playlist), NumberL(change));
}
void CWMPEventDispatch::MediaChange(wmp::IMedia* item) {
  Send(kMsgMediaChange, ObjectW(item), 0);
}
void CWMPEventDispatch::CurrentMediaItemAvailable(const std::wstring& name) {
  Send(kMsgCurrentMediaItemAvailable, StringW(name), 0);
}
void CWMPEventDispatch::CurrentPlaylistChange(long change) {
  Send(kMsgCurrentPlaylistChange, NumberW(change), 0);
}
void CWMPEventDispatch::CurrentPlaylistItemAvailable(const std::wstring& name) {
  Send(kMsgCurrentPlaylistItemAvailable, StringW(name), 0);
}
void CWMPEventDispatch::CurrentItemChange(wmp::IMedia* item) {
  Send(kMsgCurrentItemChange, ObjectW(item), 0);
}
void CWMPEventDispatch::MediaCollectionChange() { Send(kMsgMediaCollectionChange, 0, 0); }
void CWMPEventDispatch::MediaCollectionAttributeStringAdded(const std::wstring& attribute,
                                                            const std::wstring& value) {
  Send(kMsgMediaCollectionAttributeStringAdded, StringW(attribute), StringL(value));
}
void CWMPEventDispatch::MediaCollectionAttributeStringRemoved(const std::wstring& attribute,
                                                              const std::wstring& value) {
  Send(kMsgMediaCollectionAttributeStringRemoved, StringW(attribute), StringL(value));
}
void CWMPEventDispatch::PlaylistCollectionChange() { Send(kMsgPlaylistCollectionChange, 0, 0); }
void CWMPEventDispatch::PlaylistCollectionPlaylistAdded(const std::wstring& name) {
  Send(kMsgPlaylistCollectionPlaylistAdded, StringW(name), 0);
}
void CWMPEventDispatch::PlaylistCollectionPlaylistRemoved(const std::wstring& name) {
  Send(kMsgPlaylistCollectionPlaylistRemoved, StringW(name), 0);
}
void CWMPEventDispatch::PlaylistCollectionPlaylistSetAsDeleted(const std::wstring&, bool) {}
void CWMPEventDispatch::ModeChange(const std::wstring& mode, bool value) {
  Send(kMsgModeChange, StringW(mode), BoolL(value));
}
void CWMPEventDispatch::MediaCollectionAttributeStringChanged(const std::wstring& attribute,
                                                              const std::wstring& oldValue,
                                                              const std::wstring& newValue) {
  // Lives on this frame: the handler has finished with it when Send returns.
  const std::wstring* const values[2] = {&oldValue, &newValue};
  Send(kMsgMediaCollectionAttributeStringChanged, StringW(attribute),
       reinterpret_cast<std::intptr_t>(values));
}
void CWMPEventDispatch::MediaError(wmp::IMedia* item) { Send(kMsgMediaError, ObjectW(item), 0); }
void CWMPEventDispatch::DomainChange(const std::wstring& domain) {
  Send(kMsgDomainChange, StringW(domain), 0);
}
void CWMPEventDispatch::OpenPlaylistSwitch(wmp::IMedia* item) {
  Send(kMsgOpenPlaylistSwitch, ObjectW(item), 0);
}
void CWMPEventDispatch::SwitchedToPlayerApplication() {
  Send(kMsgSwitchedToPlayerApplication, 0, 0);
}
void CWMPEventDispatch::SwitchedToControl() { Send(kMsgSwitchedToControl, 0, 0); }
void CWMPEventDispatch::PlayerDockedStateChange() { Send(kMsgPlayerDockedStateChange, 0, 0); }
void CWMPEventDispatch::PlayerReconnect() { Send(kMsgPlayerReconnect, 0, 0); }
void CWMPEventDispatch::Click(short, short, long, long) {}
void CWMPEventDispatch::DoubleClick(short, short, long, long) {}
void CWMPEventDispatch::KeyDown(short, short) {}
void CWMPEventDispatch::KeyPress(short) {}
void CWMPEventDispatch::KeyUp(short, short) {}
void CWMPEventDispatch::MouseDown(short, short, long, long) {}
void CWMPEventDispatch::MouseMove(short, short, long, long) {}
void CWMPEventDispatch::MouseUp(short, short, long, long) {}
void CWMPEventDispatch::DeviceConnect(wmp::ISyncDevice* device) {
  Send(kMsgDeviceConnect, ObjectW(device), 0);
}
void CWMPEventDispatch::DeviceDisconnect(wmp::ISyncDevice* device) {
  Send(kMsgDeviceDisconnect, ObjectW(device), 0);
}
void CWMPEventDispatch::DeviceStatusChange(wmp::ISyncDevice* device, long status) {
  Send(kMsgDeviceStatusChange, ObjectW(device), NumberL(status));
}
void CWMPEventDispatch::DeviceSyncStateChange(wmp::ISyncDevice* device, long state) {
  Send(kMsgDeviceSyncStateChange, ObjectW(device), NumberL(state));
}
void CWMPEventDispatch::DeviceSyncError(wmp::ISyncDevice* device, wmp::IMedia* item) {
  Send(kMsgDeviceSyncError, ObjectW(device), ObjectL(item));
}
void CWMPEventDispatch::CreatePartnershipComplete(wmp::ISyncDevice* device,
                                                  wmp::HResult result) {
  Send(kMsgCreatePartnershipComplete, ObjectW(device), NumberL(result));
}

os::WindowRef FindPlayerApplicationWindow(os::ITopWindows& windows) {
  os::WindowRef found = os::kNoWindow;
  windows.Enumerate([&](os::WindowRef window) {
    if (windows.Title(window) != kPlayerApplicationTitle) return true;
    found = window;
    return false;
  });
  return found;
}

}  // namespace engine
