#pragma once
// Players (sync devices) of the engine object model.
#include <memory>
#include <string>

#include "engine/model/media.h"

namespace wmp {

// Published values of the engine.
enum class DeviceStatus : long {
  Unknown = 0,
  PartnershipExists = 1,
  PartnershipDeclined = 2,
  PartnershipAnother = 3,
  ManualDevice = 4,
  NewDevice = 5,
};
enum class SyncState : long { Unknown = 0, Synchronizing = 1, Stopped = 2 };

class ISyncDevice {
 public:
  virtual ~ISyncDevice() = default;
  virtual HResult FriendlyName(std::wstring* name) = 0;
  virtual HResult DeviceName(std::wstring* name) = 0;
  virtual HResult DeviceId(std::wstring* id) = 0;
  // 1..16 with a partnership, 0 without.
  virtual HResult PartnershipIndex(long* index) = 0;
  virtual HResult Connected(bool* connected) = 0;
  virtual HResult Status(long* status) = 0;
  virtual HResult SyncState(long* state) = 0;
  // 0..100 while synchronising.
  virtual HResult Progress(long* percent) = 0;
  // "SerialNumber", "FreeSpace", "TotalSpace" (decimal byte counts), ...
  virtual HResult GetItemInfo(const std::wstring& attribute, std::wstring* value) = 0;
  // Asynchronous: CreatePartnershipComplete follows.
  virtual HResult CreatePartnership() = 0;
  virtual HResult DeletePartnership() = 0;
  // Synchronises the library playlists whose "Syncnn" attribute for this
  // device's partnership nn is "1".
  virtual HResult Start() = 0;
  virtual HResult Stop() = 0;
  virtual HResult IsIdentical(ISyncDevice* other, bool* identical) = 0;
};
using SyncDevicePtr = std::shared_ptr<ISyncDevice>;

class ISyncServices {
 public:
  virtual ~ISyncServices() = default;
  virtual HResult DeviceCount(long* count) = 0;
  virtual HResult GetDevice(long index, SyncDevicePtr* device) = 0;
};
using SyncServicesPtr = std::shared_ptr<ISyncServices>;

}  // namespace wmp
