// The settings rules against the real registry of the Wine prefix: the key
// paths (with their trailing backslash), the value types and the
// Wow6432Node location of the machine-wide defaults.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/settings_store.h"
#include "os/reg_key.h"
#include "os/text_encoding.h"
#include "os/win32/win32_registry.h"

namespace {

using os::Hive;
using os::KeyAccess;
using os::RegType;

const wchar_t* const kValueNames[] = {L"First", L"Model", L"AutoSync"};

// What one settings key held before a test, put back afterwards so that the
// prefix is left as it was found.
class SavedKey {
 public:
  SavedKey(os::IRegistry& registry, Hive hive, std::wstring path)
      : registry_(registry), hive_(hive), path_(std::move(path)) {
    for (std::size_t at = path_.find(L'\\'); at != std::wstring::npos;
         at = path_.find(L'\\', at + 1)) {
      RecordLevel(path_.substr(0, at));
    }
    RecordLevel(path_);
    const os::RegKey key = os::RegKey::Open(registry_, hive_, path_, KeyAccess::Read);
    for (const wchar_t* name : kValueNames) {
      Saved saved{name, RegType::None, {}, false};
      saved.present = key && key.QueryBytes(name, &saved.type, &saved.bytes) == os::kSuccess;
      values_.push_back(saved);
    }
  }

  ~SavedKey() {
    {
      const os::RegKey key = os::RegKey::Open(registry_, hive_, path_, KeyAccess::ReadWrite);
      for (const Saved& saved : values_) {
        if (!key) break;
        registry_.DeleteValue(key.Handle(), saved.name);
        if (saved.present) {
          registry_.SetValue(key.Handle(), saved.name, saved.type, saved.bytes.data(),
                             static_cast<std::uint32_t>(saved.bytes.size()));
        }
      }
    }
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
      registry_.DeleteKey(hive_, *it);
    }
  }

  SavedKey(const SavedKey&) = delete;
  SavedKey& operator=(const SavedKey&) = delete;

  // Removes the three values (creating the key) so a test starts clean.
  void Clear() {
    const os::RegKey key = os::RegKey::Create(registry_, hive_, path_, KeyAccess::ReadWrite);
    ASSERT_TRUE(key);
    for (const wchar_t* name : kValueNames) registry_.DeleteValue(key.Handle(), name);
  }

 private:
  struct Saved {
    std::wstring name;
    RegType type;
    std::vector<std::uint8_t> bytes;
    bool present;
  };

  void RecordLevel(const std::wstring& path) {
    if (!os::RegKey::Open(registry_, hive_, path, KeyAccess::Read)) created_.push_back(path);
  }

  os::IRegistry& registry_;
  Hive hive_;
  std::wstring path_;
  std::vector<std::wstring> created_;  // levels missing before the test, outermost first
  std::vector<Saved> values_;
};

const std::wstring kUserKey = L"Software\\Orbit\\Cadenza";
const std::wstring kMachineKey = L"Software\\Orbit\\Cadenza";
const std::wstring kMachineWowKey = L"Software\\Wow6432Node\\Orbit\\Cadenza";

class SettingsStoreWin32Test : public ::testing::Test {
 protected:
  void SetUp() override { user_.Clear(); }

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
  SavedKey user_{registry_, Hive::CurrentUser, kUserKey};
};

TEST_F(SettingsStoreWin32Test, FirstRunCreatesTheUserValuesAndTheNextRunFindsThem) {
  app::SettingsStore store(registry_);
  store.InitDefaults(2, 1);
  EXPECT_TRUE(store.EnsureUserSettings());
  EXPECT_EQ(Dword(Hive::CurrentUser, kUserKey, L"First"), 0u);
  EXPECT_EQ(Dword(Hive::CurrentUser, kUserKey, L"Model"), 2u);
  EXPECT_EQ(Dword(Hive::CurrentUser, kUserKey, L"AutoSync"), 1u);

  app::SettingsStore next(registry_);
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
    app::SettingsStore store(registry_);
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
  app::SettingsStore store(registry_);
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
  app::SettingsStore store(registry_);
  store.WriteAutoSync(1);
  EXPECT_EQ(Dword(Hive::CurrentUser, kUserKey, L"AutoSync"), 1u);
  EXPECT_EQ(store.CurrentAutoSync(), 1);
  store.WriteAutoSync(0);
  EXPECT_EQ(store.ReadAutoSync(true), 0);
}

TEST_F(SettingsStoreWin32Test, MachineDefaultsFollowTheOsLevel) {
  SavedKey machine(registry_, Hive::LocalMachine, kMachineKey);
  SavedKey machineWow(registry_, Hive::LocalMachine, kMachineWowKey);
  if (!os::RegKey::Create(registry_, Hive::LocalMachine, kMachineKey, KeyAccess::Write)) {
    GTEST_SKIP() << "HKLM is not writable here";
  }
  machine.Clear();
  machineWow.Clear();
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
    app::MachineDefaults defaults;
    app::ReadMachineDefaults(registry_, c.osLevel, defaults);
    EXPECT_EQ(defaults.model, c.model);
    EXPECT_EQ(defaults.autoSync, c.autoSync);
  }
}

}  // namespace
