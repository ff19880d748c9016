#include "controller/settings_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/machine_defaults.h"
#include "fakes/fake_registry.h"
#include "os/text_encoding.h"

namespace {

using os::Hive;
using os::RegType;

const std::wstring kUserKey = L"Software\\Orbit\\Cadenza";
const std::wstring kMachineKey = L"Software\\Orbit\\Cadenza";
const std::wstring kMachineWowKey = L"Software\\Wow6432Node\\Orbit\\Cadenza";

class SettingsStoreTest : public ::testing::Test {
 protected:
  SettingsStoreTest() {
    // As for a standard user: the machine-wide settings are read-only.
    registry_.DenyAccess(Hive::LocalMachine, L"Software", fakes::FakeRegistry::Denial::Writing);
  }
  void TearDown() override {
    EXPECT_EQ(registry_.OpenHandleCount(), 0) << "every opened key is closed";
    EXPECT_EQ(registry_.BadCloseCount(), 0);
  }

  std::optional<std::uint32_t> UserDword(const std::wstring& name) const {
    std::uint32_t value = 0;
    if (!registry_.PeekDword(Hive::CurrentUser, kUserKey, name, &value)) return std::nullopt;
    return value;
  }

  fakes::FakeRegistry registry_;
  controller::SettingsStore store_{registry_};
};

TEST_F(SettingsStoreTest, FirstRunCreatesTheUserValuesFromTheDefaults) {
  store_.InitDefaults(2, 1);
  EXPECT_TRUE(store_.EnsureUserSettings());
  EXPECT_EQ(UserDword(L"First"), 0u);
  EXPECT_EQ(UserDword(L"Model"), 2u);
  EXPECT_EQ(UserDword(L"AutoSync"), 1u);
  EXPECT_EQ(store_.CurrentModel(), 2);
  EXPECT_EQ(store_.CurrentAutoSync(), 1);

  // The next run finds them.
  controller::SettingsStore next(registry_);
  next.InitDefaults(0, 0);
  EXPECT_FALSE(next.EnsureUserSettings());
  EXPECT_EQ(next.CurrentModel(), 0) << "nothing is read until asked";
  EXPECT_EQ(next.ReadModel(true), 2);
  EXPECT_EQ(next.ReadAutoSync(true), 1);
}

TEST_F(SettingsStoreTest, UserValuesAreRewrittenUnlessFirstIsDwordZero) {
  struct Case {
    const char* name;
    RegType type;  // None: no "First" value
    std::vector<std::uint8_t> first;
    bool rewritten;
  };
  const Case cases[] = {
      {"first absent", RegType::None, {}, true},
      {"First = 1", RegType::Dword, {1, 0, 0, 0}, true},
      {"First as string \"0\"", RegType::String, os::RegStringBytes(L"0"), true},
      {"First as four zero bytes of binary", RegType::Binary, {0, 0, 0, 0}, true},
      {"First as a long string", RegType::String, os::RegStringBytes(L"000"), true},
      {"First = 0", RegType::Dword, {0, 0, 0, 0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeRegistry registry;
    registry.SeedDword(Hive::CurrentUser, kUserKey, L"Model", 1);
    registry.SeedDword(Hive::CurrentUser, kUserKey, L"AutoSync", 0);
    if (c.type != RegType::None) registry.Seed(Hive::CurrentUser, kUserKey, L"First", c.type, c.first);
    controller::SettingsStore store(registry);
    store.InitDefaults(2, 1);
    EXPECT_EQ(store.EnsureUserSettings(), c.rewritten);
    std::uint32_t model = 0, autoSync = 0, first = 99;
    ASSERT_TRUE(registry.PeekDword(Hive::CurrentUser, kUserKey, L"Model", &model));
    ASSERT_TRUE(registry.PeekDword(Hive::CurrentUser, kUserKey, L"AutoSync", &autoSync));
    EXPECT_EQ(model, c.rewritten ? 2u : 1u);
    EXPECT_EQ(autoSync, c.rewritten ? 1u : 0u);
    EXPECT_EQ(store.CurrentModel(), c.rewritten ? 2 : 0);
    if (c.rewritten) {
      ASSERT_TRUE(registry.PeekDword(Hive::CurrentUser, kUserKey, L"First", &first));
      EXPECT_EQ(first, 0u);
    }
    EXPECT_EQ(registry.OpenHandleCount(), 0);
  }
}

TEST_F(SettingsStoreTest, UnwritableUserKeyStillAsksForTheSettings) {
  // The key exists and reads, but cannot be written.
  registry_.SeedDword(Hive::CurrentUser, kUserKey, L"First", 1);
  registry_.DenyAccess(Hive::CurrentUser, kUserKey, fakes::FakeRegistry::Denial::Writing);
  store_.InitDefaults(2, 1);
  EXPECT_TRUE(store_.EnsureUserSettings());
  EXPECT_EQ(UserDword(L"First"), 1u);
  EXPECT_EQ(UserDword(L"Model"), std::nullopt);
  EXPECT_EQ(store_.CurrentModel(), 0);
  EXPECT_EQ(store_.CurrentAutoSync(), 0);
}

TEST_F(SettingsStoreTest, MachineModelSevenIsCopiedUnchanged) {
  registry_.SeedDword(Hive::LocalMachine, kMachineKey, L"Model", 7);
  controller::MachineDefaults defaults;
  app::ReadMachineDefaults(registry_, 10, defaults);
  EXPECT_EQ(defaults.model, 7);
  store_.InitDefaults(defaults.model, defaults.autoSync);
  EXPECT_TRUE(store_.EnsureUserSettings());
  EXPECT_EQ(UserDword(L"Model"), 7u);
  EXPECT_EQ(store_.ReadModel(true), 7);
}

// What a per-user value reads as, after an earlier read cached 5.
TEST_F(SettingsStoreTest, ReadingTheUserValues) {
  struct Case {
    const char* name;
    RegType type;  // None: value deleted
    std::vector<std::uint8_t> stored;
    std::int32_t model;
    std::int32_t autoSync;
  };
  const Case cases[] = {
      {"DWORD 2", RegType::Dword, {2, 0, 0, 0}, 2, 2},
      {"DWORD 0", RegType::Dword, {0, 0, 0, 0}, 0, 0},
      {"short string", RegType::String, os::RegStringBytes(L"2"), 0, 1},
      {"empty string", RegType::String, os::RegStringBytes(L""), 0, 1},
      {"two bytes of binary", RegType::Binary, {1, 0}, 0, 1},
      // Longer than four bytes: the read fails and the cache stays.
      {"long string", RegType::String, os::RegStringBytes(L"12"), 5, 5},
      {"deleted", RegType::None, {}, 5, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeRegistry registry;
    registry.SeedDword(Hive::CurrentUser, kUserKey, L"First", 0);
    registry.SeedDword(Hive::CurrentUser, kUserKey, L"Model", 5);
    registry.SeedDword(Hive::CurrentUser, kUserKey, L"AutoSync", 5);
    controller::SettingsStore store(registry);
    ASSERT_EQ(store.ReadModel(true), 5);
    ASSERT_EQ(store.ReadAutoSync(true), 5);
    for (const wchar_t* name : {L"Model", L"AutoSync"}) {
      if (c.type == RegType::None) {
        registry.RemoveValue(Hive::CurrentUser, kUserKey, name);
      } else {
        registry.Seed(Hive::CurrentUser, kUserKey, name, c.type, c.stored);
      }
    }
    EXPECT_EQ(store.ReadModel(true), c.model);
    EXPECT_EQ(store.ReadAutoSync(true), c.autoSync);
    EXPECT_EQ(registry.OpenHandleCount(), 0);
  }
}

TEST_F(SettingsStoreTest, DeletedModelInAFreshRunReadsZero) {
  registry_.SeedDword(Hive::CurrentUser, kUserKey, L"First", 0);
  registry_.SeedDword(Hive::CurrentUser, kUserKey, L"AutoSync", 1);
  store_.InitDefaults(2, 0);
  EXPECT_FALSE(store_.EnsureUserSettings());
  EXPECT_EQ(store_.ReadModel(true), 0);
  EXPECT_EQ(store_.ReadAutoSync(true), 1);
}

TEST_F(SettingsStoreTest, WithoutReloadTheCacheAnswers) {
  registry_.SeedDword(Hive::CurrentUser, kUserKey, L"Model", 2);
  registry_.SeedDword(Hive::CurrentUser, kUserKey, L"AutoSync", 1);
  EXPECT_EQ(store_.ReadModel(false), 0);
  EXPECT_EQ(store_.ReadAutoSync(false), 0);
  EXPECT_EQ(registry_.OpenCount(), 0);
  EXPECT_EQ(store_.ReadModel(true), 2);
  registry_.SeedDword(Hive::CurrentUser, kUserKey, L"Model", 1);
  EXPECT_EQ(store_.ReadModel(false), 2);
}

TEST_F(SettingsStoreTest, UnopenableUserKeyKeepsTheCache) {
  registry_.SeedDword(Hive::CurrentUser, kUserKey, L"Model", 2);
  registry_.SeedDword(Hive::CurrentUser, kUserKey, L"AutoSync", 1);
  ASSERT_EQ(store_.ReadModel(true), 2);
  ASSERT_EQ(store_.ReadAutoSync(true), 1);
  registry_.SeedDword(Hive::CurrentUser, kUserKey, L"Model", 0);
  registry_.SeedDword(Hive::CurrentUser, kUserKey, L"AutoSync", 0);
  registry_.DenyAccess(Hive::CurrentUser, L"Software\\Orbit");
  EXPECT_EQ(store_.ReadModel(true), 2);
  EXPECT_EQ(store_.ReadAutoSync(true), 1);

  // Without the key at all.
  fakes::FakeRegistry empty;
  controller::SettingsStore store(empty);
  EXPECT_EQ(store.ReadModel(true), 0);
  EXPECT_EQ(store.ReadAutoSync(true), 0);
  EXPECT_EQ(empty.OpenHandleCount(), 0);
}

TEST_F(SettingsStoreTest, WriteAutoSyncStoresAndCachesOnSuccessOnly) {
  store_.WriteAutoSync(1);
  EXPECT_EQ(UserDword(L"AutoSync"), 1u) << "the key is created when missing";
  EXPECT_EQ(store_.CurrentAutoSync(), 1);

  registry_.Seed(Hive::CurrentUser, kUserKey, L"AutoSync", RegType::String,
                 os::RegStringBytes(L"on"));
  store_.WriteAutoSync(0);
  EXPECT_EQ(UserDword(L"AutoSync"), 0u) << "rewritten as a DWORD";
  EXPECT_EQ(store_.ReadAutoSync(true), 0);

  registry_.DenyAccess(Hive::CurrentUser, kUserKey, fakes::FakeRegistry::Denial::Writing);
  store_.WriteAutoSync(1);
  EXPECT_EQ(UserDword(L"AutoSync"), 0u);
  EXPECT_EQ(store_.CurrentAutoSync(), 0);
}

TEST_F(SettingsStoreTest, MachineDefaultsComeFromThePathOfTheOsLevel) {
  struct Case {
    int osLevel;
    bool plain;  // seed the plain path
    bool wow;    // seed the Wow6432Node path
    std::int32_t model;
    std::int32_t autoSync;
  };
  // The plain path holds Model 1 / AutoSync 1, the Wow6432Node path 2 / 0;
  // fields start at 3 / 3 so that an untouched field shows.
  const Case cases[] = {
      {10, true, true, 1, 1},   {255, true, true, 1, 1},  {11, true, true, 2, 0},
      {11, true, false, 3, 3},  {10, false, true, 3, 3},  {9, true, false, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "level " << c.osLevel << " plain " << c.plain << " wow "
                                    << c.wow);
    fakes::FakeRegistry registry;
    if (c.plain) {
      registry.SeedDword(Hive::LocalMachine, kMachineKey, L"Model", 1);
      registry.SeedDword(Hive::LocalMachine, kMachineKey, L"AutoSync", 1);
    }
    if (c.wow) {
      registry.SeedDword(Hive::LocalMachine, kMachineWowKey, L"Model", 2);
      registry.SeedDword(Hive::LocalMachine, kMachineWowKey, L"AutoSync", 0);
    }
    controller::MachineDefaults defaults;
    defaults.model = 3;
    defaults.autoSync = 3;
    app::ReadMachineDefaults(registry, c.osLevel, defaults);
    EXPECT_EQ(defaults.model, c.model);
    EXPECT_EQ(defaults.autoSync, c.autoSync);
    EXPECT_EQ(registry.OpenHandleCount(), 0);
  }
}

TEST_F(SettingsStoreTest, MachineDefaultsAreReadAsRawBytes) {
  registry_.SeedString(Hive::LocalMachine, kMachineKey, L"Model", L"1");  // 31 00 00 00
  registry_.Seed(Hive::LocalMachine, kMachineKey, L"AutoSync", RegType::Binary, {1, 2, 3, 4, 5});
  controller::MachineDefaults defaults;
  app::ReadMachineDefaults(registry_, 10, defaults);
  EXPECT_EQ(defaults.model, 0x31);
  EXPECT_EQ(defaults.autoSync, 0) << "too long to read: unchanged";

  registry_.DenyAccess(Hive::LocalMachine, kMachineKey);
  controller::MachineDefaults denied;
  app::ReadMachineDefaults(registry_, 10, denied);
  EXPECT_EQ(denied.model, 0);
  EXPECT_EQ(denied.autoSync, 0);
}

}  // namespace
