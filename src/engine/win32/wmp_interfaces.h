#pragma once
// The platform player's published interfaces that the tool's COM faces
// implement or call. MinGW-w64 declares the interfaces themselves (wmp.h:
// IWMPEvents, IWMPEvents2, _WMPOCXEvents, IWMPRemoteMediaServices, IWMPMedia,
// IWMPPlaylist, IWMPSyncDevice; servprov.h: IServiceProvider) and the
// dispatch ids of the core and control events (wmpids.h); the dispatch ids
// of the IWMPEvents2 device events are missing there and are declared here.
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

