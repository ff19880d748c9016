#include "mediaengine/devices/device_set.h"

namespace mediaengine {

DeviceSet::DeviceSet(EngineContext& context, os::IDrives& drives, std::uint32_t chunkBytes)
    : context_(context), chunkBytes_(chunkBytes), partnerships_(context.registry) {
  Poll(drives);
}

DeviceSet::~DeviceSet() { Shutdown(); }

void DeviceSet::Shutdown() {
  std::vector<std::shared_ptr<SyncDevice>> devices;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    devices = devices_;
  }
  for (const auto& device : devices) device->Shutdown();
}

void DeviceSet::Poll(os::IDrives& drives) {
  const std::vector<DeviceDescription> found =
      FindStorages(context_.files, drives, context_.registry);
  std::vector<std::shared_ptr<SyncDevice>> known;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    known = devices_;
  }
  std::vector<bool> present(known.size(), false);
  for (const DeviceDescription& description : found) {
    std::shared_ptr<SyncDevice> device;
    for (std::size_t i = 0; i < known.size(); ++i) {
      if (known[i]->Key() == description.key) {
        device = known[i];
        present[i] = true;
      }
    }
    if (!device) {
      device = std::make_shared<SyncDevice>(context_, partnerships_, description, chunkBytes_);
      std::lock_guard<std::mutex> lock(mutex_);
      devices_.push_back(device);
    }
    device->Connect(description, started_);
  }
  for (std::size_t i = 0; i < known.size(); ++i) {
    if (!present[i]) known[i]->Disconnect();
  }
  started_ = true;
}

std::shared_ptr<SyncDevice> DeviceSet::DeviceAt(long index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index < 0 || index >= static_cast<long>(devices_.size())) return nullptr;
  return devices_[static_cast<std::size_t>(index)];
}

wmp::HResult DeviceSet::DeviceCount(long* count) {
  if (!count) return wmp::kPointer;
  std::lock_guard<std::mutex> lock(mutex_);
  *count = static_cast<long>(devices_.size());
  return wmp::kOk;
}

wmp::HResult DeviceSet::GetDevice(long index, wmp::SyncDevicePtr* device) {
  if (!device) return wmp::kPointer;
  auto found = DeviceAt(index);
  if (!found) return wmp::kInvalidArg;
  *device = found;
  return wmp::kOk;
}

}  // namespace mediaengine
