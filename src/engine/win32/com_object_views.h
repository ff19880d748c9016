#pragma once
// The platform control's media items, playlists and sync devices seen
// through the engine object model, so that its events reach the sink with
// the same kind of objects our engine hands out. A view holds one reference
// on the platform object; an empty view (the object lacks the interface)
// fails every call with kPointer and is passed on as null (OrNull). Every
// call counts as a call into the control (control_call.h).
#include <string>
#include <utility>

#include "engine/model/media.h"
#include "engine/model/sync.h"
#include "engine/win32/com_handles.h"
#include "engine/win32/control_call.h"
#include "engine/win32/wmp_interfaces.h"

namespace engine::win32 {

class ComMediaView final : public wmp::IMedia {
 public:
  explicit ComMediaView(ComPtr<IWMPMedia> media) : media_(std::move(media)) {}
  // Asks `object` for its IWMPMedia face.
  explicit ComMediaView(IUnknown* object);

  wmp::IMedia* OrNull() { return media_ ? this : nullptr; }
  IWMPMedia* Com() const { return media_.Get(); }

  wmp::HResult Name(std::wstring* name) override;
  wmp::HResult SetName(const std::wstring& name) override;
  wmp::HResult SourceUrl(std::wstring* url) override;
  wmp::HResult Duration(double* seconds) override;
  wmp::HResult DurationString(std::wstring* text) override;
  // "Status" as our engine words it (rip_status_text.h).
  wmp::HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override;
  wmp::HResult SetItemInfo(const std::wstring& attribute, const std::wstring& value) override;
  // Only another view can stand for the same platform item.
  wmp::HResult IsIdentical(wmp::IMedia* other, bool* identical) override;

 private:
  ControlPtr<IWMPMedia> media_;
};

class ComPlaylistView final : public wmp::IPlaylist {
 public:
  explicit ComPlaylistView(ComPtr<IWMPPlaylist> playlist) : playlist_(std::move(playlist)) {}
  explicit ComPlaylistView(IUnknown* object);

  wmp::IPlaylist* OrNull() { return playlist_ ? this : nullptr; }
  IWMPPlaylist* Com() const { return playlist_.Get(); }

  wmp::HResult Count(long* count) override;
  // A new view of the item, which keeps its own reference.
  wmp::HResult Item(long index, wmp::MediaPtr* item) override;
  wmp::HResult Name(std::wstring* name) override;
  wmp::HResult SetName(const std::wstring& name) override;
  wmp::HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override;
  wmp::HResult SetItemInfo(const std::wstring& attribute, const std::wstring& value) override;
  // Items must be views of platform items; kInvalidArg otherwise.
  wmp::HResult AppendItem(wmp::IMedia* item) override;
  wmp::HResult RemoveItem(wmp::IMedia* item) override;
  wmp::HResult MoveItem(long oldIndex, long newIndex) override;
  wmp::HResult IsIdentical(wmp::IPlaylist* other, bool* identical) override;

 private:
  ControlPtr<IWMPPlaylist> playlist_;
};

class ComSyncDeviceView final : public wmp::ISyncDevice {
 public:
  explicit ComSyncDeviceView(ComPtr<IWMPSyncDevice> device) : device_(std::move(device)) {}
  explicit ComSyncDeviceView(IUnknown* object);

  wmp::ISyncDevice* OrNull() { return device_ ? this : nullptr; }
  IWMPSyncDevice* Com() const { return device_.Get(); }

  wmp::HResult FriendlyName(std::wstring* name) override;
  wmp::HResult DeviceName(std::wstring* name) override;
  wmp::HResult DeviceId(std::wstring* id) override;
  wmp::HResult PartnershipIndex(long* index) override;
  wmp::HResult Connected(bool* connected) override;
  wmp::HResult Status(long* status) override;
  wmp::HResult SyncState(long* state) override;
  wmp::HResult Progress(long* percent) override;
  wmp::HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) override;
  // Without the platform's partnership dialog.
  wmp::HResult CreatePartnership() override;
  wmp::HResult DeletePartnership() override;
  wmp::HResult Start() override;
  wmp::HResult Stop() override;
  wmp::HResult IsIdentical(wmp::ISyncDevice* other, bool* identical) override;

 private:
  ControlPtr<IWMPSyncDevice> device_;
};

}  // namespace engine::win32
