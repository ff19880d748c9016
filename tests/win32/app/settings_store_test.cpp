// The settings rules against the real registry of the Wine prefix: the key
// paths (with their trailing backslash), the value types and the
// Wow6432Node location of the machine-wide defaults.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/machine_defaults.h"
#include "controller/settings_store.h"
#include "os/reg_key.h"
#include "os/text_encoding.h"
#include "os/win32/win32_registry.h"
#include "support/saved_registry.h"

namespace {

using os::Hive;
using os::KeyAccess;
using os::RegType;

// The values of one settings key, put back after a test so that the prefix
// is left as it was found.
std::vector<std::wstring> ValueNames() { return {L"First", L"Model", L"AutoSync"}; }

const std::wstring kUserKey = L"Software\\Orbit\\Cadenza";
const std::wstring kMachineKey = L"Software\\Orbit\\Cadenza";
const std::wstring kMachineWowKey = L"Software\\Wow6432Node\\Orbit\\Cadenza";

class SettingsStoreWin32Test : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(user_.Clear()); }

  std::optional<std::uint32_t> Dword(Hive hive, const std::wstring& path,
                                     const std::wstring& name) {
    const os::RegKey key = os::RegKey::Open(registry_, hive, path, KeyAccess::Read);
    std::int32_t value = 0;
    RegType type = RegType::None;
    if (!key || key.QueryDwordBytes(name, &value, &type) != os::kSuccess ||
        type != RegType::Dword) {
      return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
  }

  void Write(Hive hive, const std::wstring& path, const std::wstring& name, std::uint32_t value) {
    const os::RegKey key = os::RegKey::Create(registry_, hive, path, KeyAccess::Write);
    ASSERT_TRUE(key);
    ASSERT_EQ(key.SetDword(name, value), os::kSuccess);
  }

  void WriteString(Hive hive, const std::wstring& path, const std::wstring& name,
                   const std::wstring& text) {
    const os::RegKey key = os::RegKey::Create(registry_, hive, path, KeyAccess::Write);
    ASSERT_TRUE(key);
    ASSERT_EQ(key.SetString(name, text), os::kSuccess);
  }

  os::win32::Win32Registry registry_;
  wine_test::SavedRegistryValues user_{registry_, Hive::CurrentUser, kUserKey, ValueNames()};
};

TEST_F(SettingsStoreWin32Test, FirstRunCreatesTheUserValuesAndTheNextRunFindsThem) {
  controller::SettingsStore store(registry_);
  store.InitDefaults(2, 1);
  EXPECT_TRUE(store.EnsureUserSettings());
  EXPECT_EQ(Dword(Hive::CurrentUser, kUserKey, L"First"), 0u);
  EXPECT_EQ(Dword(Hive::CurrentUser, kUserKey, L"Model"), 2u);
  EXPECT_EQ(Dword(Hive::CurrentUser, kUserKey, L"AutoSync"), 1u);

  controller::SettingsStore next(registry_);
  EXPECT_FALSE(next.EnsureUserSettings());
  EXPECT_EQ(next.ReadModel(true), 2);
  EXPECT_EQ(next.ReadAutoSync(true), 1);
}

TEST_F(SettingsStoreWin32Test, FirstOtherThanDwordZeroRewritesTheUserValues) {
  for (const bool asString : {false, true}) {
    SCOPED_TRACE(asString ? "First as a string" : "First = 1");
    if (asString) {
      WriteString(Hive::CurrentUser, kUserKey, L"First", L"0");
    } else {
      Write(Hive::CurrentUser, kUserKey, L"First", 1);
    }
    Write(Hive::CurrentUser, kUserKey, L"Model", 0);
    controller::SettingsStore store(registry_);
    store.InitDefaults(1, 0);
    EXPECT_TRUE(store.EnsureUserSettings());
    EXPECT_EQ(Dword(Hive::CurrentUser, kUserKey, L"First"), 0u);
    EXPECT_EQ(Dword(Hive::CurrentUser, kUserKey, L"Model"), 1u);
  }
}

TEST_F(SettingsStoreWin32Test, ValuesOfAnotherTypeRead) {
  Write(Hive::CurrentUser, kUserKey, L"First", 0);
  Write(Hive::CurrentUser, kUserKey, L"Model", 2);
  Write(Hive::CurrentUser, kUserKey, L"AutoSync", 0);
  controller::SettingsStore store(registry_);
  ASSERT_EQ(store.ReadModel(true), 2);

  WriteString(Hive::CurrentUser, kUserKey, L"Model", L"2");
  WriteString(Hive::CurrentUser, kUserKey, L"AutoSync", L"0");
  EXPECT_EQ(store.ReadModel(true), 0);
  EXPECT_EQ(store.ReadAutoSync(true), 1);

  // Too long for four bytes: the read fails and the cached value stays.
  Write(Hive::CurrentUser, kUserKey, L"Model", 2);
  ASSERT_EQ(store.ReadModel(true), 2);
  WriteString(Hive::CurrentUser, kUserKey, L"Model", L"12");
  EXPECT_EQ(store.ReadModel(true), 2);
}

TEST_F(SettingsStoreWin32Test, WriteAutoSyncStoresADword) {
  controller::SettingsStore store(registry_);
  store.WriteAutoSync(1);
  EXPECT_EQ(Dword(Hive::CurrentUser, kUserKey, L"AutoSync"), 1u);
  EXPECT_EQ(store.CurrentAutoSync(), 1);
  store.WriteAutoSync(0);
  EXPECT_EQ(store.ReadAutoSync(true), 0);
}

TEST_F(SettingsStoreWin32Test, MachineDefaultsFollowTheOsLevel) {
  wine_test::SavedRegistryValues machine(registry_, Hive::LocalMachine, kMachineKey, ValueNames());
  wine_test::SavedRegistryValues machineWow(registry_, Hive::LocalMachine, kMachineWowKey,
                                            ValueNames());
  if (!os::RegKey::Create(registry_, Hive::LocalMachine, kMachineKey, KeyAccess::Write)) {
    GTEST_SKIP() << "HKLM is not writable here";
  }
  ASSERT_TRUE(machine.Clear());
  ASSERT_TRUE(machineWow.Clear());
  Write(Hive::LocalMachine, kMachineKey, L"Model", 1);
  Write(Hive::LocalMachine, kMachineKey, L"AutoSync", 1);
  Write(Hive::LocalMachine, kMachineWowKey, L"Model", 7);

  struct Case {
    int osLevel;
    std::int32_t model;
    std::int32_t autoSync;
  };
  // The Wow6432Node key has no AutoSync: the field keeps its initial 0.
  const Case cases[] = {{10, 1, 1}, {255, 1, 1}, {11, 7, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "level " << c.osLevel);
    controller::MachineDefaults defaults;
    app::ReadMachineDefaults(registry_, c.osLevel, defaults);
    EXPECT_EQ(defaults.model, c.model);
    EXPECT_EQ(defaults.autoSync, c.autoSync);
  }
}

}  // namespace
