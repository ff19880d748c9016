#include "engine/win32/com_remote_host.h"

#include <new>
#include <string>

namespace engine::win32 {

ComPtr<ComRemoteHost> ComRemoteHost::Create(std::shared_ptr<wmp::IRemoteHost> answers) {
  if (!answers) return nullptr;
  return ComPtr<ComRemoteHost>::Adopt(new (std::nothrow) ComRemoteHost(std::move(answers)));
}

HRESULT ComRemoteHost::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IServiceProvider))) {
    *object = static_cast<IServiceProvider*>(this);
  } else if (IsEqualIID(iid, __uuidof(IWMPRemoteMediaServices))) {
    *object = static_cast<IWMPRemoteMediaServices*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG ComRemoteHost::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG ComRemoteHost::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT ComRemoteHost::QueryService(REFGUID, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  return QueryInterface(iid, object);
}

HRESULT ComRemoteHost::Answer(wmp::HResult (wmp::IRemoteHost::*question)(std::wstring*),
                              BSTR* out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  try {
    std::wstring text;
    const HRESULT hr = ((*answers_).*question)(&text);
    if (FAILED(hr)) return hr;
    Bstr answer = Bstr::FromString(text);
    if (!answer) return E_POINTER;
    *out = answer.Detach();
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_POINTER;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT ComRemoteHost::GetServiceType(BSTR* type) {
  return Answer(&wmp::IRemoteHost::GetServiceType, type);
}

HRESULT ComRemoteHost::GetApplicationName(BSTR* name) {
  return Answer(&wmp::IRemoteHost::GetApplicationName, name);
}

HRESULT ComRemoteHost::GetScriptableObject(BSTR* name, IDispatch** object) {
  if (name) *name = nullptr;
  if (object) *object = nullptr;
  return E_NOTIMPL;
}

HRESULT ComRemoteHost::GetCustomUIMode(BSTR*) { return E_NOTIMPL; }

}  // namespace engine::win32
