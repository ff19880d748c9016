#pragma once
// The platform control's event sink: IWMPEvents2 (hence the IWMPEvents
// methods) as its primary face and the dispatch interface _WMPOCXEvents,
// for whichever connection point the control offers. Every event goes to
// the model's event interface (the tool's CWMPEventDispatch): BSTRs as
// std::wstring, objects as views of com_object_views.h; both live for the
// call only, as the messages built from them promise.
//
// Reference counted, used on the control's (the main window's) thread.
// Nothing thrown leaves a method: an event whose arguments cannot be
// converted (out of memory) is dropped.
#include <utility>

#include "engine/model/events.h"
#include "engine/win32/com_handles.h"
#include "engine/win32/wmp_interfaces.h"

namespace engine::win32 {

// COM objects are destroyed by their own Release, never through an
// interface pointer, so the interfaces' non-virtual destructors are fine.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ComEventSink final : public IWMPEvents2, public _WMPOCXEvents {
 public:
  // One reference for the caller; empty when out of memory.
  static ComPtr<ComEventSink> Create(wmp::PlayerEventsPtr events);

  // The identity to hand to IConnectionPoint::Advise.
  IUnknown* Identity() { return static_cast<IWMPEvents2*>(this); }

  // IUnknown: IUnknown, IWMPEvents2, _WMPOCXEvents, IDispatch; deliberately
  // not IWMPEvents alone.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IWMPEvents
  void STDMETHODCALLTYPE OpenStateChange(LONG state) override;
  void STDMETHODCALLTYPE PlayStateChange(LONG state) override;
  void STDMETHODCALLTYPE AudioLanguageChange(LONG language) override;
  void STDMETHODCALLTYPE StatusChange() override;
  void STDMETHODCALLTYPE ScriptCommand(BSTR type, BSTR param) override;
  void STDMETHODCALLTYPE NewStream() override;
  void STDMETHODCALLTYPE Disconnect(LONG result) override;
  void STDMETHODCALLTYPE Buffering(VARIANT_BOOL start) override;
  void STDMETHODCALLTYPE Error() override;
  void STDMETHODCALLTYPE Warning(LONG warning, LONG param, BSTR description) override;
  void STDMETHODCALLTYPE EndOfStream(LONG result) override;
  void STDMETHODCALLTYPE PositionChange(double oldPosition, double newPosition) override;
  void STDMETHODCALLTYPE MarkerHit(LONG marker) override;
  void STDMETHODCALLTYPE DurationUnitChange(LONG unit) override;
  void STDMETHODCALLTYPE CdromMediaChange(LONG cdromIndex) override;
  void STDMETHODCALLTYPE PlaylistChange(IDispatch* playlist,
                                        WMPPlaylistChangeEventType change) override;
  void STDMETHODCALLTYPE CurrentPlaylistChange(WMPPlaylistChangeEventType change) override;
  void STDMETHODCALLTYPE CurrentPlaylistItemAvailable(BSTR name) override;
  void STDMETHODCALLTYPE MediaChange(IDispatch* item) override;
  void STDMETHODCALLTYPE CurrentMediaItemAvailable(BSTR name) override;
  void STDMETHODCALLTYPE CurrentItemChange(IDispatch* media) override;
  void STDMETHODCALLTYPE MediaCollectionChange() override;
  void STDMETHODCALLTYPE MediaCollectionAttributeStringAdded(BSTR name, BSTR value) override;
  void STDMETHODCALLTYPE MediaCollectionAttributeStringRemoved(BSTR name, BSTR value) override;
  void STDMETHODCALLTYPE MediaCollectionAttributeStringChanged(BSTR name, BSTR oldValue,
                                                               BSTR newValue) override;
  void STDMETHODCALLTYPE PlaylistCollectionChange() override;
  void STDMETHODCALLTYPE PlaylistCollectionPlaylistAdded(BSTR name) override;
  void STDMETHODCALLTYPE PlaylistCollectionPlaylistRemoved(BSTR name) override;
  void STDMETHODCALLTYPE PlaylistCollectionPlaylistSetAsDeleted(BSTR name,
                                                                VARIANT_BOOL deleted) override;
  void STDMETHODCALLTYPE ModeChange(BSTR mode, VARIANT_BOOL value) override;
  void STDMETHODCALLTYPE MediaError(IDispatch* media) override;
  void STDMETHODCALLTYPE OpenPlaylistSwitch(IDispatch* item) override;
  void STDMETHODCALLTYPE DomainChange(BSTR domain) override;
  void STDMETHODCALLTYPE SwitchedToPlayerApplication() override;
  void STDMETHODCALLTYPE SwitchedToControl() override;
  void STDMETHODCALLTYPE PlayerDockedStateChange() override;
  void STDMETHODCALLTYPE PlayerReconnect() override;
  void STDMETHODCALLTYPE Click(short button, short shift, LONG x, LONG y) override;
  void STDMETHODCALLTYPE DoubleClick(short button, short shift, LONG x, LONG y) override;
  void STDMETHODCALLTYPE KeyDown(short key, short shift) override;
  void STDMETHODCALLTYPE KeyPress(short key) override;
  void STDMETHODCALLTYPE KeyUp(short key, short shift) override;
  void STDMETHODCALLTYPE MouseDown(short button, short shift, LONG x, LONG y) override;
  void STDMETHODCALLTYPE MouseMove(short button, short shift, LONG x, LONG y) override;
  void STDMETHODCALLTYPE MouseUp(short button, short shift, LONG x, LONG y) override;

  // IWMPEvents2
  void STDMETHODCALLTYPE DeviceConnect(IWMPSyncDevice* device) override;
  void STDMETHODCALLTYPE DeviceDisconnect(IWMPSyncDevice* device) override;
  void STDMETHODCALLTYPE DeviceStatusChange(IWMPSyncDevice* device,
                                            WMPDeviceStatus status) override;
  void STDMETHODCALLTYPE DeviceSyncStateChange(IWMPSyncDevice* device,
                                               WMPSyncState state) override;
  void STDMETHODCALLTYPE DeviceSyncError(IWMPSyncDevice* device, IDispatch* media) override;
  void STDMETHODCALLTYPE CreatePartnershipComplete(IWMPSyncDevice* device,
                                                   HRESULT result) override;

  // IDispatch: no type information; Invoke takes the arguments by position
  // (dispatch passes them last first) as the published types, without
  // conversion, and answers DISP_E_MEMBERNOTFOUND once it has dispatched,
  // whatever the id. E_POINTER without parameters, DISP_E_NONAMEDARGS with
  // named ones, DISP_E_BADPARAMCOUNT with fewer than the event takes; none
  // of these sends anything.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

  // The device events take the device as IUnknown: dispatch passes it so.
  void OnDevice(void (wmp::IPlayerEvents::*event)(wmp::ISyncDevice*), IUnknown* device);
  void OnDeviceValue(void (wmp::IPlayerEvents::*event)(wmp::ISyncDevice*, long),
                     IUnknown* device, long value);
  void OnDeviceSyncError(IUnknown* device, IDispatch* media);
  void OnCreatePartnershipComplete(IUnknown* device, HRESULT result);

 private:
  explicit ComEventSink(wmp::PlayerEventsPtr events) : events_(std::move(events)) {}
  ~ComEventSink() = default;


  template <class Event>
  void Forward(const Event& event) noexcept;

  LONG references_ = 1;
  const wmp::PlayerEventsPtr events_;
};
#pragma GCC diagnostic pop

}  // namespace engine::win32
