#include "engine/win32/com_object_views.h"

#include <memory>
#include <new>

#include "engine/model/attribute_names.h"
#include "engine/win32/com_calls.h"
#include "engine/win32/rip_status_text.h"

namespace engine::win32 {
namespace {

template <class Com, class Value, class Call>
wmp::HResult ReadValue(const ControlPtr<Com>& object, Value* out, Call call) {
  if (!object) return wmp::kPointer;
  if (!out) return wmp::kPointer;
  return call(out);
}

}  // namespace

// --- media item -----------------------------------------------------------

ComMediaView::ComMediaView(IUnknown* object)
    : media_(ComPtr<IUnknown>::Share(object).Query<IWMPMedia>()) {}

wmp::HResult ComMediaView::Name(std::wstring* name) {
  if (!media_) return wmp::kPointer;
  return ReadText([&](BSTR* text) { return media_->get_name(text); }, name);
}

wmp::HResult ComMediaView::SetName(const std::wstring& name) {
  if (!media_) return wmp::kPointer;
  return WithText(name, [&](BSTR text) { return media_->put_name(text); });
}

wmp::HResult ComMediaView::SourceUrl(std::wstring* url) {
  if (!media_) return wmp::kPointer;
  return ReadText([&](BSTR* text) { return media_->get_sourceURL(text); }, url);
}

wmp::HResult ComMediaView::Duration(double* seconds) {
  return ReadValue(media_, seconds, [&](double* out) { return media_->get_duration(out); });
}

wmp::HResult ComMediaView::DurationString(std::wstring* text) {
  if (!media_) return wmp::kPointer;
  return ReadText([&](BSTR* out) { return media_->get_durationString(out); }, text);
}

wmp::HResult ComMediaView::GetItemInfo(const std::wstring& attribute, std::wstring* value) {
  if (!media_) return wmp::kPointer;
  const wmp::HResult hr = WithText(attribute, [&](BSTR name) {
    return ReadText([&](BSTR* out) { return media_->getItemInfo(name, out); }, value);
  });
  if (wmp::Failed(hr) || attribute != wmp::attr::kStatus) return hr;
  try {
    *value = NormalizeRipStatus(*value);
  } catch (const std::bad_alloc&) {
    return wmp::kOutOfMemory;
  }
  return hr;
}

wmp::HResult ComMediaView::SetItemInfo(const std::wstring& attribute, const std::wstring& value) {
  if (!media_) return wmp::kPointer;
  return WithText(attribute, [&](BSTR name) {
    return WithText(value, [&](BSTR text) { return media_->setItemInfo(name, text); });
  });
}

wmp::HResult ComMediaView::IsIdentical(wmp::IMedia* other, bool* identical) {
  if (!media_ || !other || !identical) return wmp::kPointer;
  IWMPMedia* const otherMedia = ComFaceOf<ComMediaView>(other);
  if (!otherMedia) {
    *identical = false;
    return wmp::kOk;
  }
  VARIANT_BOOL same = VARIANT_FALSE;
  const HRESULT hr = media_->get_isIdentical(otherMedia, &same);
  if (SUCCEEDED(hr)) *identical = same != VARIANT_FALSE;
  return hr;
}

// --- playlist -------------------------------------------------------------

ComPlaylistView::ComPlaylistView(IUnknown* object)
    : playlist_(ComPtr<IUnknown>::Share(object).Query<IWMPPlaylist>()) {}

wmp::HResult ComPlaylistView::Count(long* count) {
  return ReadValue(playlist_, count, [&](long* out) { return playlist_->get_count(out); });
}

wmp::HResult ComPlaylistView::Item(long index, wmp::MediaPtr* item) {
  if (!playlist_ || !item) return wmp::kPointer;
  ComPtr<IWMPMedia> media;
  const HRESULT hr = playlist_->get_Item(index, media.Receive());
  return HandOut<ComMediaView>(hr, std::move(media), item);
}

wmp::HResult ComPlaylistView::Name(std::wstring* name) {
  if (!playlist_) return wmp::kPointer;
  return ReadText([&](BSTR* text) { return playlist_->get_name(text); }, name);
}

wmp::HResult ComPlaylistView::SetName(const std::wstring& name) {
  if (!playlist_) return wmp::kPointer;
  return WithText(name, [&](BSTR text) { return playlist_->put_name(text); });
}

wmp::HResult ComPlaylistView::GetItemInfo(const std::wstring& attribute, std::wstring* value) {
  if (!playlist_) return wmp::kPointer;
  return WithText(attribute, [&](BSTR name) {
    return ReadText([&](BSTR* out) { return playlist_->getItemInfo(name, out); }, value);
  });
}

wmp::HResult ComPlaylistView::SetItemInfo(const std::wstring& attribute,
                                          const std::wstring& value) {
  if (!playlist_) return wmp::kPointer;
  return WithText(attribute, [&](BSTR name) {
    return WithText(value, [&](BSTR text) { return playlist_->setItemInfo(name, text); });
  });
}

wmp::HResult ComPlaylistView::AppendItem(wmp::IMedia* item) {
  if (!playlist_ || !item) return wmp::kPointer;
  IWMPMedia* const media = ComFaceOf<ComMediaView>(item);
  return media ? playlist_->appendItem(media) : wmp::kInvalidArg;
}

wmp::HResult ComPlaylistView::RemoveItem(wmp::IMedia* item) {
  if (!playlist_ || !item) return wmp::kPointer;
  IWMPMedia* const media = ComFaceOf<ComMediaView>(item);
  return media ? playlist_->removeItem(media) : wmp::kInvalidArg;
}

wmp::HResult ComPlaylistView::MoveItem(long oldIndex, long newIndex) {
  if (!playlist_) return wmp::kPointer;
  return playlist_->moveItem(oldIndex, newIndex);
}

wmp::HResult ComPlaylistView::IsIdentical(wmp::IPlaylist* other, bool* identical) {
  if (!playlist_ || !other || !identical) return wmp::kPointer;
  IWMPPlaylist* const otherPlaylist = ComFaceOf<ComPlaylistView>(other);
  if (!otherPlaylist) {
    *identical = false;
    return wmp::kOk;
  }
  VARIANT_BOOL same = VARIANT_FALSE;
  const HRESULT hr = playlist_->get_isIdentical(otherPlaylist, &same);
  if (SUCCEEDED(hr)) *identical = same != VARIANT_FALSE;
  return hr;
}

// --- sync device ----------------------------------------------------------

ComSyncDeviceView::ComSyncDeviceView(IUnknown* object)
    : device_(ComPtr<IUnknown>::Share(object).Query<IWMPSyncDevice>()) {}

wmp::HResult ComSyncDeviceView::FriendlyName(std::wstring* name) {
  if (!device_) return wmp::kPointer;
  return ReadText([&](BSTR* text) { return device_->get_friendlyName(text); }, name);
}

wmp::HResult ComSyncDeviceView::DeviceName(std::wstring* name) {
  if (!device_) return wmp::kPointer;
  return ReadText([&](BSTR* text) { return device_->get_deviceName(text); }, name);
}

wmp::HResult ComSyncDeviceView::DeviceId(std::wstring* id) {
  if (!device_) return wmp::kPointer;
  return ReadText([&](BSTR* text) { return device_->get_deviceId(text); }, id);
}

wmp::HResult ComSyncDeviceView::PartnershipIndex(long* index) {
  return ReadValue(device_, index, [&](long* out) { return device_->get_partnershipIndex(out); });
}

wmp::HResult ComSyncDeviceView::Connected(bool* connected) {
  return ReadValue(device_, connected, [&](bool* out) {
    VARIANT_BOOL value = VARIANT_FALSE;
    const HRESULT hr = device_->get_connected(&value);
    if (SUCCEEDED(hr)) *out = value != VARIANT_FALSE;
    return hr;
  });
}

wmp::HResult ComSyncDeviceView::Status(long* status) {
  return ReadValue(device_, status, [&](long* out) {
    WMPDeviceStatus value = wmpdsUnknown;
    const HRESULT hr = device_->get_status(&value);
    if (SUCCEEDED(hr)) *out = static_cast<long>(value);
    return hr;
  });
}

wmp::HResult ComSyncDeviceView::SyncState(long* state) {
  return ReadValue(device_, state, [&](long* out) {
    WMPSyncState value = wmpssUnknown;
    const HRESULT hr = device_->get_syncState(&value);
    if (SUCCEEDED(hr)) *out = static_cast<long>(value);
    return hr;
  });
}

wmp::HResult ComSyncDeviceView::Progress(long* percent) {
  return ReadValue(device_, percent, [&](long* out) { return device_->get_progress(out); });
}

wmp::HResult ComSyncDeviceView::GetItemInfo(const std::wstring& attribute, std::wstring* value) {
  if (!device_) return wmp::kPointer;
  return WithText(attribute, [&](BSTR name) {
    return ReadText([&](BSTR* out) { return device_->getItemInfo(name, out); }, value);
  });
}

wmp::HResult ComSyncDeviceView::CreatePartnership() {
  return device_ ? device_->createPartnership(VARIANT_FALSE) : wmp::kPointer;
}

wmp::HResult ComSyncDeviceView::DeletePartnership() {
  return device_ ? device_->deletePartnership() : wmp::kPointer;
}

wmp::HResult ComSyncDeviceView::Start() { return device_ ? device_->start() : wmp::kPointer; }

wmp::HResult ComSyncDeviceView::Stop() { return device_ ? device_->stop() : wmp::kPointer; }

wmp::HResult ComSyncDeviceView::IsIdentical(wmp::ISyncDevice* other, bool* identical) {
  if (!device_ || !other || !identical) return wmp::kPointer;
  IWMPSyncDevice* const otherDevice = ComFaceOf<ComSyncDeviceView>(other);
  if (!otherDevice) {
    *identical = false;
    return wmp::kOk;
  }
  VARIANT_BOOL same = VARIANT_FALSE;
  const HRESULT hr = device_->isIdentical(otherDevice, &same);
  if (SUCCEEDED(hr)) *identical = same != VARIANT_FALSE;
  return hr;
}

}  // namespace engine::win32
