#include "engine/win32/control_host.h"

#include <new>

#include "os/win32/helper_window.h"

namespace engine::win32 {
namespace {

constexpr wchar_t kClassName[] = L"MarimbaControlHost";
// {6BF52A52-394A-11d3-B153-00C04F79FAA6}, the platform's player control.
constexpr CLSID kPlayerControl = {0x6bf52a52, 0x394a, 0x11d3,
                                  {0xb1, 0x53, 0x00, 0xc0, 0x4f, 0x79, 0xfa, 0xa6}};

}  // namespace

HRESULT ControlHost::CreateInstalledControl(ComPtr<IUnknown>* control) {
  if (!control) return E_POINTER;
  return CoCreateInstance(kPlayerControl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                          reinterpret_cast<void**>(control->Receive()));
}

std::unique_ptr<ControlHost> ControlHost::Create(HWND parent, const RECT& area,
                                                 ComPtr<ComRemoteHost> remoteHost,
                                                 const ControlFactory& factory, HRESULT* result) {
  std::unique_ptr<ControlHost> host(new (std::nothrow) ControlHost());
  HRESULT hr = host ? host->Open(parent, area, std::move(remoteHost), factory) : E_OUTOFMEMORY;
  if (result) *result = hr;
  if (FAILED(hr)) host.reset();
  return host;
}

HRESULT ControlHost::Open(HWND parent, const RECT& area, ComPtr<ComRemoteHost> remoteHost,
                          const ControlFactory& factory) {
  if (!parent || !remoteHost || !factory) return E_INVALIDARG;
  if (!os::win32::RegisterHelperClass(kClassName, DefWindowProcW)) {
    return HRESULT_FROM_WIN32(GetLastError());
  }
  window_ = CreateWindowExW(WS_EX_TOPMOST, kClassName, L"", WS_CHILD | WS_CLIPCHILDREN, area.left,
                            area.top, area.right - area.left, area.bottom - area.top, parent,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) return HRESULT_FROM_WIN32(GetLastError());
  site_ = ComControlSite::Create(window_, std::move(remoteHost));
  if (!site_) return E_OUTOFMEMORY;

  ComPtr<IUnknown> object;
  HRESULT hr = factory(&object);
  if (FAILED(hr)) return hr;
  control_ = object.Query<IOleObject>();
  if (!control_) return E_NOINTERFACE;

  // A control that asks for it gets its site before it initialises, so a
  // remoted player knows its host from the start.
  DWORD misc = 0;
  if (SUCCEEDED(control_->GetMiscStatus(DVASPECT_CONTENT, &misc)) &&
      (misc & OLEMISC_SETCLIENTSITEFIRST)) {
    hr = control_->SetClientSite(site_->ClientSite());
    if (FAILED(hr)) return hr;
    siteGiven_ = true;
  }
  if (const ComPtr<IPersistStreamInit> persist = object.Query<IPersistStreamInit>()) {
    hr = persist->InitNew();
    if (FAILED(hr)) return hr;
  }
  if (!siteGiven_) {
    hr = control_->SetClientSite(site_->ClientSite());
    if (FAILED(hr)) return hr;
    siteGiven_ = true;
  }
  RECT client = {};
  GetClientRect(window_, &client);
  hr = control_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_->ClientSite(), 0, window_,
                        &client);
  if (FAILED(hr)) return hr;

  player_ = object.Query<IWMPPlayer4>();
  return player_ ? S_OK : E_NOINTERFACE;
}

ControlHost::~ControlHost() {
  player_.Reset();
  if (control_) {
    control_->Close(OLECLOSE_NOSAVE);
    if (siteGiven_) control_->SetClientSite(nullptr);
    control_.Reset();
  }
  if (site_) site_->Detach();
  site_.Reset();
  if (window_) DestroyWindow(window_);
}

}  // namespace engine::win32
