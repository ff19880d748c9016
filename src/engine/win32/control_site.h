#pragma once
// The container side of the platform control: its client site, in-place
// site and frame, all on the invisible host window. The control finds the
// remote host through the site's IServiceProvider, which hands every
// service request to the remote host (what ATL's host window does with its
// own site): so the control learns it runs "remote" inside the tool.
//
// Reference counted, used on the host window's thread; nothing thrown
// leaves a method.
#include "engine/win32/com_handles.h"
#include "engine/win32/com_remote_host.h"

namespace engine::win32 {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ComControlSite final : public IOleClientSite,
                             public IOleInPlaceSiteEx,
                             public IOleInPlaceFrame,
                             public IServiceProvider {
 public:
  // One reference for the caller; empty when out of memory.
  static ComPtr<ComControlSite> Create(HWND window, ComPtr<ComRemoteHost> remoteHost);

  IOleClientSite* ClientSite() { return this; }
  // How many times the control came for a service (a remoted control asks).
  int ServiceRequests() const { return serviceRequests_; }
  // Lets go of the remote host once the control is gone.
  void Detach();

  // IUnknown: IUnknown, IOleClientSite, IOleWindow, IOleInPlaceSite,
  // IOleInPlaceSiteEx, IOleInPlaceUIWindow, IOleInPlaceFrame,
  // IServiceProvider. (Wine's control activates in place only in a site
  // with the Ex face; ATL's host has it too.)
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IServiceProvider: whatever the remote host answers.
  HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** object) override;

  // IOleClientSite: nothing is stored, nothing is shown.
  HRESULT STDMETHODCALLTYPE SaveObject() override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
  HRESULT STDMETHODCALLTYPE ShowObject() override;
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override;
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

  // IOleWindow (for the site and the frame): the host window.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;

  // IOleInPlaceSite: activation in place inside the host window.
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnUIActivate() override;
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                             LPRECT position, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE extent) override;
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL undoable) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) override;

  // IOleInPlaceSiteEx: the control redraws as it likes.
  HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL noRedraw) override;
  HRESULT STDMETHODCALLTYPE RequestUIActivate() override;

  // IOleInPlaceUIWindow, IOleInPlaceFrame: no tools, menus or status bar.
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT border) override;
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS widths) override;
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override;
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object,
                                            LPCOLESTR name) override;
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU shared, HOLEMENU descriptor, HWND object) override;
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU shared) override;
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR text) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message, WORD id) override;

 private:
  ComControlSite(HWND window, ComPtr<ComRemoteHost> remoteHost)
      : window_(window), remoteHost_(std::move(remoteHost)) {}
  ~ComControlSite() = default;

  LONG references_ = 1;
  const HWND window_;
  ComPtr<ComRemoteHost> remoteHost_;
  int serviceRequests_ = 0;
};
#pragma GCC diagnostic pop

}  // namespace engine::win32
