#pragma once
// The site handed to the platform control before it is created: through
// IServiceProvider the control finds IWMPRemoteMediaServices and learns that
// it runs "remote" inside the tool, under the tool's name. The answers come
// from the portable host (engine/remote_host.h).
//
// Reference counted, used on the main window's thread; nothing thrown
// leaves a method.
#include <memory>
#include <utility>

#include "engine/model/player.h"
#include "engine/win32/com_handles.h"
#include "engine/win32/wmp_interfaces.h"

namespace engine::win32 {

// COM objects are destroyed by their own Release, never through an
// interface pointer, so the interfaces' non-virtual destructors are fine.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ComRemoteHost final : public IServiceProvider, public IWMPRemoteMediaServices {
 public:
  // One reference for the caller; empty when out of memory or without answers.
  static ComPtr<ComRemoteHost> Create(std::shared_ptr<wmp::IRemoteHost> answers);

  // The face to give to IObjectWithSite::SetSite.
  IWMPRemoteMediaServices* Services() { return this; }

  // IUnknown: IUnknown, IServiceProvider, IWMPRemoteMediaServices.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IServiceProvider: any service id; the interface as QueryInterface has it.
  HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** object) override;

  // IWMPRemoteMediaServices
  HRESULT STDMETHODCALLTYPE GetServiceType(BSTR* type) override;
  HRESULT STDMETHODCALLTYPE GetApplicationName(BSTR* name) override;
  // No scriptable object and no custom skin: E_NOTIMPL.
  HRESULT STDMETHODCALLTYPE GetScriptableObject(BSTR* name, IDispatch** object) override;
  HRESULT STDMETHODCALLTYPE GetCustomUIMode(BSTR* file) override;

 private:
  explicit ComRemoteHost(std::shared_ptr<wmp::IRemoteHost> answers)
      : answers_(std::move(answers)) {}
  ~ComRemoteHost() = default;

  HRESULT Answer(wmp::HResult (wmp::IRemoteHost::*question)(std::wstring*), BSTR* out) noexcept;

  LONG references_ = 1;
  const std::shared_ptr<wmp::IRemoteHost> answers_;
};
#pragma GCC diagnostic pop

}  // namespace engine::win32
