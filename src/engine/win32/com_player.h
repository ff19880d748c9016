#pragma once
// The installed engine's player (the platform control, IWMPPlayer4) seen
// through the engine object model, with its transport controls and player
// services. The engine's collections come out as the objects of
// com_library.h, com_cdrom.h and com_sync_services.h; its events reach a
// sink through the control's connection point (IWMPEvents2, or the
// dispatch interface _WMPOCXEvents where that is missing), the COM event
// sink and the event relay that keeps them in our engine's order.
//
// Lives on the control's (the main window's) thread.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "engine/model/player.h"
#include "engine/win32/control_call.h"
#include "engine/win32/wmp_interfaces.h"

namespace engine::win32 {

class ComEventRelay;

class ComControls final : public wmp::IControls {
 public:
  explicit ComControls(ComPtr<IWMPControls> controls) : controls_(std::move(controls)) {}
  wmp::HResult Stop() override;

 private:
  ControlPtr<IWMPControls> controls_;
};

class ComPlayerServices final : public wmp::IPlayerServices {
 public:
  explicit ComPlayerServices(ComPtr<IWMPPlayerServices> services)
      : services_(std::move(services)) {}
  wmp::HResult SetTaskPane(const std::wstring& task) override;

 private:
  ControlPtr<IWMPPlayerServices> services_;
};

class ComPlayer final : public wmp::IPlayer {
 public:
  explicit ComPlayer(ComPtr<IWMPPlayer4> player) : player_(std::move(player)) {}
  ~ComPlayer() override;
  ComPlayer(const ComPlayer&) = delete;
  ComPlayer& operator=(const ComPlayer&) = delete;

  IWMPPlayer4* Com() const { return player_.Get(); }

  wmp::HResult VersionInfo(std::wstring* version) override;
  wmp::HResult Controls(wmp::ControlsPtr* controls) override;
  // QueryInterface for IWMPPlayerServices (a remoted control answers).
  wmp::HResult Services(wmp::PlayerServicesPtr* services) override;
  wmp::HResult MediaCollection(wmp::MediaCollectionPtr* collection) override;
  wmp::HResult PlaylistCollection(wmp::PlaylistCollectionPtr* collection) override;
  wmp::HResult CdromCollection(wmp::CdromCollectionPtr* collection) override;
  // QueryInterface for IWMPSyncServices (a remoted control answers).
  wmp::HResult SyncServices(wmp::SyncServicesPtr* services) override;
  wmp::HResult NewMedia(const std::wstring& url, wmp::MediaPtr* item) override;
  // Closes the control and silences every advised sink.
  wmp::HResult Close() override;

  wmp::HResult Advise(wmp::PlayerEventsPtr sink, std::uint32_t* cookie) override;
  wmp::HResult Unadvise(std::uint32_t cookie) override;

 private:
  struct Connection {
    ControlPtr<IConnectionPoint> point;
    std::shared_ptr<ComEventRelay> relay;
  };

  ControlPtr<IWMPPlayer4> player_;
  std::map<std::uint32_t, Connection> connections_;
};

}  // namespace engine::win32
