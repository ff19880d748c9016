#pragma once
// The engine's sync services: every player storage seen since the engine
// started, in the order first seen, each keeping its position (a device that
// goes away stays listed as not connected). Polling finds storages that came
// or went and raises DeviceConnect / DeviceDisconnect once per change; what
// is there when the engine starts is its state, not a change.
#include <memory>
#include <mutex>
#include <vector>

#include "mediaengine/base/engine_context.h"
#include "mediaengine/devices/partnership_store.h"
#include "mediaengine/devices/sync_device.h"
#include "engine/model/sync.h"

namespace mediaengine {

class DeviceSet : public wmp::ISyncServices {
 public:
  // `drives`: the start's look at the drive letters (shared with the CD drives').
  DeviceSet(EngineContext& context, os::IDrives& drives,
            std::uint32_t chunkBytes = FileCopier::kDefaultChunkBytes);
  ~DeviceSet() override;
  DeviceSet(const DeviceSet&) = delete;
  DeviceSet& operator=(const DeviceSet&) = delete;

  // Looks at `drives` and the registered folders.
  void Poll(os::IDrives& drives);
  // Stops every synchronisation and waits for the workers.
  void Shutdown();
  std::shared_ptr<SyncDevice> DeviceAt(long index) const;

  wmp::HResult DeviceCount(long* count) override;
  wmp::HResult GetDevice(long index, wmp::SyncDevicePtr* device) override;

 private:
  EngineContext& context_;
  const std::uint32_t chunkBytes_;
  PartnershipStore partnerships_;
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<SyncDevice>> devices_;
  bool started_ = false;
};

}  // namespace mediaengine
