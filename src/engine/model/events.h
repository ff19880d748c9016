#pragma once
// Every event the engine raises, with its arguments. The engine calls a
// sink on the thread that created the player, one event at a time; string
// and object arguments are valid only during the call.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/model/media.h"
#include "engine/model/sync.h"

namespace wmp {

class IPlayerEvents {
 public:
  virtual ~IPlayerEvents() = default;
  virtual void OpenStateChange(long newState) = 0;
  virtual void StatusChange() = 0;
  virtual void PlayStateChange(long newState) = 0;
  virtual void AudioLanguageChange(long languageId) = 0;
  virtual void EndOfStream(long result) = 0;
  virtual void PositionChange(double oldPosition, double newPosition) = 0;
  virtual void MarkerHit(long marker) = 0;
  virtual void DurationUnitChange(long unit) = 0;
  virtual void ScriptCommand(const std::wstring& type, const std::wstring& param) = 0;
  virtual void Disconnect(long result) = 0;
  virtual void Buffering(bool start) = 0;
  virtual void NewStream() = 0;
  virtual void Error() = 0;
  virtual void Warning(long type, long param, const std::wstring& text) = 0;
  virtual void CdromMediaChange(long cdromIndex) = 0;
  virtual void PlaylistChange(IPlaylist* playlist, long change) = 0;
  virtual void MediaChange(IMedia* item) = 0;
  virtual void CurrentMediaItemAvailable(const std::wstring& name) = 0;
  virtual void CurrentPlaylistChange(long change) = 0;
  virtual void CurrentPlaylistItemAvailable(const std::wstring& name) = 0;
  virtual void CurrentItemChange(IMedia* item) = 0;
  virtual void MediaCollectionChange() = 0;
  virtual void MediaCollectionAttributeStringAdded(const std::wstring& attribute,
                                                   const std::wstring& value) = 0;
  virtual void MediaCollectionAttributeStringRemoved(const std::wstring& attribute,
                                                     const std::wstring& value) = 0;
  virtual void PlaylistCollectionChange() = 0;
  virtual void PlaylistCollectionPlaylistAdded(const std::wstring& name) = 0;
  virtual void PlaylistCollectionPlaylistRemoved(const std::wstring& name) = 0;
  virtual void PlaylistCollectionPlaylistSetAsDeleted(const std::wstring& name,
                                                      bool deleted) = 0;
  virtual void ModeChange(const std::wstring& mode, bool value) = 0;
  virtual void MediaCollectionAttributeStringChanged(const std::wstring& attribute,
                                                     const std::wstring& oldValue,
                                                     const std::wstring& newValue) = 0;
  virtual void MediaError(IMedia* item) = 0;
  virtual void DomainChange(const std::wstring& domain) = 0;
  virtual void OpenPlaylistSwitch(IMedia* item) = 0;
  virtual void SwitchedToPlayerApplication() = 0;
  virtual void SwitchedToControl() = 0;
  virtual void PlayerDockedStateChange() = 0;
  virtual void PlayerReconnect() = 0;
  virtual void Click(short button, short shift, long x, long y) = 0;
  virtual void DoubleClick(short button, short shift, long x, long y) = 0;
  virtual void KeyDown(short key, short shift) = 0;
  virtual void KeyPress(short key) = 0;
  virtual void KeyUp(short key, short shift) = 0;
  virtual void MouseDown(short button, short shift, long x, long y) = 0;
  virtual void MouseMove(short button, short shift, long x, long y) = 0;
  virtual void MouseUp(short button, short shift, long x, long y) = 0;
  virtual void DeviceConnect(ISyncDevice* device) = 0;
  virtual void DeviceDisconnect(ISyncDevice* device) = 0;
  virtual void DeviceStatusChange(ISyncDevice* device, long status) = 0;
  virtual void DeviceSyncStateChange(ISyncDevice* device, long state) = 0;
  virtual void DeviceSyncError(ISyncDevice* device, IMedia* item) = 0;
  virtual void CreatePartnershipComplete(ISyncDevice* device, HResult result) = 0;
};
using PlayerEventsPtr = std::shared_ptr<IPlayerEvents>;

// A sink that ignores every event; derive and override what you need.
class PlayerEventsBase : public IPlayerEvents {
 public:
  void OpenStateChange(long) override {}
  void StatusChange() override {}
  void PlayStateChange(long) override {}
  void AudioLanguageChange(long) override {}
  void EndOfStream(long) override {}
  void PositionChange(double, double) override {}
  void MarkerHit(long) override {}
  void DurationUnitChange(long) override {}
  void ScriptCommand(const std::wstring&, const std::wstring&) override {}
  void Disconnect(long) override {}
  void Buffering(bool) override {}
  void NewStream() override {}
  void Error() override {}
  void Warning(long, long, const std::wstring&) override {}
  void CdromMediaChange(long) override {}
  void PlaylistChange(IPlaylist*, long) override {}
  void MediaChange(IMedia*) override {}
  void CurrentMediaItemAvailable(const std::wstring&) override {}
  void CurrentPlaylistChange(long) override {}
  void CurrentPlaylistItemAvailable(const std::wstring&) override {}
  void CurrentItemChange(IMedia*) override {}
  void MediaCollectionChange() override {}
  void MediaCollectionAttributeStringAdded(const std::wstring&, const std::wstring&) override {}
  void MediaCollectionAttributeStringRemoved(const std::wstring&, const std::wstring&) override {}
  void PlaylistCollectionChange() override {}
  void PlaylistCollectionPlaylistAdded(const std::wstring&) override {}
  void PlaylistCollectionPlaylistRemoved(const std::wstring&) override {}
  void PlaylistCollectionPlaylistSetAsDeleted(const std::wstring&, bool) override {}
  void ModeChange(const std::wstring&, bool) override {}
  void MediaCollectionAttributeStringChanged(const std::wstring&, const std::wstring&,
                                             const std::wstring&) override {}
  void MediaError(IMedia*) override {}
  void DomainChange(const std::wstring&) override {}
  void OpenPlaylistSwitch(IMedia*) override {}
  void SwitchedToPlayerApplication() override {}
  void SwitchedToControl() override {}
  void PlayerDockedStateChange() override {}
  void PlayerReconnect() override {}
  void Click(short, short, long, long) override {}
  void DoubleClick(short, short, long, long) override {}
  void KeyDown(short, short) override {}
  void KeyPress(short) override {}
  void KeyUp(short, short) override {}
  void MouseDown(short, short, long, long) override {}
  void MouseMove(short, short, long, long) override {}
  void MouseUp(short, short, long, long) override {}
  void DeviceConnect(ISyncDevice*) override {}
  void DeviceDisconnect(ISyncDevice*) override {}
  void DeviceStatusChange(ISyncDevice*, long) override {}
  void DeviceSyncStateChange(ISyncDevice*, long) override {}
  void DeviceSyncError(ISyncDevice*, IMedia*) override {}
  void CreatePartnershipComplete(ISyncDevice*, HResult) override {}
};

}  // namespace wmp
