#pragma once
// An in-process stand-in for the platform's player control: the player
// (IWMPPlayer4 with its connection points, sync services, player services
// and the OLE object a container activates), its library, CD drive and
// sync devices, all in memory. Like the installed control it raises some
// events from inside the call that caused them (a rip, a partnership or a
// synchronisation starting), and it words its rip statuses its own way.
// Every object counts itself, so a test can see that the adapter let go of
// every reference.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "engine/win32/com_handles.h"
#include "engine/win32/wmp_interfaces.h"

namespace fake {

using engine::win32::Bstr;
using engine::win32::ComPtr;

// Fake objects alive right now.
extern int g_live;

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

template <class I>
class DispatchStubs : public I {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }
};

template <class I>
using FaceBase = std::conditional_t<std::is_base_of<IDispatch, I>::value, DispatchStubs<I>, I>;

// A heap object with COM reference counting; `Face` lists its interfaces.
template <class Primary, class... More>
class Fake : public FaceBase<Primary>, public FaceBase<More>... {
 public:
  Fake() { ++g_live; }
  virtual ~Fake() { --g_live; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = Face(iid);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual void* Face(REFIID iid) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Primary))) {
      return static_cast<Primary*>(this);
    }
    if (std::is_base_of<IDispatch, Primary>::value && IsEqualIID(iid, IID_IDispatch)) {
      return static_cast<Primary*>(this);
    }
    return nullptr;
  }

 private:
  ULONG references_ = 1;
};

#define FAKE_UNUSED(name, ...) \
  HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }
#define FAKE_UNUSED0(name) \
  HRESULT STDMETHODCALLTYPE name() override { return E_NOTIMPL; }

HRESULT Give(const std::wstring& text, BSTR* out);

// Makes an object with its first reference owned by the result.
template <class T, class... Args>
ComPtr<T> Make(Args&&... args) {
  return ComPtr<T>::Adopt(new T(std::forward<Args>(args)...));
}

class Player;

// --- media and playlists ---------------------------------------------------

class Media : public Fake<IWMPMedia> {
 public:
  Media(std::wstring itemName, std::wstring url) : name(std::move(itemName)), source(std::move(url)) {}
  HRESULT STDMETHODCALLTYPE get_isIdentical(IWMPMedia* other, VARIANT_BOOL* same) override;
  HRESULT STDMETHODCALLTYPE get_sourceURL(BSTR* url) override { return Give(source, url); }
  HRESULT STDMETHODCALLTYPE get_name(BSTR* out) override { return Give(name, out); }
  HRESULT STDMETHODCALLTYPE put_name(BSTR value) override;
  FAKE_UNUSED(get_imageSourceWidth, LONG*)
  FAKE_UNUSED(get_imageSourceHeight, LONG*)
  FAKE_UNUSED(get_markerCount, LONG*)
  FAKE_UNUSED(getMarkerTime, LONG, double*)
  FAKE_UNUSED(getMarkerName, LONG, BSTR*)
  HRESULT STDMETHODCALLTYPE get_duration(double* seconds) override;
  HRESULT STDMETHODCALLTYPE get_durationString(BSTR* text) override { return Give(L"3:35", text); }
  FAKE_UNUSED(get_attributeCount, LONG*)
  FAKE_UNUSED(getAttributeName, LONG, BSTR*)
  HRESULT STDMETHODCALLTYPE getItemInfo(BSTR attribute, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE setItemInfo(BSTR attribute, BSTR value) override;
  FAKE_UNUSED(getItemInfoByAtom, LONG, BSTR*)
  FAKE_UNUSED(isMemberOf, IWMPPlaylist*, VARIANT_BOOL*)
  FAKE_UNUSED(isReadOnlyItem, BSTR, VARIANT_BOOL*)

  std::wstring name;
  std::wstring source;
  std::map<std::wstring, std::wstring> info;
  // Attribute writes that fail with E_ACCESSDENIED.
  std::vector<std::wstring> readOnly;
};

class Playlist : public Fake<IWMPPlaylist> {
 public:
  explicit Playlist(std::wstring playlistName) : name(std::move(playlistName)) {}
  HRESULT STDMETHODCALLTYPE get_count(LONG* count) override;
  HRESULT STDMETHODCALLTYPE get_name(BSTR* out) override { return Give(name, out); }
  HRESULT STDMETHODCALLTYPE put_name(BSTR value) override;
  FAKE_UNUSED(get_attributeCount, LONG*)
  FAKE_UNUSED(get_attributeName, LONG, BSTR*)
  HRESULT STDMETHODCALLTYPE get_Item(LONG index, IWMPMedia** item) override;
  HRESULT STDMETHODCALLTYPE getItemInfo(BSTR attribute, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE setItemInfo(BSTR attribute, BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_isIdentical(IWMPPlaylist* other, VARIANT_BOOL* same) override;
  FAKE_UNUSED0(clear)
  FAKE_UNUSED(insertItem, LONG, IWMPMedia*)
  HRESULT STDMETHODCALLTYPE appendItem(IWMPMedia* item) override;
  HRESULT STDMETHODCALLTYPE removeItem(IWMPMedia* item) override;
  HRESULT STDMETHODCALLTYPE moveItem(LONG from, LONG to) override;

  void Add(Media* item) { items.push_back(ComPtr<Media>::Share(item)); }

  std::wstring name;
  std::map<std::wstring, std::wstring> info;
  std::vector<ComPtr<Media>> items;
};

class PlaylistArray : public Fake<IWMPPlaylistArray> {
 public:
  HRESULT STDMETHODCALLTYPE get_count(LONG* count) override;
  HRESULT STDMETHODCALLTYPE Item(LONG index, IWMPPlaylist** playlist) override;
  std::vector<ComPtr<Playlist>> playlists;
};

// --- library ---------------------------------------------------------------

class MediaCollection : public Fake<IWMPMediaCollection> {
 public:
  explicit MediaCollection(Player& player) : player_(player) {}
  HRESULT STDMETHODCALLTYPE add(BSTR url, IWMPMedia** item) override;
  HRESULT STDMETHODCALLTYPE getAll(IWMPPlaylist** items) override;
  HRESULT STDMETHODCALLTYPE getByName(BSTR name, IWMPPlaylist** items) override;
  FAKE_UNUSED(getByGenre, BSTR, IWMPPlaylist**)
  FAKE_UNUSED(getByAuthor, BSTR, IWMPPlaylist**)
  HRESULT STDMETHODCALLTYPE getByAlbum(BSTR album, IWMPPlaylist** items) override;
  HRESULT STDMETHODCALLTYPE getByAttribute(BSTR attribute, BSTR value,
                                           IWMPPlaylist** items) override;
  HRESULT STDMETHODCALLTYPE remove(IWMPMedia* item, VARIANT_BOOL deleteFile) override;
  FAKE_UNUSED(getAttributeStringCollection, BSTR, BSTR, IWMPStringCollection**)
  FAKE_UNUSED(getMediaAtom, BSTR, LONG*)
  FAKE_UNUSED(setDeleted, IWMPMedia*, VARIANT_BOOL)
  FAKE_UNUSED(isDeleted, IWMPMedia*, VARIANT_BOOL*)

 private:
  Player& player_;
};

class PlaylistCollection : public Fake<IWMPPlaylistCollection> {
 public:
  explicit PlaylistCollection(Player& player) : player_(player) {}
  HRESULT STDMETHODCALLTYPE newPlaylist(BSTR name, IWMPPlaylist** playlist) override;
  HRESULT STDMETHODCALLTYPE getAll(IWMPPlaylistArray** playlists) override;
  HRESULT STDMETHODCALLTYPE getByName(BSTR name, IWMPPlaylistArray** playlists) override;
  HRESULT STDMETHODCALLTYPE remove(IWMPPlaylist* playlist) override;
  FAKE_UNUSED(setDeleted, IWMPPlaylist*, VARIANT_BOOL)
  FAKE_UNUSED(isDeleted, IWMPPlaylist*, VARIANT_BOOL*)
  FAKE_UNUSED(importPlaylist, IWMPPlaylist*, IWMPPlaylist**)

 private:
  Player& player_;
};

// --- CD drive --------------------------------------------------------------

class Cdrom : public Fake<IWMPCdrom, IWMPCdromRip> {
 public:
  Cdrom(Player& player, std::wstring driveLetter) : drive(std::move(driveLetter)), player_(player) {}
  HRESULT STDMETHODCALLTYPE get_driveSpecifier(BSTR* out) override { return Give(drive, out); }
  HRESULT STDMETHODCALLTYPE get_Playlist(IWMPPlaylist** playlist) override;
  HRESULT STDMETHODCALLTYPE eject() override;
  HRESULT STDMETHODCALLTYPE get_ripState(WMPRipState* state) override;
  HRESULT STDMETHODCALLTYPE get_ripProgress(LONG* progress) override;
  // Marks the first track as being ripped and says so at once (MediaChange
  // from inside the call), in the control's own words.
  HRESULT STDMETHODCALLTYPE startRip() override;
  HRESULT STDMETHODCALLTYPE stopRip() override;

  std::wstring drive;
  ComPtr<Playlist> disc;
  WMPRipState ripState = wmprsUnknown;
  LONG ripProgress = 0;
  int ejects = 0;
  bool ripFace = true;

 protected:
  void* Face(REFIID iid) override;

 private:
  Player& player_;
};

class CdromCollection : public Fake<IWMPCdromCollection> {
 public:
  HRESULT STDMETHODCALLTYPE get_count(LONG* count) override;
  HRESULT STDMETHODCALLTYPE Item(LONG index, IWMPCdrom** drive) override;
  FAKE_UNUSED(getByDriveSpecifier, BSTR, IWMPCdrom**)
  std::vector<ComPtr<Cdrom>> drives;
};

// --- players ---------------------------------------------------------------

class SyncDevice : public Fake<IWMPSyncDevice> {
 public:
  SyncDevice(Player& player, std::wstring name) : friendly(std::move(name)), player_(player) {}
  HRESULT STDMETHODCALLTYPE get_friendlyName(BSTR* out) override { return Give(friendly, out); }
  FAKE_UNUSED(put_friendlyName, BSTR)
  HRESULT STDMETHODCALLTYPE get_deviceName(BSTR* out) override { return Give(deviceName, out); }
  HRESULT STDMETHODCALLTYPE get_deviceId(BSTR* out) override { return Give(deviceId, out); }
  HRESULT STDMETHODCALLTYPE get_partnershipIndex(LONG* index) override;
  HRESULT STDMETHODCALLTYPE get_connected(VARIANT_BOOL* connected) override;
  HRESULT STDMETHODCALLTYPE get_status(WMPDeviceStatus* value) override;
  HRESULT STDMETHODCALLTYPE get_syncState(WMPSyncState* state) override;
  HRESULT STDMETHODCALLTYPE get_progress(LONG* percent) override;
  HRESULT STDMETHODCALLTYPE getItemInfo(BSTR attribute, BSTR* value) override;
  // Partnership 3 at once, CreatePartnershipComplete from inside the call.
  HRESULT STDMETHODCALLTYPE createPartnership(VARIANT_BOOL showUi) override;
  HRESULT STDMETHODCALLTYPE deletePartnership() override;
  // Synchronizing, DeviceSyncStateChange 1 from inside the call.
  HRESULT STDMETHODCALLTYPE start() override;
  // Stopped, DeviceSyncStateChange 2 from inside the call.
  HRESULT STDMETHODCALLTYPE stop() override;
  FAKE_UNUSED0(showSettings)
  HRESULT STDMETHODCALLTYPE isIdentical(IWMPSyncDevice* other, VARIANT_BOOL* same) override;

  std::wstring friendly;
  std::wstring deviceName = L"Orbit Digital Audio";
  std::wstring deviceId = L"USB#VID_1234&PID_0001#SERIAL0001";
  std::map<std::wstring, std::wstring> info;
  LONG partnership = 0;
  WMPDeviceStatus status = wmpdsNewDevice;
  WMPSyncState syncState = wmpssStopped;
  LONG progress = 0;
  bool connected = true;
  int partnershipUiRequests = 0;
  int deletions = 0;
  int failDeletions = 0;

 private:
  Player& player_;
};

class Controls : public Fake<IWMPControls> {
 public:
  FAKE_UNUSED(get_isAvailable, BSTR, VARIANT_BOOL*)
  FAKE_UNUSED0(play)
  HRESULT STDMETHODCALLTYPE stop() override;
  FAKE_UNUSED0(pause)
  FAKE_UNUSED0(fastForward)
  FAKE_UNUSED0(fastReverse)
  FAKE_UNUSED(get_currentPosition, double*)
  FAKE_UNUSED(put_currentPosition, double)
  FAKE_UNUSED(get_currentPositionString, BSTR*)
  FAKE_UNUSED0(next)
  FAKE_UNUSED0(previous)
  FAKE_UNUSED(currentItem, IWMPMedia**)
  FAKE_UNUSED(put_currentItem, IWMPMedia*)
  FAKE_UNUSED(get_currentMarker, LONG*)
  FAKE_UNUSED(put_currentMarker, LONG)
  FAKE_UNUSED(playItem, IWMPMedia*)
  int stops = 0;
};

// --- events ----------------------------------------------------------------

class ConnectionPoint : public Fake<IConnectionPoint> {
 public:
  ConnectionPoint(IConnectionPointContainer& owner, const IID& events)
      : iid(events), owner_(owner) {}
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* out) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  FAKE_UNUSED(EnumConnections, IEnumConnections**)

  IID iid;
  std::map<DWORD, ComPtr<IUnknown>> sinks;

 private:
  IConnectionPointContainer& owner_;
  DWORD next_ = 1;
};

// --- the player ------------------------------------------------------------

class Player : public Fake<IWMPPlayer4, IConnectionPointContainer, IWMPSyncServices,
                           IWMPPlayerServices, IOleObject> {
 public:
  // `events2` false: only the dispatch connection point _WMPOCXEvents.
  explicit Player(bool events2 = true);
  ~Player() override;

  // IWMPCore
  HRESULT STDMETHODCALLTYPE close() override;
  FAKE_UNUSED(get_URL, BSTR*)
  FAKE_UNUSED(put_URL, BSTR)
  FAKE_UNUSED(get_openState, WMPOpenState*)
  FAKE_UNUSED(get_playState, WMPPlayState*)
  HRESULT STDMETHODCALLTYPE get_controls(IWMPControls** out) override;
  FAKE_UNUSED(get_settings, IWMPSettings**)
  FAKE_UNUSED(get_currentMedia, IWMPMedia**)
  FAKE_UNUSED(put_currentMedia, IWMPMedia*)
  HRESULT STDMETHODCALLTYPE get_mediaCollection(IWMPMediaCollection** out) override;
  HRESULT STDMETHODCALLTYPE get_playlistCollection(IWMPPlaylistCollection** out) override;
  HRESULT STDMETHODCALLTYPE get_versionInfo(BSTR* out) override { return Give(version, out); }
  FAKE_UNUSED(launchURL, BSTR)
  FAKE_UNUSED(get_network, IWMPNetwork**)
  FAKE_UNUSED(get_currentPlaylist, IWMPPlaylist**)
  FAKE_UNUSED(put_currentPlaylist, IWMPPlaylist*)
  HRESULT STDMETHODCALLTYPE get_cdromCollection(IWMPCdromCollection** out) override;
  FAKE_UNUSED(get_closedCaption, IWMPClosedCaption**)
  FAKE_UNUSED(get_isOnline, VARIANT_BOOL*)
  FAKE_UNUSED(get_Error, IWMPError**)
  FAKE_UNUSED(get_status, BSTR*)
  // IWMPCore2, IWMPCore3
  FAKE_UNUSED(get_dvd, IWMPDVD**)
  FAKE_UNUSED(newPlaylist, BSTR, BSTR, IWMPPlaylist**)
  HRESULT STDMETHODCALLTYPE newMedia(BSTR url, IWMPMedia** out) override;
  // IWMPPlayer4
  FAKE_UNUSED(get_enabled, VARIANT_BOOL*)
  FAKE_UNUSED(put_enabled, VARIANT_BOOL)
  FAKE_UNUSED(get_fullScreen, VARIANT_BOOL*)
  FAKE_UNUSED(put_fullScreen, VARIANT_BOOL)
  FAKE_UNUSED(get_enableContextMenu, VARIANT_BOOL*)
  FAKE_UNUSED(put_enableContextMenu, VARIANT_BOOL)
  FAKE_UNUSED(put_uiMode, BSTR)
  FAKE_UNUSED(get_uiMode, BSTR*)
  FAKE_UNUSED(get_stretchToFit, VARIANT_BOOL*)
  FAKE_UNUSED(put_stretchToFit, VARIANT_BOOL)
  FAKE_UNUSED(get_windowlessVideo, VARIANT_BOOL*)
  FAKE_UNUSED(put_windowlessVideo, VARIANT_BOOL)
  HRESULT STDMETHODCALLTYPE get_isRemote(VARIANT_BOOL* remote) override;
  FAKE_UNUSED(get_playerApplication, IWMPPlayerApplication**)
  FAKE_UNUSED(openPlayer, BSTR)
  // IConnectionPointContainer
  FAKE_UNUSED(EnumConnectionPoints, IEnumConnectionPoints**)
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
  // IWMPSyncServices
  HRESULT STDMETHODCALLTYPE get_deviceCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE getDevice(LONG index, IWMPSyncDevice** device) override;
  // IWMPPlayerServices
  FAKE_UNUSED(activateUIPlugin, BSTR)
  HRESULT STDMETHODCALLTYPE setTaskPane(BSTR task) override;
  FAKE_UNUSED(setTaskPaneURL, BSTR, BSTR, BSTR)
  // IOleObject: what a container does to activate the control.
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  FAKE_UNUSED(SetHostNames, LPCOLESTR, LPCOLESTR)
  HRESULT STDMETHODCALLTYPE Close(DWORD option) override;
  FAKE_UNUSED(SetMoniker, DWORD, IMoniker*)
  FAKE_UNUSED(GetMoniker, DWORD, DWORD, IMoniker**)
  FAKE_UNUSED(InitFromData, IDataObject*, BOOL, DWORD)
  FAKE_UNUSED(GetClipboardData, DWORD, IDataObject**)
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* site, LONG index,
                                   HWND parent, LPCRECT position) override;
  FAKE_UNUSED(EnumVerbs, IEnumOLEVERB**)
  FAKE_UNUSED0(Update)
  FAKE_UNUSED0(IsUpToDate)
  FAKE_UNUSED(GetUserClassID, CLSID*)
  FAKE_UNUSED(GetUserType, DWORD, LPOLESTR*)
  FAKE_UNUSED(SetExtent, DWORD, SIZEL*)
  FAKE_UNUSED(GetExtent, DWORD, SIZEL*)
  FAKE_UNUSED(Advise, IAdviseSink*, DWORD*)
  FAKE_UNUSED(Unadvise, DWORD)
  FAKE_UNUSED(EnumAdvise, IEnumSTATDATA**)
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  FAKE_UNUSED(SetColorScheme, LOGPALETTE*)

  // Raised on every advised sink: through the IWMPEvents2 vtable, or
  // through Invoke on the dispatch connection point.
  void RaiseMediaChange(Media* item);
  void RaiseCdromMediaChange(LONG index);
  void RaisePlaylistCollectionChange();
  void RaiseCreatePartnershipComplete(SyncDevice* device, HRESULT result);
  void RaiseDeviceSyncStateChange(SyncDevice* device, WMPSyncState state);
  void RaiseDeviceSyncError(SyncDevice* device, Media* item);
  // Sinks advised on either point.
  size_t SinkCount() const;

  // The library: every item, playlists as items of MediaType "playlist".
  Media* AddItem(const std::wstring& name, const std::wstring& url,
                 std::map<std::wstring, std::wstring> info);
  Playlist* FindPlaylist(const std::wstring& name);

  std::wstring version = L"11.0.5721.5145";
  HRESULT cdromResult = S_OK;
  bool syncServices = true;
  std::vector<ComPtr<Media>> library;
  std::vector<ComPtr<Playlist>> playlists;
  std::vector<std::pair<std::wstring, bool>> removals;  // item name, delete file
  ComPtr<CdromCollection> cdroms;
  std::vector<ComPtr<SyncDevice>> devices;
  ComPtr<Controls> controls;
  std::vector<std::wstring> taskPanes;
  int closes = 0;
  // Runs a message loop of its own inside createPartnership, after raising
  // its event (as a control showing progress might).
  bool pumpInsideCalls = false;
  // What the container did.
  ComPtr<IOleClientSite> site;
  std::wstring hostServiceType;
  std::wstring hostApplicationName;
  LONG activationVerb = 0;
  HWND activationWindow = nullptr;
  bool activated = false;
  bool oleClosed = false;

 protected:
  void* Face(REFIID iid) override;

 private:
  template <class Direct, class Dispatch>
  void Raise(Direct direct, DISPID id, Dispatch fill, UINT count);

  ComPtr<ConnectionPoint> events2_;
  ComPtr<ConnectionPoint> ocxEvents_;
};

#pragma GCC diagnostic pop

}  // namespace fake
