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

  void OpenStateChange(long newState) override;
  void StatusChange() override;
  void PlayStateChange(long newState) override;
  void AudioLanguageChange(long languageId) override;
  void EndOfStream(long result) override;
  void PositionChange(double oldPosition, double newPosition) override;
  void MarkerHit(long marker) override;
  void DurationUnitChange(long unit) override;
  void ScriptCommand(const std::wstring& type, const std::wstring& param) override;
  void Disconnect(long result) override;
  void Buffering(bool start) override;
  void NewStream() override;
  void Error() override;
  void Warning(long type, long param, const std::wstring& text) override;
  void CdromMediaChange(long cdromIndex) override;
  void PlaylistChange(wmp::IPlaylist* playlist, long change) override;
  void MediaChange(wmp::IMedia* item) override;
  void CurrentMediaItemAvailable(const std::wstring& name) override;
  void CurrentPlaylistChange(long change) override;
  void CurrentPlaylistItemAvailable(const std::wstring& name) override;
  void CurrentItemChange(wmp::IMedia* item) override;
  void MediaCollectionChange() override;
  void MediaCollectionAttributeStringAdded(const std::wstring& attribute,
                                           const std::wstring& value) override;
  void MediaCollectionAttributeStringRemoved(const std::wstring& attribute,
                                             const std::wstring& value) override;
  void PlaylistCollectionChange() override;
  void PlaylistCollectionPlaylistAdded(const std::wstring& name) override;
  void PlaylistCollectionPlaylistRemoved(const std::wstring& name) override;
  void PlaylistCollectionPlaylistSetAsDeleted(const std::wstring& name, bool deleted) override;
  void ModeChange(const std::wstring& mode, bool value) override;
  void MediaCollectionAttributeStringChanged(const std::wstring& attribute,
                                             const std::wstring& oldValue,
                                             const std::wstring& newValue) override;
  void MediaError(wmp::IMedia* item) override;
  void DomainChange(const std::wstring& domain) override;
  void OpenPlaylistSwitch(wmp::IMedia* item) override;
  void SwitchedToPlayerApplication() override;
  void SwitchedToControl() override;
  void PlayerDockedStateChange() override;
  void PlayerReconnect() override;
  void Click(short button, short shift, long x, long y) override;
  void DoubleClick(short button, short shift, long x, long y) override;
  void KeyDown(short key, short shift) override;
  void KeyPress(short key) override;
  void KeyUp(short key, short shift) override;
  void MouseDown(short button, short shift, long x, long y) override;
  void MouseMove(short button, short shift, long x, long y) override;
  void MouseUp(short button, short shift, long x, long y) override;
  void DeviceConnect(wmp::ISyncDevice* device) override;
  void DeviceDisconnect(wmp::ISyncDevice* device) override;
  void DeviceStatusChange(wmp::ISyncDevice* device, long status) override;
  void DeviceSyncStateChange(wmp::ISyncDevice* device, long state) override;
  void DeviceSyncError(wmp::ISyncDevice* device, wmp::IMedia* item) override;
  void CreatePartnershipComplete(wmp::ISyncDevice* device, wmp::HResult result) override;

 private:
  using Event = std::function<void(wmp::IPlayerEvents&)>;

  explicit ComEventRelay(wmp::PlayerEventsPtr sink) : sink_(std::move(sink)) {}
  bool OpenWindow();
  // Delivers the event `make` builds now, or holds it; nothing thrown
  // leaves (an event that cannot be built is dropped).
  template <class Make>
  void Relay(Make make) noexcept;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  wmp::PlayerEventsPtr sink_;
  std::deque<Event> held_;
  HWND window_ = nullptr;
  bool wakeUpPosted_ = false;
};

}  // namespace engine::win32
