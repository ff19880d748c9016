#include "controller/settings_store.h"

#include "os/reg_key.h"

namespace controller {

const wchar_t kSettingsKeyPath[] = L"Software\\Orbit\\Cadenza\\";
const wchar_t kSettingsKeyPathWow64[] = L"Software\\Wow6432Node\\Orbit\\Cadenza\\";
const wchar_t kValueModel[] = L"Model";
const wchar_t kValueAutoSync[] = L"AutoSync";
const wchar_t kValueFirst[] = L"First";

void SettingsStore::InitDefaults(std::int32_t model, std::int32_t autoSync) {
  defaultModel_ = model;
  defaultAutoSync_ = autoSync;
}

bool SettingsStore::EnsureUserSettings() {
  {
    const os::RegKey key = os::RegKey::Open(registry_, os::Hive::CurrentUser, kSettingsKeyPath,
                                            os::KeyAccess::Read);
    if (key) {
      std::int32_t first = 1;
      os::RegType type = os::RegType::None;
      if (key.QueryDwordBytes(kValueFirst, &first, &type) == os::kSuccess &&
          type == os::RegType::Dword && first == 0) {
        return false;
      }
    }
  }
  const os::RegKey key = os::RegKey::Create(registry_, os::Hive::CurrentUser, kSettingsKeyPath,
                                            os::KeyAccess::Write);
  if (!key) return true;
  key.SetDword(kValueFirst, 0);
  if (key.SetDword(kValueModel, static_cast<std::uint32_t>(defaultModel_)) == os::kSuccess) {
    currentModel_ = defaultModel_;
  }
  if (key.SetDword(kValueAutoSync, static_cast<std::uint32_t>(defaultAutoSync_)) ==
      os::kSuccess) {
    currentAutoSync_ = defaultAutoSync_;
  }
  return true;
}

void SettingsStore::ReadUserValue(const wchar_t* name, std::int32_t wrongTypeValue,
                                  std::int32_t* cached) {
  const os::RegKey key =
      os::RegKey::Open(registry_, os::Hive::CurrentUser, kSettingsKeyPath, os::KeyAccess::Read);
  if (!key) return;
  os::RegType type = os::RegType::None;
  // The query writes straight into the cache; a failed one (missing, or
  // longer than four bytes) leaves it as it was.
  if (key.QueryDwordBytes(name, cached, &type) == os::kSuccess && type != os::RegType::Dword) {
    *cached = wrongTypeValue;
  }
}

std::int32_t SettingsStore::ReadModel(bool reload) {
  if (reload) ReadUserValue(kValueModel, 0, &currentModel_);
  return currentModel_;
}

std::int32_t SettingsStore::ReadAutoSync(bool reload) {
  // An AutoSync of another type counts as switched on.
  if (reload) ReadUserValue(kValueAutoSync, 1, &currentAutoSync_);
  return currentAutoSync_;
}

void SettingsStore::WriteAutoSync(std::int32_t value) {
  const os::RegKey key = os::RegKey::Create(registry_, os::Hive::CurrentUser, kSettingsKeyPath,
                                            os::KeyAccess::Write);
  if (!key) return;
  if (key.SetDword(kValueAutoSync, static_cast<std::uint32_t>(value)) == os::kSuccess) {
    currentAutoSync_ = value;
  }
}

}  // namespace controller
