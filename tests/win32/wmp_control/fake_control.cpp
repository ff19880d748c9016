#include "fake_control.h"

#include <algorithm>

namespace fake {

int g_live = 0;

HRESULT Give(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = Bstr::FromString(text).Detach();
  return S_OK;
}

namespace {

std::wstring Text(BSTR text) { return Bstr::ToString(text); }

Media* AsMedia(IWMPMedia* item) { return dynamic_cast<Media*>(item); }

template <class T, class I>
HRESULT Hand(T* object, I** out) {
  if (!out) return E_POINTER;
  *out = object;
  if (object) object->AddRef();
  return S_OK;
}

ComPtr<Playlist> Query(const std::vector<ComPtr<Media>>& library, const std::wstring& name,
                       bool (*match)(Media&, const std::wstring&, const std::wstring&),
                       const std::wstring& attribute, const std::wstring& value) {
  ComPtr<Playlist> found = Make<Playlist>(name);
  for (const auto& item : library) {
    if (match(*item.Get(), attribute, value)) found->Add(item.Get());
  }
  return found;
}

bool ByAttribute(Media& item, const std::wstring& attribute, const std::wstring& value) {
  const auto it = item.info.find(attribute);
  return it != item.info.end() && it->second == value;
}

bool ByName(Media& item, const std::wstring&, const std::wstring& value) {
  return item.name == value;
}

}  // namespace

// --- media and playlists ---------------------------------------------------

HRESULT Media::get_isIdentical(IWMPMedia* other, VARIANT_BOOL* same) {
  if (!same) return E_POINTER;
  *same = AsMedia(other) == this ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Media::put_name(BSTR value) {
  name = Text(value);
  return S_OK;
}

HRESULT Media::get_duration(double* seconds) {
  if (!seconds) return E_POINTER;
  *seconds = 215.0;
  return S_OK;
}

HRESULT Media::getItemInfo(BSTR attribute, BSTR* value) {
  const auto it = info.find(Text(attribute));
  return Give(it == info.end() ? std::wstring() : it->second, value);
}

HRESULT Media::setItemInfo(BSTR attribute, BSTR value) {
  const std::wstring name_ = Text(attribute);
  if (std::find(readOnly.begin(), readOnly.end(), name_) != readOnly.end()) return E_ACCESSDENIED;
  info[name_] = Text(value);
  return S_OK;
}

HRESULT Playlist::get_count(LONG* count) {
  if (!count) return E_POINTER;
  *count = static_cast<LONG>(items.size());
  return S_OK;
}

HRESULT Playlist::put_name(BSTR value) {
  name = Text(value);
  return S_OK;
}

HRESULT Playlist::get_Item(LONG index, IWMPMedia** item) {
  if (index < 0 || index >= static_cast<LONG>(items.size())) return E_INVALIDARG;
  return Hand(items[static_cast<size_t>(index)].Get(), item);
}

HRESULT Playlist::getItemInfo(BSTR attribute, BSTR* value) {
  const auto it = info.find(Text(attribute));
  return Give(it == info.end() ? std::wstring() : it->second, value);
}

HRESULT Playlist::setItemInfo(BSTR attribute, BSTR value) {
  info[Text(attribute)] = Text(value);
  return S_OK;
}

HRESULT Playlist::get_isIdentical(IWMPPlaylist* other, VARIANT_BOOL* same) {
  if (!same) return E_POINTER;
  *same = dynamic_cast<Playlist*>(other) == this ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Playlist::appendItem(IWMPMedia* item) {
  Media* media = AsMedia(item);
  if (!media) return E_INVALIDARG;
  Add(media);
  return S_OK;
}

HRESULT Playlist::removeItem(IWMPMedia* item) {
  Media* media = AsMedia(item);
  const auto it = std::find_if(items.begin(), items.end(),
                               [&](const ComPtr<Media>& m) { return m.Get() == media; });
  if (it == items.end()) return E_INVALIDARG;
  items.erase(it);
  return S_OK;
}

HRESULT Playlist::moveItem(LONG from, LONG to) {
  const LONG count = static_cast<LONG>(items.size());
  if (from < 0 || from >= count || to < 0 || to >= count) return E_INVALIDARG;
  ComPtr<Media> moved = std::move(items[static_cast<size_t>(from)]);
  items.erase(items.begin() + from);
  items.insert(items.begin() + to, std::move(moved));
  return S_OK;
}

HRESULT PlaylistArray::get_count(LONG* count) {
  if (!count) return E_POINTER;
  *count = static_cast<LONG>(playlists.size());
  return S_OK;
}

HRESULT PlaylistArray::Item(LONG index, IWMPPlaylist** playlist) {
  if (index < 0 || index >= static_cast<LONG>(playlists.size())) return E_INVALIDARG;
  return Hand(playlists[static_cast<size_t>(index)].Get(), playlist);
}

// --- library ---------------------------------------------------------------

HRESULT MediaCollection::add(BSTR url, IWMPMedia** item) {
  const std::wstring path = Text(url);
  for (const auto& existing : player_.library) {
    if (existing->source == path) return Hand(existing.Get(), item);
  }
  const size_t slash = path.find_last_of(L'\\');
  return Hand(player_.AddItem(slash == std::wstring::npos ? path : path.substr(slash + 1), path,
                              {{L"MediaType", L"audio"}}),
              item);
}

HRESULT MediaCollection::getAll(IWMPPlaylist** items) {
  ComPtr<Playlist> all = Make<Playlist>(L"All");
  for (const auto& item : player_.library) all->Add(item.Get());
  return Hand(all.Get(), items);
}

HRESULT MediaCollection::getByName(BSTR name, IWMPPlaylist** items) {
  return Hand(Query(player_.library, Text(name), ByName, L"", Text(name)).Get(), items);
}

HRESULT MediaCollection::getByAlbum(BSTR album, IWMPPlaylist** items) {
  return Hand(Query(player_.library, Text(album), ByAttribute, L"WM/AlbumTitle", Text(album)).Get(),
              items);
}

HRESULT MediaCollection::getByAttribute(BSTR attribute, BSTR value, IWMPPlaylist** items) {
  return Hand(Query(player_.library, Text(value), ByAttribute, Text(attribute), Text(value)).Get(),
              items);
}

HRESULT MediaCollection::remove(IWMPMedia* item, VARIANT_BOOL deleteFile) {
  Media* media = AsMedia(item);
  auto& library = player_.library;
  const auto it = std::find_if(library.begin(), library.end(),
                               [&](const ComPtr<Media>& m) { return m.Get() == media; });
  if (it == library.end()) return E_INVALIDARG;
  player_.removals.emplace_back(media->name, deleteFile != VARIANT_FALSE);
  library.erase(it);
  return S_OK;
}

HRESULT PlaylistCollection::newPlaylist(BSTR name, IWMPPlaylist** playlist) {
  const std::wstring title = Text(name);
  ComPtr<Playlist> created = Make<Playlist>(title);
  player_.playlists.push_back(ComPtr<Playlist>::Share(created.Get()));
  // The library shows a saved playlist as an item of its own.
  player_.AddItem(title, L"C:\\Users\\me\\Music\\Playlists\\" + title + L".wpl",
                  {{L"MediaType", L"playlist"}});
  player_.RaisePlaylistCollectionChange();
  return Hand(created.Get(), playlist);
}

HRESULT PlaylistCollection::getAll(IWMPPlaylistArray** playlists) {
  ComPtr<PlaylistArray> all = Make<PlaylistArray>();
  for (const auto& p : player_.playlists) all->playlists.push_back(ComPtr<Playlist>::Share(p.Get()));
  return Hand(all.Get(), playlists);
}

HRESULT PlaylistCollection::getByName(BSTR name, IWMPPlaylistArray** playlists) {
  ComPtr<PlaylistArray> found = Make<PlaylistArray>();
  for (const auto& p : player_.playlists) {
    if (p->name == Text(name)) found->playlists.push_back(ComPtr<Playlist>::Share(p.Get()));
  }
  return Hand(found.Get(), playlists);
}

HRESULT PlaylistCollection::remove(IWMPPlaylist* playlist) {
  auto* fake = dynamic_cast<Playlist*>(playlist);
  auto& all = player_.playlists;
  const auto it = std::find_if(all.begin(), all.end(),
                               [&](const ComPtr<Playlist>& p) { return p.Get() == fake; });
  if (it == all.end()) return E_INVALIDARG;
  const std::wstring name = fake->name;
  all.erase(it);
  auto& library = player_.library;
  library.erase(std::remove_if(library.begin(), library.end(),
                               [&](const ComPtr<Media>& m) {
                                 return m->name == name && m->info[L"MediaType"] == L"playlist";
                               }),
                library.end());
  return S_OK;
}

// --- CD drive --------------------------------------------------------------

void* Cdrom::Face(REFIID iid) {
  if (IsEqualIID(iid, __uuidof(IWMPCdromRip))) {
    return ripFace ? static_cast<IWMPCdromRip*>(this) : nullptr;
  }
  return Fake::Face(iid);
}

HRESULT Cdrom::get_Playlist(IWMPPlaylist** playlist) { return Hand(disc.Get(), playlist); }

HRESULT Cdrom::eject() {
  ++ejects;
  return S_OK;
}

HRESULT Cdrom::get_ripState(WMPRipState* state) {
  if (!state) return E_POINTER;
  *state = ripState;
  return S_OK;
}

HRESULT Cdrom::get_ripProgress(LONG* progress) {
  if (!progress) return E_POINTER;
  *progress = ripProgress;
  return S_OK;
}

HRESULT Cdrom::startRip() {
  if (!disc || disc->items.empty()) return E_FAIL;
  ripState = wmprsRipping;
  for (auto& track : disc->items) track->info[L"Status"] = L"保留中";
  Media* first = disc->items.front().Get();
  first->info[L"Status"] = L"取り込み中 (０％)";
  player_.RaiseMediaChange(first);
  return S_OK;
}

HRESULT Cdrom::stopRip() {
  ripState = wmprsStopped;
  return S_OK;
}

HRESULT CdromCollection::get_count(LONG* count) {
  if (!count) return E_POINTER;
  *count = static_cast<LONG>(drives.size());
  return S_OK;
}

HRESULT CdromCollection::Item(LONG index, IWMPCdrom** drive) {
  if (index < 0 || index >= static_cast<LONG>(drives.size())) return E_INVALIDARG;
  return Hand(static_cast<IWMPCdrom*>(drives[static_cast<size_t>(index)].Get()), drive);
}

// --- players ---------------------------------------------------------------

HRESULT SyncDevice::get_partnershipIndex(LONG* index) {
  if (!index) return E_POINTER;
  *index = partnership;
  return S_OK;
}

HRESULT SyncDevice::get_connected(VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = connected ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT SyncDevice::get_status(WMPDeviceStatus* value) {
  if (!value) return E_POINTER;
  *value = status;
  return S_OK;
}

HRESULT SyncDevice::get_syncState(WMPSyncState* state) {
  if (!state) return E_POINTER;
  *state = syncState;
  return S_OK;
}

HRESULT SyncDevice::get_progress(LONG* percent) {
  if (!percent) return E_POINTER;
  *percent = progress;
  return S_OK;
}

HRESULT SyncDevice::getItemInfo(BSTR attribute, BSTR* value) {
  const auto it = info.find(Text(attribute));
  return Give(it == info.end() ? std::wstring() : it->second, value);
}

HRESULT SyncDevice::createPartnership(VARIANT_BOOL showUi) {
  if (showUi != VARIANT_FALSE) ++partnershipUiRequests;
  partnership = 3;
  status = wmpdsPartnershipExists;
  player_.RaiseCreatePartnershipComplete(this, S_OK);
  if (player_.pumpInsideCalls) {
    const DWORD end = GetTickCount() + 200;
    MSG message;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      Sleep(5);
    }
  }
  return S_OK;
}

HRESULT SyncDevice::deletePartnership() {
  ++deletions;
  if (failDeletions > 0) {
    --failDeletions;
    return E_FAIL;
  }
  partnership = 0;
  status = wmpdsNewDevice;
  return S_OK;
}

HRESULT SyncDevice::start() {
  if (partnership <= 0) return E_FAIL;
  syncState = wmpssSynchronizing;
  progress = 0;
  player_.RaiseDeviceSyncStateChange(this, wmpssSynchronizing);
  return S_OK;
}

HRESULT SyncDevice::stop() {
  syncState = wmpssStopped;
  player_.RaiseDeviceSyncStateChange(this, wmpssStopped);
  return S_OK;
}

HRESULT SyncDevice::isIdentical(IWMPSyncDevice* other, VARIANT_BOOL* same) {
  if (!same) return E_POINTER;
  *same = dynamic_cast<SyncDevice*>(other) == this ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Controls::stop() {
  ++stops;
  return S_OK;
}

// --- events ----------------------------------------------------------------

HRESULT ConnectionPoint::GetConnectionInterface(IID* out) {
  if (!out) return E_POINTER;
  *out = iid;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  return Hand(&owner_, out);
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  ComPtr<IUnknown> events;
  // The point keeps the sink by the interface it serves, as a control does.
  if (FAILED(sink->QueryInterface(iid, reinterpret_cast<void**>(events.Receive())))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = next_++;
  sinks.emplace(*cookie, std::move(events));
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  return sinks.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

// --- the player ------------------------------------------------------------

Player::Player(bool events2)
    : cdroms(Make<CdromCollection>()), controls(Make<Controls>()) {
  if (events2) events2_ = Make<ConnectionPoint>(*this, __uuidof(IWMPEvents2));
  ocxEvents_ = Make<ConnectionPoint>(*this, __uuidof(_WMPOCXEvents));
}

Player::~Player() = default;

void* Player::Face(REFIID iid) {
  if (IsEqualIID(iid, __uuidof(IWMPCore)) || IsEqualIID(iid, __uuidof(IWMPCore2)) ||
      IsEqualIID(iid, __uuidof(IWMPCore3))) {
    return static_cast<IWMPPlayer4*>(this);
  }
  if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
    return static_cast<IConnectionPointContainer*>(this);
  }
  if (IsEqualIID(iid, __uuidof(IWMPSyncServices))) {
    return syncServices ? static_cast<IWMPSyncServices*>(this) : nullptr;
  }
  if (IsEqualIID(iid, __uuidof(IWMPPlayerServices))) {
    return static_cast<IWMPPlayerServices*>(this);
  }
  if (IsEqualIID(iid, IID_IOleObject)) return static_cast<IOleObject*>(this);
  return Fake::Face(iid);
}

HRESULT Player::close() {
  ++closes;
  return S_OK;
}

HRESULT Player::get_controls(IWMPControls** out) { return Hand(controls.Get(), out); }

HRESULT Player::get_mediaCollection(IWMPMediaCollection** out) {
  return Hand(Make<MediaCollection>(*this).Get(), out);
}

HRESULT Player::get_playlistCollection(IWMPPlaylistCollection** out) {
  return Hand(Make<PlaylistCollection>(*this).Get(), out);
}

HRESULT Player::get_cdromCollection(IWMPCdromCollection** out) {
  if (FAILED(cdromResult)) return cdromResult;
  return Hand(cdroms.Get(), out);
}

HRESULT Player::newMedia(BSTR url, IWMPMedia** out) {
  return Hand(Make<Media>(L"new", Text(url)).Get(), out);
}

HRESULT Player::get_isRemote(VARIANT_BOOL* remote) {
  if (!remote) return E_POINTER;
  *remote = hostServiceType == L"Remote" ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Player::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (events2_ && IsEqualIID(iid, events2_->iid)) return Hand(events2_.Get(), point);
  if (IsEqualIID(iid, ocxEvents_->iid)) return Hand(ocxEvents_.Get(), point);
  return CONNECT_E_NOCONNECTION;
}

HRESULT Player::get_deviceCount(LONG* count) {
  if (!count) return E_POINTER;
  *count = static_cast<LONG>(devices.size());
  return S_OK;
}

HRESULT Player::getDevice(LONG index, IWMPSyncDevice** device) {
  if (index < 0 || index >= static_cast<LONG>(devices.size())) return E_INVALIDARG;
  return Hand(devices[static_cast<size_t>(index)].Get(), device);
}

HRESULT Player::setTaskPane(BSTR task) {
  taskPanes.push_back(Text(task));
  return S_OK;
}

HRESULT Player::SetClientSite(IOleClientSite* clientSite) {
  site = ComPtr<IOleClientSite>::Share(clientSite);
  if (!clientSite) return S_OK;
  // A remoted control looks for the remote host among the site's services.
  const ComPtr<IServiceProvider> services = site.Query<IServiceProvider>();
  if (!services) return S_OK;
  ComPtr<IWMPRemoteMediaServices> remote;
  if (FAILED(services->QueryService(__uuidof(IWMPRemoteMediaServices),
                                    __uuidof(IWMPRemoteMediaServices),
                                    reinterpret_cast<void**>(remote.Receive()))) ||
      !remote) {
    return S_OK;
  }
  Bstr type;
  if (SUCCEEDED(remote->GetServiceType(type.Receive()))) hostServiceType = type.ToString();
  Bstr name;
  if (SUCCEEDED(remote->GetApplicationName(name.Receive()))) hostApplicationName = name.ToString();
  return S_OK;
}

HRESULT Player::GetClientSite(IOleClientSite** out) { return Hand(site.Get(), out); }

HRESULT Player::Close(DWORD) {
  oleClosed = true;
  activated = false;
  return S_OK;
}

HRESULT Player::DoVerb(LONG verb, LPMSG, IOleClientSite* clientSite, LONG, HWND parent,
                       LPCRECT) {
  activationVerb = verb;
  activationWindow = parent;
  if (!clientSite) return E_INVALIDARG;
  ComPtr<IOleInPlaceSite> inPlace;
  if (FAILED(clientSite->QueryInterface(IID_IOleInPlaceSite,
                                        reinterpret_cast<void**>(inPlace.Receive())))) {
    return E_NOINTERFACE;
  }
  HWND window = nullptr;
  if (inPlace->CanInPlaceActivate() != S_OK || FAILED(inPlace->GetWindow(&window)) ||
      window != parent) {
    return E_FAIL;
  }
  ComPtr<IOleInPlaceFrame> frame;
  ComPtr<IOleInPlaceUIWindow> document;
  RECT position = {};
  RECT clip = {};
  OLEINPLACEFRAMEINFO info = {};
  info.cb = sizeof(info);
  if (FAILED(inPlace->GetWindowContext(frame.Receive(), document.Receive(), &position, &clip,
                                       &info))) {
    return E_FAIL;
  }
  inPlace->OnInPlaceActivate();
  activated = true;
  return S_OK;
}

HRESULT Player::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = OLEMISC_SETCLIENTSITEFIRST;
  return S_OK;
}

Media* Player::AddItem(const std::wstring& name, const std::wstring& url,
                       std::map<std::wstring, std::wstring> info) {
  ComPtr<Media> item = Make<Media>(name, url);
  item->info = std::move(info);
  Media* raw = item.Get();
  library.push_back(std::move(item));
  return raw;
}

Playlist* Player::FindPlaylist(const std::wstring& name) {
  for (auto& p : playlists) {
    if (p->name == name) return p.Get();
  }
  return nullptr;
}

size_t Player::SinkCount() const {
  return (events2_ ? events2_->sinks.size() : 0) + ocxEvents_->sinks.size();
}

template <class Direct, class Dispatch>
void Player::Raise(Direct direct, DISPID id, Dispatch fill, UINT count) {
  if (events2_) {
    // Copies: a handler may unadvise while the event runs.
    std::vector<IUnknown*> sinks;
    for (auto& entry : events2_->sinks) sinks.push_back(entry.second.Get());
    for (IUnknown* sink : sinks) direct(*static_cast<IWMPEvents2*>(sink));
  }
  std::vector<IUnknown*> dispatchSinks;
  for (auto& entry : ocxEvents_->sinks) dispatchSinks.push_back(entry.second.Get());
  for (IUnknown* sink : dispatchSinks) {
    std::vector<VARIANT> arguments(count);
    fill(arguments.data());  // last argument first, as dispatch passes them
    DISPPARAMS params = {arguments.data(), nullptr, count, 0};
    static_cast<IDispatch*>(sink)->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                                          nullptr, nullptr);
  }
}

void Player::RaiseMediaChange(Media* item) {
  Raise([&](IWMPEvents2& e) { e.MediaChange(item); }, DISPID_WMPCOREEVENT_MEDIACHANGE,
        [&](VARIANT* a) {
          a[0].vt = VT_DISPATCH;
          a[0].pdispVal = item;
        },
        1);
}

void Player::RaiseCdromMediaChange(LONG index) {
  Raise([&](IWMPEvents2& e) { e.CdromMediaChange(index); }, DISPID_WMPCOREEVENT_CDROMMEDIACHANGE,
        [&](VARIANT* a) {
          a[0].vt = VT_I4;
          a[0].lVal = index;
        },
        1);
}

void Player::RaisePlaylistCollectionChange() {
  Raise([&](IWMPEvents2& e) { e.PlaylistCollectionChange(); },
        DISPID_WMPCOREEVENT_PLAYLISTCOLLECTIONCHANGE, [](VARIANT*) {}, 0);
}

void Player::RaiseCreatePartnershipComplete(SyncDevice* device, HRESULT result) {
  Raise([&](IWMPEvents2& e) { e.CreatePartnershipComplete(device, result); },
        DISPID_WMPOCXEVENT_CREATEPARTNERSHIPCOMPLETE,
        [&](VARIANT* a) {
          a[1].vt = VT_UNKNOWN;
          a[1].punkVal = device;
          a[0].vt = VT_ERROR;
          a[0].scode = result;
        },
        2);
}

void Player::RaiseDeviceSyncStateChange(SyncDevice* device, WMPSyncState state) {
  Raise([&](IWMPEvents2& e) { e.DeviceSyncStateChange(device, state); },
        DISPID_WMPOCXEVENT_DEVICESYNCSTATECHANGE,
        [&](VARIANT* a) {
          a[1].vt = VT_UNKNOWN;
          a[1].punkVal = device;
          a[0].vt = VT_I4;
          a[0].lVal = state;
        },
        2);
}

void Player::RaiseDeviceSyncError(SyncDevice* device, Media* item) {
  Raise([&](IWMPEvents2& e) { e.DeviceSyncError(device, item); },
        DISPID_WMPOCXEVENT_DEVICESYNCERROR,
        [&](VARIANT* a) {
          a[1].vt = VT_UNKNOWN;
          a[1].punkVal = device;
          a[0].vt = VT_DISPATCH;
          a[0].pdispVal = item;
        },
        2);
}

}  // namespace fake
