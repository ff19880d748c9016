#pragma once
// The installed engine's sync services seen through the engine object
// model; its devices come out as ComSyncDeviceView (com_object_views.h).
#include "engine/model/sync.h"
#include "engine/win32/control_call.h"
#include "engine/win32/wmp_interfaces.h"

namespace engine::win32 {

class ComSyncServices final : public wmp::ISyncServices {
 public:
  explicit ComSyncServices(ComPtr<IWMPSyncServices> services) : services_(std::move(services)) {}

  wmp::HResult DeviceCount(long* count) override;
  wmp::HResult GetDevice(long index, wmp::SyncDevicePtr* device) override;

 private:
  ControlPtr<IWMPSyncServices> services_;
};

}  // namespace engine::win32
