#include "mediaengine/devices/partnership_store.h"

#include <cwchar>
#include <vector>

#include "os/reg_key.h"
#include "os/text_encoding.h"

namespace mediaengine {

const wchar_t kPartnershipsKey[] = L"Software\\Marimba\\MediaEngine\\Partnerships";

namespace {

std::wstring ValueName(int index) {
  wchar_t name[8];
  std::swprintf(name, 8, L"%02d", index);
  return name;
}

// The device id holding `index`; empty when the index is free.
std::wstring HolderOf(const os::RegKey& key, int index) {
  if (!key) return std::wstring();
  os::RegType type = os::RegType::None;
  std::vector<std::uint8_t> bytes;
  if (key.QueryBytes(ValueName(index), &type, &bytes) != os::kSuccess || type != os::RegType::String) {
    return std::wstring();
  }
  return os::TextOfRegStringBytes(bytes);
}

}  // namespace

int PartnershipStore::IndexOf(const std::wstring& deviceId) {
  if (deviceId.empty()) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  os::RegKey key = os::RegKey::Open(registry_, os::Hive::CurrentUser, kPartnershipsKey, os::KeyAccess::Read);
  for (int index = 1; index <= kMaxPartnerships && key; ++index) {
    if (HolderOf(key, index) == deviceId) return index;
  }
  return 0;
}

int PartnershipStore::Create(const std::wstring& deviceId, os::ErrorCode* error) {
  *error = os::kSuccess;
  if (deviceId.empty()) {
    *error = os::kErrorInvalidParameter;
    return 0;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  os::RegKey key = os::RegKey::Create(registry_, os::Hive::CurrentUser, kPartnershipsKey,
                                      os::KeyAccess::ReadWrite, error);
  if (!key) return 0;
  int free = 0;
  for (int index = 1; index <= kMaxPartnerships; ++index) {
    const std::wstring holder = HolderOf(key, index);
    if (holder == deviceId) return index;
    if (holder.empty() && free == 0) free = index;
  }
  if (free == 0) {
    *error = os::kErrorAlreadyExists;
    return 0;
  }
  *error = key.SetString(ValueName(free), deviceId);
  return *error == os::kSuccess ? free : 0;
}

bool PartnershipStore::Delete(const std::wstring& deviceId) {
  if (deviceId.empty()) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  os::RegKey key = os::RegKey::Open(registry_, os::Hive::CurrentUser, kPartnershipsKey, os::KeyAccess::ReadWrite);
  if (!key) return false;
  bool deleted = false;
  for (int index = 1; index <= kMaxPartnerships; ++index) {
    if (HolderOf(key, index) == deviceId) {
      deleted |= registry_.DeleteValue(key.Handle(), ValueName(index)) == os::kSuccess;
    }
  }
  return deleted;
}

}  // namespace mediaengine
