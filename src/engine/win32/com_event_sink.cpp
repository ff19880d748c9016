#include "engine/win32/com_event_sink.h"

#include <new>
#include <string>

#include "engine/win32/com_object_views.h"

namespace engine::win32 {
namespace {

std::wstring Text(BSTR text) { return Bstr::ToString(text); }
bool Bool(VARIANT_BOOL value) { return value != VARIANT_FALSE; }

// The arguments of one dispatch call in declaration order, read from the
// VARIANT field of the published type without any coercion.
class Arguments {
 public:
  explicit Arguments(const DISPPARAMS& params) : params_(params) {}
  LONG Long(UINT index) const { return At(index).lVal; }
  short Short(UINT index) const { return At(index).iVal; }
  double Double(UINT index) const { return At(index).dblVal; }
  VARIANT_BOOL Bool(UINT index) const { return At(index).boolVal; }
  BSTR Text(UINT index) const { return At(index).bstrVal; }
  IDispatch* Object(UINT index) const { return At(index).pdispVal; }
  // Interfaces that are not IDispatch come as VT_UNKNOWN.
  IUnknown* Unknown(UINT index) const { return At(index).punkVal; }
  // HRESULTs come as VT_ERROR, which shares the 32-bit field of VT_I4.
  HRESULT Error(UINT index) const { return At(index).scode; }

 private:
  const VARIANT& At(UINT index) const { return params_.rgvarg[params_.cArgs - 1 - index]; }
  const DISPPARAMS& params_;
};

}  // namespace

ComPtr<ComEventSink> ComEventSink::Create(wmp::PlayerEventsPtr events) {
  return ComPtr<ComEventSink>::Adopt(new (std::nothrow) ComEventSink(std::move(events)));
}

template <class Event>
void ComEventSink::Forward(const Event& event) noexcept {
  try {
    // The handler may unadvise and release this sink while it runs.
    const ComPtr<ComEventSink> self = ComPtr<ComEventSink>::Share(this);
    const wmp::PlayerEventsPtr events = events_;
    if (events) event(*events);
  } catch (...) {
    // Dropped: nothing may cross back into the control.
  }
}

// --- IUnknown -------------------------------------------------------------

HRESULT ComEventSink::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IWMPEvents2))) {
    *object = static_cast<IWMPEvents2*>(this);
  } else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, __uuidof(_WMPOCXEvents))) {
    *object = static_cast<_WMPOCXEvents*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG ComEventSink::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG ComEventSink::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

// --- IWMPEvents -----------------------------------------------------------

void ComEventSink::OpenStateChange(LONG state) {
  Forward([&](wmp::IPlayerEvents& events) { events.OpenStateChange(state); });
}
void ComEventSink::PlayStateChange(LONG state) {
  Forward([&](wmp::IPlayerEvents& events) { events.PlayStateChange(state); });
}
void ComEventSink::AudioLanguageChange(LONG language) {
  Forward([&](wmp::IPlayerEvents& events) { events.AudioLanguageChange(language); });
}
void ComEventSink::StatusChange() {
  Forward([](wmp::IPlayerEvents& events) { events.StatusChange(); });
}
void ComEventSink::ScriptCommand(BSTR type, BSTR param) {
  Forward([&](wmp::IPlayerEvents& events) { events.ScriptCommand(Text(type), Text(param)); });
}
void ComEventSink::NewStream() {
  Forward([](wmp::IPlayerEvents& events) { events.NewStream(); });
}
void ComEventSink::Disconnect(LONG result) {
  Forward([&](wmp::IPlayerEvents& events) { events.Disconnect(result); });
}
void ComEventSink::Buffering(VARIANT_BOOL start) {
  Forward([&](wmp::IPlayerEvents& events) { events.Buffering(Bool(start)); });
}
void ComEventSink::Error() {
  Forward([](wmp::IPlayerEvents& events) { events.Error(); });
}
void ComEventSink::Warning(LONG warning, LONG param, BSTR description) {
  Forward([&](wmp::IPlayerEvents& events) { events.Warning(warning, param, Text(description)); });
}
void ComEventSink::EndOfStream(LONG result) {
  Forward([&](wmp::IPlayerEvents& events) { events.EndOfStream(result); });
}
void ComEventSink::PositionChange(double oldPosition, double newPosition) {
  Forward([&](wmp::IPlayerEvents& events) { events.PositionChange(oldPosition, newPosition); });
}
void ComEventSink::MarkerHit(LONG marker) {
  Forward([&](wmp::IPlayerEvents& events) { events.MarkerHit(marker); });
}
void ComEventSink::DurationUnitChange(LONG unit) {
  Forward([&](wmp::IPlayerEvents& events) { events.DurationUnitChange(unit); });
}
void ComEventSink::CdromMediaChange(LONG cdromIndex) {
  Forward([&](wmp::IPlayerEvents& events) { events.CdromMediaChange(cdromIndex); });
}
void ComEventSink::PlaylistChange(IDispatch* playlist, WMPPlaylistChangeEventType change) {
  Forward([&](wmp::IPlayerEvents& events) {
    ComPlaylistView view(playlist);
    events.PlaylistChange(view.OrNull(), static_cast<long>(change));
  });
}
void ComEventSink::CurrentPlaylistChange(WMPPlaylistChangeEventType change) {
  Forward([&](wmp::IPlayerEvents& events) {
    events.CurrentPlaylistChange(static_cast<long>(change));
  });
}
void ComEventSink::CurrentPlaylistItemAvailable(BSTR name) {
  Forward([&](wmp::IPlayerEvents& events) { events.CurrentPlaylistItemAvailable(Text(name)); });
}
void ComEventSink::MediaChange(IDispatch* item) {
  Forward([&](wmp::IPlayerEvents& events) {
    ComMediaView view(item);
    events.MediaChange(view.OrNull());
  });
}
void ComEventSink::CurrentMediaItemAvailable(BSTR name) {
  Forward([&](wmp::IPlayerEvents& events) { events.CurrentMediaItemAvailable(Text(name)); });
}
void ComEventSink::CurrentItemChange(IDispatch* media) {
  Forward([&](wmp::IPlayerEvents& events) {
    ComMediaView view(media);
    events.CurrentItemChange(view.OrNull());
  });
}
void ComEventSink::MediaCollectionChange() {
  Forward([](wmp::IPlayerEvents& events) { events.MediaCollectionChange(); });
}
void ComEventSink::MediaCollectionAttributeStringAdded(BSTR name, BSTR value) {
  Forward([&](wmp::IPlayerEvents& events) {
    events.MediaCollectionAttributeStringAdded(Text(name), Text(value));
  });
}
void ComEventSink::MediaCollectionAttributeStringRemoved(BSTR name, BSTR value) {
  Forward([&](wmp::IPlayerEvents& events) {
    events.MediaCollectionAttributeStringRemoved(Text(name), Text(value));
  });
}
void ComEventSink::MediaCollectionAttributeStringChanged(BSTR name, BSTR oldValue,
                                                         BSTR newValue) {
  Forward([&](wmp::IPlayerEvents& events) {
    events.MediaCollectionAttributeStringChanged(Text(name), Text(oldValue), Text(newValue));
  });
}
void ComEventSink::PlaylistCollectionChange() {
  Forward([](wmp::IPlayerEvents& events) { events.PlaylistCollectionChange(); });
}
void ComEventSink::PlaylistCollectionPlaylistAdded(BSTR name) {
  Forward([&](wmp::IPlayerEvents& events) { events.PlaylistCollectionPlaylistAdded(Text(name)); });
}
void ComEventSink::PlaylistCollectionPlaylistRemoved(BSTR name) {
  Forward([&](wmp::IPlayerEvents& events) {
    events.PlaylistCollectionPlaylistRemoved(Text(name));
  });
}
void ComEventSink::PlaylistCollectionPlaylistSetAsDeleted(BSTR name, VARIANT_BOOL deleted) {
  Forward([&](wmp::IPlayerEvents& events) {
    events.PlaylistCollectionPlaylistSetAsDeleted(Text(name), Bool(deleted));
  });
}
void ComEventSink::ModeChange(BSTR mode, VARIANT_BOOL value) {
  Forward([&](wmp::IPlayerEvents& events) { events.ModeChange(Text(mode), Bool(value)); });
}
void ComEventSink::MediaError(IDispatch* media) {
  Forward([&](wmp::IPlayerEvents& events) {
    ComMediaView view(media);
    events.MediaError(view.OrNull());
  });
}
void ComEventSink::OpenPlaylistSwitch(IDispatch* item) {
  Forward([&](wmp::IPlayerEvents& events) {
    ComMediaView view(item);
    events.OpenPlaylistSwitch(view.OrNull());
  });
}
void ComEventSink::DomainChange(BSTR domain) {
  Forward([&](wmp::IPlayerEvents& events) { events.DomainChange(Text(domain)); });
}
void ComEventSink::SwitchedToPlayerApplication() {
  Forward([](wmp::IPlayerEvents& events) { events.SwitchedToPlayerApplication(); });
}
void ComEventSink::SwitchedToControl() {
  Forward([](wmp::IPlayerEvents& events) { events.SwitchedToControl(); });
}
void ComEventSink::PlayerDockedStateChange() {
  Forward([](wmp::IPlayerEvents& events) { events.PlayerDockedStateChange(); });
}
void ComEventSink::PlayerReconnect() {
  Forward([](wmp::IPlayerEvents& events) { events.PlayerReconnect(); });
}
void ComEventSink::Click(short button, short shift, LONG x, LONG y) {
  Forward([&](wmp::IPlayerEvents& events) { events.Click(button, shift, x, y); });
}
void ComEventSink::DoubleClick(short button, short shift, LONG x, LONG y) {
  Forward([&](wmp::IPlayerEvents& events) { events.DoubleClick(button, shift, x, y); });
}
void ComEventSink::KeyDown(short key, short shift) {
  Forward([&](wmp::IPlayerEvents& events) { events.KeyDown(key, shift); });
}
void ComEventSink::KeyPress(short key) {
  Forward([&](wmp::IPlayerEvents& events) { events.KeyPress(key); });
}
void ComEventSink::KeyUp(short key, short shift) {
  Forward([&](wmp::IPlayerEvents& events) { events.KeyUp(key, shift); });
}
void ComEventSink::MouseDown(short button, short shift, LONG x, LONG y) {
  Forward([&](wmp::IPlayerEvents& events) { events.MouseDown(button, shift, x, y); });
}
void ComEventSink::MouseMove(short button, short shift, LONG x, LONG y) {
  Forward([&](wmp::IPlayerEvents& events) { events.MouseMove(button, shift, x, y); });
}
void ComEventSink::MouseUp(short button, short shift, LONG x, LONG y) {
  Forward([&](wmp::IPlayerEvents& events) { events.MouseUp(button, shift, x, y); });
}

// --- IWMPEvents2 ----------------------------------------------------------

void ComEventSink::OnDevice(void (wmp::IPlayerEvents::*event)(wmp::ISyncDevice*),
                            IUnknown* device) {
  Forward([&](wmp::IPlayerEvents& events) {
    ComSyncDeviceView view(device);
    (events.*event)(view.OrNull());
  });
}
void ComEventSink::OnDeviceValue(void (wmp::IPlayerEvents::*event)(wmp::ISyncDevice*, long),
                                 IUnknown* device, long value) {
  Forward([&](wmp::IPlayerEvents& events) {
    ComSyncDeviceView view(device);
    (events.*event)(view.OrNull(), value);
  });
}
void ComEventSink::OnDeviceSyncError(IUnknown* device, IDispatch* media) {
  Forward([&](wmp::IPlayerEvents& events) {
    ComSyncDeviceView deviceView(device);
    ComMediaView mediaView(media);
    events.DeviceSyncError(deviceView.OrNull(), mediaView.OrNull());
  });
}
void ComEventSink::OnCreatePartnershipComplete(IUnknown* device, HRESULT result) {
  Forward([&](wmp::IPlayerEvents& events) {
    ComSyncDeviceView view(device);
    events.CreatePartnershipComplete(view.OrNull(), static_cast<wmp::HResult>(result));
  });
}

void ComEventSink::DeviceConnect(IWMPSyncDevice* device) {
  OnDevice(&wmp::IPlayerEvents::DeviceConnect, device);
}
void ComEventSink::DeviceDisconnect(IWMPSyncDevice* device) {
  OnDevice(&wmp::IPlayerEvents::DeviceDisconnect, device);
}
void ComEventSink::DeviceStatusChange(IWMPSyncDevice* device, WMPDeviceStatus status) {
  OnDeviceValue(&wmp::IPlayerEvents::DeviceStatusChange, device, static_cast<long>(status));
}
void ComEventSink::DeviceSyncStateChange(IWMPSyncDevice* device, WMPSyncState state) {
  OnDeviceValue(&wmp::IPlayerEvents::DeviceSyncStateChange, device, static_cast<long>(state));
}
void ComEventSink::DeviceSyncError(IWMPSyncDevice* device, IDispatch* media) {
  OnDeviceSyncError(device, media);
}
void ComEventSink::CreatePartnershipComplete(IWMPSyncDevice* device, HRESULT result) {
  OnCreatePartnershipComplete(device, result);
}

// --- IDispatch ------------------------------------------------------------

HRESULT ComEventSink::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ComEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT ComEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

namespace {

// Every event of _WMPOCXEvents the tool takes: its id, how many arguments it
// takes and the call of the sink's own method with them.
struct DispatchEntry {
  DISPID id;
  UINT arguments;
  void (*call)(ComEventSink& sink, const Arguments& a);
};

#define MARIMBA_DISPATCH(id, count, call) \
  { id, count, [](ComEventSink& s, const Arguments& a) { (void)a; s.call; } }
constexpr DispatchEntry kDispatch[] = {
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_OPENSTATECHANGE, 1, OpenStateChange(a.Long(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_STATUSCHANGE, 0, StatusChange()),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_PLAYSTATECHANGE, 1, PlayStateChange(a.Long(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_AUDIOLANGUAGECHANGE, 1, AudioLanguageChange(a.Long(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_ENDOFSTREAM, 1, EndOfStream(a.Long(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_POSITIONCHANGE, 2,
                     PositionChange(a.Double(0), a.Double(1))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_MARKERHIT, 1, MarkerHit(a.Long(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_DURATIONUNITCHANGE, 1, DurationUnitChange(a.Long(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_SCRIPTCOMMAND, 2, ScriptCommand(a.Text(0), a.Text(1))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_DISCONNECT, 1, Disconnect(a.Long(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_BUFFERING, 1, Buffering(a.Bool(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_NEWSTREAM, 0, NewStream()),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_ERROR, 0, Error()),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_WARNING, 3, Warning(a.Long(0), a.Long(1), a.Text(2))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_CDROMMEDIACHANGE, 1, CdromMediaChange(a.Long(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_PLAYLISTCHANGE, 2,
                     PlaylistChange(a.Object(0),
                                    static_cast<WMPPlaylistChangeEventType>(a.Long(1)))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_MEDIACHANGE, 1, MediaChange(a.Object(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_CURRENTMEDIAITEMAVAILABLE, 1,
                     CurrentMediaItemAvailable(a.Text(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_CURRENTPLAYLISTCHANGE, 1,
                     CurrentPlaylistChange(static_cast<WMPPlaylistChangeEventType>(a.Long(0)))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_CURRENTPLAYLISTITEMAVAILABLE, 1,
                     CurrentPlaylistItemAvailable(a.Text(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_CURRENTITEMCHANGE, 1, CurrentItemChange(a.Object(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_MEDIACOLLECTIONCHANGE, 0, MediaCollectionChange()),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_MEDIACOLLECTIONATTRIBUTESTRINGADDED, 2,
                     MediaCollectionAttributeStringAdded(a.Text(0), a.Text(1))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_MEDIACOLLECTIONATTRIBUTESTRINGREMOVED, 2,
                     MediaCollectionAttributeStringRemoved(a.Text(0), a.Text(1))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_PLAYLISTCOLLECTIONCHANGE, 0, PlaylistCollectionChange()),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_PLAYLISTCOLLECTIONPLAYLISTADDED, 1,
                     PlaylistCollectionPlaylistAdded(a.Text(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_PLAYLISTCOLLECTIONPLAYLISTREMOVED, 1,
                     PlaylistCollectionPlaylistRemoved(a.Text(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_PLAYLISTCOLLECTIONPLAYLISTSETASDELETED, 2,
                     PlaylistCollectionPlaylistSetAsDeleted(a.Text(0), a.Bool(1))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_MODECHANGE, 2, ModeChange(a.Text(0), a.Bool(1))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_MEDIACOLLECTIONATTRIBUTESTRINGCHANGED, 3,
                     MediaCollectionAttributeStringChanged(a.Text(0), a.Text(1), a.Text(2))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_MEDIAERROR, 1, MediaError(a.Object(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_DOMAINCHANGE, 1, DomainChange(a.Text(0))),
    MARIMBA_DISPATCH(DISPID_WMPCOREEVENT_OPENPLAYLISTSWITCH, 1, OpenPlaylistSwitch(a.Object(0))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_SWITCHEDTOPLAYERAPPLICATION, 0,
                     SwitchedToPlayerApplication()),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_SWITCHEDTOCONTROL, 0, SwitchedToControl()),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_PLAYERDOCKEDSTATECHANGE, 0, PlayerDockedStateChange()),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_PLAYERRECONNECT, 0, PlayerReconnect()),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_CLICK, 4,
                     Click(a.Short(0), a.Short(1), a.Long(2), a.Long(3))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_DOUBLECLICK, 4,
                     DoubleClick(a.Short(0), a.Short(1), a.Long(2), a.Long(3))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_KEYDOWN, 2, KeyDown(a.Short(0), a.Short(1))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_KEYPRESS, 1, KeyPress(a.Short(0))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_KEYUP, 2, KeyUp(a.Short(0), a.Short(1))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_MOUSEDOWN, 4,
                     MouseDown(a.Short(0), a.Short(1), a.Long(2), a.Long(3))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_MOUSEMOVE, 4,
                     MouseMove(a.Short(0), a.Short(1), a.Long(2), a.Long(3))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_MOUSEUP, 4,
                     MouseUp(a.Short(0), a.Short(1), a.Long(2), a.Long(3))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_DEVICECONNECT, 1,
                     OnDevice(&wmp::IPlayerEvents::DeviceConnect, a.Unknown(0))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_DEVICEDISCONNECT, 1,
                     OnDevice(&wmp::IPlayerEvents::DeviceDisconnect, a.Unknown(0))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_DEVICESTATUSCHANGE, 2,
                     OnDeviceValue(&wmp::IPlayerEvents::DeviceStatusChange, a.Unknown(0),
                                   a.Long(1))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_DEVICESYNCSTATECHANGE, 2,
                     OnDeviceValue(&wmp::IPlayerEvents::DeviceSyncStateChange, a.Unknown(0),
                                   a.Long(1))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_DEVICESYNCERROR, 2,
                     OnDeviceSyncError(a.Unknown(0), a.Object(1))),
    MARIMBA_DISPATCH(DISPID_WMPOCXEVENT_CREATEPARTNERSHIPCOMPLETE, 2,
                     OnCreatePartnershipComplete(a.Unknown(0), a.Error(1))),
};
#undef MARIMBA_DISPATCH

}  // namespace

HRESULT ComEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                             EXCEPINFO*, UINT*) {
  if (!params || (params->cArgs > 0 && !params->rgvarg)) return E_POINTER;
  if (params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
  for (const DispatchEntry& entry : kDispatch) {
    if (entry.id != id) continue;
    if (params->cArgs < entry.arguments) return DISP_E_BADPARAMCOUNT;
    entry.call(*this, Arguments(*params));
    break;
  }
  return DISP_E_MEMBERNOTFOUND;
}

}  // namespace engine::win32
