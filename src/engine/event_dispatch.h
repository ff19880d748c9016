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
  void Send(PlayerEventMessage message, std::uintptr_t wParam, std::intptr_t lParam);

  IMessageTarget* window_ = nullptr;
};

// The title of the player application's main window.
extern const wchar_t kPlayerApplicationTitle[];

// The first top-level window, in system order, whose whole title is exactly
// (case-sensitively) the player application's; kNoWindow if there is none.
os::WindowRef FindPlayerApplicationWindow(os::ITopWindows& windows);

}  // namespace engine
