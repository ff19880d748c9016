#include "engine/win32/com_player.h"

#include <olectl.h>

#include <new>
#include <utility>

#include "engine/win32/com_calls.h"
#include "engine/win32/com_cdrom.h"
#include "engine/win32/com_event_relay.h"
#include "engine/win32/com_event_sink.h"
#include "engine/win32/com_library.h"
#include "engine/win32/com_object_views.h"
#include "engine/win32/com_sync_services.h"

namespace engine::win32 {

wmp::HResult ComControls::Stop() { return controls_ ? controls_->stop() : wmp::kPointer; }

wmp::HResult ComPlayerServices::SetTaskPane(const std::wstring& task) {
  if (!services_) return wmp::kPointer;
  return WithText(task, [&](BSTR text) { return services_->setTaskPane(text); });
}

ComPlayer::~ComPlayer() {
  while (!connections_.empty()) Unadvise(connections_.begin()->first);
}

wmp::HResult ComPlayer::VersionInfo(std::wstring* version) {
  if (!player_) return wmp::kPointer;
  return ReadText([&](BSTR* out) { return player_->get_versionInfo(out); }, version);
}

wmp::HResult ComPlayer::Controls(wmp::ControlsPtr* controls) {
  if (!player_ || !controls) return wmp::kPointer;
  ComPtr<IWMPControls> found;
  const HRESULT hr = player_->get_controls(found.Receive());
  return HandOut<ComControls>(hr, std::move(found), controls);
}

wmp::HResult ComPlayer::Services(wmp::PlayerServicesPtr* services) {
  if (!player_ || !services) return wmp::kPointer;
  ComPtr<IWMPPlayerServices> found;
  const HRESULT hr = player_->QueryInterface(__uuidof(IWMPPlayerServices),
                                             reinterpret_cast<void**>(found.Receive()));
  return HandOut<ComPlayerServices>(hr, std::move(found), services);
}

wmp::HResult ComPlayer::MediaCollection(wmp::MediaCollectionPtr* collection) {
  if (!player_ || !collection) return wmp::kPointer;
  ComPtr<IWMPMediaCollection> found;
  const HRESULT hr = player_->get_mediaCollection(found.Receive());
  return HandOut<ComMediaCollection>(hr, std::move(found), collection);
}

wmp::HResult ComPlayer::PlaylistCollection(wmp::PlaylistCollectionPtr* collection) {
  if (!player_ || !collection) return wmp::kPointer;
  ComPtr<IWMPPlaylistCollection> found;
  const HRESULT hr = player_->get_playlistCollection(found.Receive());
  return HandOut<ComPlaylistCollection>(hr, std::move(found), collection);
}

wmp::HResult ComPlayer::CdromCollection(wmp::CdromCollectionPtr* collection) {
  if (!player_ || !collection) return wmp::kPointer;
  ComPtr<IWMPCdromCollection> found;
  const HRESULT hr = player_->get_cdromCollection(found.Receive());
  return HandOut<ComCdromCollection>(hr, std::move(found), collection);
}

wmp::HResult ComPlayer::SyncServices(wmp::SyncServicesPtr* services) {
  if (!player_ || !services) return wmp::kPointer;
  ComPtr<IWMPSyncServices> found;
  const HRESULT hr = player_->QueryInterface(__uuidof(IWMPSyncServices),
                                             reinterpret_cast<void**>(found.Receive()));
  return HandOut<ComSyncServices>(hr, std::move(found), services);
}

wmp::HResult ComPlayer::NewMedia(const std::wstring& url, wmp::MediaPtr* item) {
  if (!player_ || !item) return wmp::kPointer;
  return WithText(url, [&](BSTR text) {
    ComPtr<IWMPMedia> media;
    const HRESULT hr = player_->newMedia(text, media.Receive());
    return HandOut<ComMediaView>(hr, std::move(media), item);
  });
}

wmp::HResult ComPlayer::Close() {
  if (!player_) return wmp::kPointer;
  // Our engine raises nothing once it is closed; neither does this one.
  for (auto& connection : connections_) connection.second.relay->Stop();
  return player_->close();
}

wmp::HResult ComPlayer::Advise(wmp::PlayerEventsPtr sink, std::uint32_t* cookie) {
  if (!player_ || !sink || !cookie) return wmp::kPointer;
  const ControlPtr<IConnectionPointContainer> container =
      player_.Query<IConnectionPointContainer>();
  if (!container) return E_NOINTERFACE;
  ComPtr<IConnectionPoint> point;
  HRESULT hr = container->FindConnectionPoint(__uuidof(IWMPEvents2), point.Receive());
  if (FAILED(hr) || !point) {
    hr = container->FindConnectionPoint(__uuidof(_WMPOCXEvents), point.Receive());
  }
  if (FAILED(hr)) return hr;
  if (!point) return wmp::kFail;

  std::shared_ptr<ComEventRelay> relay = ComEventRelay::Create(std::move(sink));
  if (!relay) return wmp::kOutOfMemory;
  const ComPtr<ComEventSink> comSink = ComEventSink::Create(relay);
  if (!comSink) return wmp::kOutOfMemory;
  Connection connection{std::move(point), relay};
  DWORD advised = 0;
  hr = connection.point->Advise(comSink.Get()->Identity(), &advised);
  if (FAILED(hr)) {
    relay->Stop();
    return hr;
  }
  try {
    connections_.emplace(advised, std::move(connection));
  } catch (const std::bad_alloc&) {
    relay->Stop();
    return wmp::kOutOfMemory;
  }
  *cookie = advised;
  return hr;
}

wmp::HResult ComPlayer::Unadvise(std::uint32_t cookie) {
  const auto found = connections_.find(cookie);
  if (found == connections_.end()) return CONNECT_E_NOCONNECTION;
  Connection connection = std::move(found->second);
  connections_.erase(found);
  connection.relay->Stop();
  return connection.point->Unadvise(cookie);
}

}  // namespace engine::win32
