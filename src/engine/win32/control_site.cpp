#include "engine/win32/control_site.h"

#include <new>

namespace engine::win32 {

ComPtr<ComControlSite> ComControlSite::Create(HWND window, ComPtr<ComRemoteHost> remoteHost) {
  return ComPtr<ComControlSite>::Adopt(new (std::nothrow)
                                           ComControlSite(window, std::move(remoteHost)));
}

void ComControlSite::Detach() { remoteHost_.Reset(); }

HRESULT ComControlSite::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
    *object = static_cast<IOleClientSite*>(this);
  } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite) ||
             IsEqualIID(iid, IID_IOleInPlaceSiteEx)) {
    *object = static_cast<IOleInPlaceSiteEx*>(this);
  } else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame)) {
    *object = static_cast<IOleInPlaceFrame*>(this);
  } else if (IsEqualIID(iid, IID_IServiceProvider)) {
    *object = static_cast<IServiceProvider*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG ComControlSite::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG ComControlSite::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT ComControlSite::QueryService(REFGUID service, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  ++serviceRequests_;
  if (!remoteHost_) return E_NOINTERFACE;
  return remoteHost_->QueryService(service, iid, object);
}

HRESULT ComControlSite::SaveObject() { return S_OK; }

HRESULT ComControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT ComControlSite::GetContainer(IOleContainer** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}

HRESULT ComControlSite::ShowObject() { return S_OK; }
HRESULT ComControlSite::OnShowWindow(BOOL) { return S_OK; }
HRESULT ComControlSite::RequestNewObjectLayout() { return E_NOTIMPL; }

HRESULT ComControlSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return S_OK;
}

HRESULT ComControlSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT ComControlSite::CanInPlaceActivate() { return S_OK; }
HRESULT ComControlSite::OnInPlaceActivate() { return S_OK; }
HRESULT ComControlSite::OnUIActivate() { return S_OK; }

HRESULT ComControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                         LPRECT position, LPRECT clip,
                                         LPOLEINPLACEFRAMEINFO info) {
  if (!frame || !doc || !position || !clip || !info) return E_POINTER;
  AddRef();
  *frame = static_cast<IOleInPlaceFrame*>(this);
  *doc = nullptr;
  RECT client = {};
  GetClientRect(window_, &client);
  *position = client;
  *clip = client;
  info->fMDIApp = FALSE;
  info->hwndFrame = window_;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

HRESULT ComControlSite::Scroll(SIZE) { return E_NOTIMPL; }
HRESULT ComControlSite::OnUIDeactivate(BOOL) { return S_OK; }
HRESULT ComControlSite::OnInPlaceDeactivate() { return S_OK; }
HRESULT ComControlSite::DiscardUndoState() { return E_NOTIMPL; }
HRESULT ComControlSite::DeactivateAndUndo() { return E_NOTIMPL; }
HRESULT ComControlSite::OnPosRectChange(LPCRECT) { return S_OK; }

HRESULT ComControlSite::OnInPlaceActivateEx(BOOL* noRedraw, DWORD) {
  if (noRedraw) *noRedraw = FALSE;
  return S_OK;
}
HRESULT ComControlSite::OnInPlaceDeactivateEx(BOOL) { return S_OK; }
HRESULT ComControlSite::RequestUIActivate() { return S_FALSE; }

HRESULT ComControlSite::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
HRESULT ComControlSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
HRESULT ComControlSite::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }
HRESULT ComControlSite::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) { return S_OK; }
HRESULT ComControlSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return S_OK; }
HRESULT ComControlSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
HRESULT ComControlSite::RemoveMenus(HMENU) { return S_OK; }
HRESULT ComControlSite::SetStatusText(LPCOLESTR) { return S_OK; }
HRESULT ComControlSite::EnableModeless(BOOL) { return S_OK; }
HRESULT ComControlSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

}  // namespace engine::win32
