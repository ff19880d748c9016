#include "device/engine_device_manager.h"

#include <utility>

#include "engine/attributes.h"

namespace device {
namespace {

const wchar_t kFolderPlayerMark[] = L"ORBIT Audio";

// A decimal byte count as the engine writes it; false for anything else.
bool ParseBytes(const std::wstring& text, std::uint64_t* bytes) {
  if (text.empty() || text.size() > 19) return false;
  std::uint64_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - L'0');
  }
  *bytes = value;
  return true;
}

class EngineManagedDevice : public IManagedDevice {
 public:
  explicit EngineManagedDevice(wmp::SyncDevicePtr device) : device_(std::move(device)) {}

  wmp::HResult GetManufacturer(std::wstring* text) override {
    if (!text) return wmp::kPointer;
    std::wstring name;
    const wmp::HResult result = device_->DeviceName(&name);
    if (wmp::Failed(result)) return result;
    *text = name.substr(0, name.find(L' '));
    return wmp::kOk;
  }

  wmp::HResult GetFriendlyName(std::wstring* name) override {
    if (!name) return wmp::kPointer;
    return device_->FriendlyName(name);
  }

  wmp::HResult EnumStorage(std::vector<StorageSize>* storages) override {
    if (!storages) return wmp::kPointer;
    storages->clear();
    StorageSize size;
    std::wstring text;
    if (wmp::Succeeded(device_->GetItemInfo(wmp::attr::kTotalSpace, &text))) {
      size.hasTotal = ParseBytes(text, &size.totalBytes);
    }
    if (wmp::Succeeded(device_->GetItemInfo(wmp::attr::kFreeSpace, &text))) {
      size.hasFree = ParseBytes(text, &size.freeBytes);
    }
    storages->push_back(size);
    return wmp::kOk;
  }

 private:
  wmp::SyncDevicePtr device_;
};

class DeviceList : public IManagedDeviceEnum {
 public:
  explicit DeviceList(std::vector<ManagedDevicePtr> devices) : devices_(std::move(devices)) {}

  wmp::HResult Next(ManagedDevicePtr* device) override {
    if (!device) return wmp::kPointer;
    if (next_ >= devices_.size()) {
      device->reset();
      return wmp::kFalse;
    }
    *device = devices_[next_++];
    return wmp::kOk;
  }

 private:
  std::vector<ManagedDevicePtr> devices_;
  std::size_t next_ = 0;
};

class EngineDeviceManager : public IDeviceManager {
 public:
  explicit EngineDeviceManager(wmp::PlayerPtr player) : player_(std::move(player)) {}

  wmp::HResult EnumDevices(ManagedDeviceEnumPtr* devices) override {
    if (!devices) return wmp::kPointer;
    std::vector<ManagedDevicePtr> found;
    engine::SyncServicesRef services;
    if (services.TakeFromPlayer(player_.get())) {
      const long count = services.GetDeviceCount();
      for (long i = 0; i < count; ++i) {
        engine::SyncDeviceRef device;
        if (wmp::Failed(services.GetDevice(i, &device)) || !device.IsConnected()) continue;
        if (device.GetDeviceName().find(kFolderPlayerMark) == std::wstring::npos) continue;
        found.push_back(std::make_shared<EngineManagedDevice>(device.Shared()));
      }
    }
    *devices = std::make_shared<DeviceList>(std::move(found));
    return wmp::kOk;
  }

 private:
  wmp::PlayerPtr player_;
};

}  // namespace

DeviceManagerPtr MakeEngineDeviceManager(wmp::PlayerPtr player) {
  return std::make_shared<EngineDeviceManager>(std::move(player));
}

wmp::HResult EngineDeviceManagerSource::Open(DeviceManagerPtr* manager) {
  if (!manager) return wmp::kPointer;
  *manager = MakeEngineDeviceManager(context_.SharedPlayer());
  return wmp::kOk;
}

}  // namespace device
