#pragma once
// Our device manager: it knows the players that the engine keeps without a
// drive letter (device name containing "ORBIT Audio"), as the engine's sync
// services list them. The manufacturer is the device name's first word, the
// friendly name the engine's, and each device has one storage whose sizes
// are the engine's "TotalSpace" and "FreeSpace".
#include "common/player_context.h"
#include "device/device_manager.h"

namespace device {

class EngineDeviceManagerSource : public IDeviceManagerSource {
 public:
  // The player bound in `context` when Open is called is the one asked.
  explicit EngineDeviceManagerSource(const common::PlayerContext& context) : context_(context) {}
  wmp::HResult Open(DeviceManagerPtr* manager) override;

 private:
  const common::PlayerContext& context_;
};

// The manager of a player's devices; with a null player it knows none.
DeviceManagerPtr MakeEngineDeviceManager(wmp::PlayerPtr player);

}  // namespace device
