#pragma once
// Hosts the platform's player control, the installed engine, as an ActiveX
// control in remote mode: an invisible child window of the main window, the
// container site of control_site.h (through which the control reaches the
// remote host), the control activated in place there, and its IWMPPlayer4.
// Everything is let go in the destructor: the control is closed and loses
// its site before the window goes.
#include <windows.h>

#include <functional>
#include <memory>

#include "engine/win32/com_remote_host.h"
#include "engine/win32/control_site.h"
#include "engine/win32/wmp_interfaces.h"

namespace engine::win32 {

// OLE on the calling thread while it lives, balanced; harmless when the
// application has initialised it already.
class OleApartment {
 public:
  OleApartment() : result_(OleInitialize(nullptr)) {}
  ~OleApartment() {
    if (SUCCEEDED(result_)) OleUninitialize();
  }
  OleApartment(const OleApartment&) = delete;
  OleApartment& operator=(const OleApartment&) = delete;
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

// Makes the control object; the installed one comes from CreateInstalledControl.
using ControlFactory = std::function<HRESULT(ComPtr<IUnknown>* control)>;

class ControlHost {
 public:
  // The platform's player control by its class {6BF52A52-394A-11d3-B153-00C04F79FAA6}.
  static HRESULT CreateInstalledControl(ComPtr<IUnknown>* control);

  // The host window covers `area` of `parent` and is never shown. The site
  // exists before `factory` makes the control. Null with the failing
  // step's result in `result` when a step fails; everything made so far is
  // let go.
  static std::unique_ptr<ControlHost> Create(HWND parent, const RECT& area,
                                             ComPtr<ComRemoteHost> remoteHost,
                                             const ControlFactory& factory, HRESULT* result);
  ~ControlHost();
  ControlHost(const ControlHost&) = delete;
  ControlHost& operator=(const ControlHost&) = delete;

  HWND Window() const { return window_; }
  // A new reference on the control's player face.
  ComPtr<IWMPPlayer4> Player() const { return ComPtr<IWMPPlayer4>::Share(player_.Get()); }
  const ComControlSite& Site() const { return *site_.Get(); }

 private:
  ControlHost() = default;
  HRESULT Open(HWND parent, const RECT& area, ComPtr<ComRemoteHost> remoteHost,
               const ControlFactory& factory);

  HWND window_ = nullptr;
  ComPtr<ComControlSite> site_;
  ComPtr<IOleObject> control_;
  ComPtr<IWMPPlayer4> player_;
  bool siteGiven_ = false;
};

}  // namespace engine::win32
