#pragma once
// This PC's partnerships with players: at most 16, each an index 1..16 held
// by one device id, kept under HKEY_CURRENT_USER
// "Software\Marimba\MediaEngine\Partnerships" as REG_SZ values "01".."16"
// whose text is the device id. They outlive the engine, so a player keeps its
// index from one run to the next until the partnership is deleted.
#include <mutex>
#include <string>

#include "os/registry.h"

namespace mediaengine {

extern const wchar_t kPartnershipsKey[];  // "Software\\Marimba\\MediaEngine\\Partnerships"
constexpr int kMaxPartnerships = 16;

class PartnershipStore {
 public:
  explicit PartnershipStore(os::IRegistry& registry) : registry_(registry) {}

  // 1..16, or 0 when the device has no partnership.
  int IndexOf(const std::wstring& deviceId);
  // The device's index, taking the lowest free one when it has none. 0 when
  // all 16 are taken (*error kErrorAlreadyExists) or the registry refuses.
  int Create(const std::wstring& deviceId, os::ErrorCode* error);
  // True when there was a partnership and it is gone.
  bool Delete(const std::wstring& deviceId);

 private:
  os::IRegistry& registry_;
  std::mutex mutex_;
};

}  // namespace mediaengine
