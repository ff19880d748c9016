#pragma once
// The platform player's published interfaces that the tool's COM faces
// implement or call. MinGW-w64 declares most of them (wmp.h: the player,
// its collections, CD drives, media, playlists, sync devices and events;
// servprov.h: IServiceProvider) and the dispatch ids of the core and control
// events (wmpids.h). What it lacks is declared here from the platform's
// documentation: the dispatch ids of the IWMPEvents2 device events and the
// two interfaces a remoted control answers to QueryInterface on the player,
// IWMPSyncServices and IWMPPlayerServices.
#include <windows.h>
#include <ole2.h>
#include <servprov.h>
#include <wmp.h>
#include <wmpids.h>

// _WMPOCXEvents: device events (IWMPEvents2), in their published order.
#ifndef DISPID_WMPOCXEVENT_DEVICECONNECT
#define DISPID_WMPOCXEVENT_DEVICECONNECT 6513
#define DISPID_WMPOCXEVENT_DEVICEDISCONNECT 6514
#define DISPID_WMPOCXEVENT_DEVICESTATUSCHANGE 6515
#define DISPID_WMPOCXEVENT_DEVICESYNCSTATECHANGE 6516
#define DISPID_WMPOCXEVENT_DEVICESYNCERROR 6517
#define DISPID_WMPOCXEVENT_CREATEPARTNERSHIPCOMPLETE 6518
#endif

// Published interfaces: released through Release, never deleted.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

#ifndef __IWMPSyncServices_INTERFACE_DEFINED__
#define __IWMPSyncServices_INTERFACE_DEFINED__
// The sync devices the engine knows (connected or partnered before).
MIDL_INTERFACE("8b5050ff-e0a4-4808-b3a8-893a9e1ed894")
IWMPSyncServices : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_deviceCount(LONG* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE getDevice(LONG index, IWMPSyncDevice** device) = 0;
};
__CRT_UUID_DECL(IWMPSyncServices, 0x8b5050ff, 0xe0a4, 0x4808, 0xb3, 0xa8, 0x89, 0x3a, 0x9e, 0x1e,
                0xd8, 0x94)
#endif

#ifndef __IWMPPlayerServices_INTERFACE_DEFINED__
#define __IWMPPlayerServices_INTERFACE_DEFINED__
// What the host of a remoted control may ask of the full player.
MIDL_INTERFACE("1d01fbdb-ade2-4c8d-9842-c190b95c3306")
IWMPPlayerServices : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE activateUIPlugin(BSTR plugin) = 0;
  virtual HRESULT STDMETHODCALLTYPE setTaskPane(BSTR taskPane) = 0;
  virtual HRESULT STDMETHODCALLTYPE setTaskPaneURL(BSTR taskPane, BSTR url,
                                                   BSTR friendlyName) = 0;
};
__CRT_UUID_DECL(IWMPPlayerServices, 0x1d01fbdb, 0xade2, 0x4c8d, 0x98, 0x42, 0xc1, 0x90, 0xb9,
                0x5c, 0x33, 0x06)
#endif

#pragma GCC diagnostic pop
