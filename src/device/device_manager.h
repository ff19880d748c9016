#pragma once
// The device manager as the player access sees it: devices with their
// manufacturer text, friendly name and storages with total and free size,
// enumerated one at a time. The results follow the platform's manager
// (HRESULT-like codes, kFalse at the end of an enumeration).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/model/result.h"

namespace device {

// What a storage's globals tell of its size; either may be missing.
struct StorageSize {
  bool hasTotal = false;
  bool hasFree = false;
  std::uint64_t totalBytes = 0;
  std::uint64_t freeBytes = 0;
};

class IManagedDevice {
 public:
  virtual ~IManagedDevice() = default;
  // Callers read the manufacturer text into a buffer of this many
  // characters, its terminator included.
  static constexpr std::size_t kManufacturerChars = 100;
  virtual wmp::HResult GetManufacturer(std::wstring* text) = 0;
  // The property "WMDM/DeviceFriendlyName"; fails for a device that does
  // not offer the property face.
  virtual wmp::HResult GetFriendlyName(std::wstring* name) = 0;
  // The device's storages in order.
  virtual wmp::HResult EnumStorage(std::vector<StorageSize>* storages) = 0;
};
using ManagedDevicePtr = std::shared_ptr<IManagedDevice>;

class IManagedDeviceEnum {
 public:
  virtual ~IManagedDeviceEnum() = default;
  // The next device, or kFalse (and null) after the last one.
  virtual wmp::HResult Next(ManagedDevicePtr* device) = 0;
};
using ManagedDeviceEnumPtr = std::shared_ptr<IManagedDeviceEnum>;

class IDeviceManager {
 public:
  virtual ~IDeviceManager() = default;
  virtual wmp::HResult EnumDevices(ManagedDeviceEnumPtr* devices) = 0;
};
using DeviceManagerPtr = std::shared_ptr<IDeviceManager>;

// Opens the manager: creates it, authenticates to it and asks for the face
// the tool reads. A failed authentication alone does not fail the open.
class IDeviceManagerSource {
 public:
  virtual ~IDeviceManagerSource() = default;
  virtual wmp::HResult Open(DeviceManagerPtr* manager) = 0;
};

}  // namespace device
