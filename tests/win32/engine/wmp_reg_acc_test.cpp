// The preference takeover and the installation checks against the real
// registry of the Wine prefix (value types, the text size limit as the
// platform reports it), and the OS level of the running system.
#include "engine/wmp_reg_acc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/os_level.h"
#include "os/reg_key.h"
#include "os/text_encoding.h"
#include "os/win32/win32_registry.h"
#include "os/win32/win32_system.h"
#include "support/saved_registry.h"

namespace {

using os::Hive;
using os::KeyAccess;
using os::RegType;

const std::wstring kPrefs = L"Software\\Microsoft\\MediaPlayer\\Preferences";
const std::wstring kSetup =
    L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\"
    L"{6BF52A52-394A-11d3-B153-00C04F79FAA6}";
const std::wstring kKind0 = L"*TrackNumber;*SongTitle;Artist;Album;Genre;Bitrate";
const std::wstring kKind1 = L"*SongTitle;TrackNumber;Artist;Album;Genre;Bitrate";

const std::vector<std::wstring> kNumberValues = {
    L"ForceOnline",    L"CDRecordMode",      L"CDRecordMP3",       L"CDRecordDRM",
    L"CDFirstCopyV10", L"AutoCopyCD",        L"AutoEjectCD",       L"MP3RecordRate",
    L"WMARecordRate",  L"SilentAcquisition", L"MetadataRetrieval", L"AutoMetadataUpdate",
    L"AutoRename",     L"AutoOrganize"};
const std::vector<std::wstring> kTextValues = {L"CDRecordPath", L"CDRecordFileDetail",
                                               L"CDRecordFileSeparator"};

std::vector<std::wstring> PreferenceValues() {
  std::vector<std::wstring> names = kNumberValues;
  names.insert(names.end(), kTextValues.begin(), kTextValues.end());
  return names;
}

using wine_test::SavedRegistryValues;

class WmpRegAccWin32Test : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(prefs_.Clear()); }

  std::optional<std::uint32_t> StoredDword(const std::wstring& name) {
    const os::RegKey key = os::RegKey::Open(registry_, Hive::CurrentUser, kPrefs, KeyAccess::Read);
    std::int32_t value = 0;
    RegType type = RegType::None;
    if (!key || key.QueryDwordBytes(name, &value, &type) != os::kSuccess ||
        type != RegType::Dword) {
      return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
  }
  std::optional<std::wstring> StoredText(const std::wstring& name) {
    const os::RegKey key = os::RegKey::Open(registry_, Hive::CurrentUser, kPrefs, KeyAccess::Read);
    RegType type = RegType::None;
    std::vector<std::uint8_t> bytes;
    if (!key || key.QueryBytes(name, &type, &bytes) != os::kSuccess || type != RegType::String) {
      return std::nullopt;
    }
    return os::TextOfRegStringBytes(bytes);
  }
  void WriteDword(const std::wstring& name, std::uint32_t value) {
    const os::RegKey key =
        os::RegKey::Create(registry_, Hive::CurrentUser, kPrefs, KeyAccess::Write);
    ASSERT_TRUE(key);
    ASSERT_EQ(key.SetDword(name, value), os::kSuccess);
  }
  void WriteText(const std::wstring& name, const std::wstring& text,
                 RegType type = RegType::String) {
    const os::RegKey key =
        os::RegKey::Create(registry_, Hive::CurrentUser, kPrefs, KeyAccess::Write);
    ASSERT_TRUE(key);
    const std::vector<std::uint8_t> bytes = os::RegStringBytes(text);
    ASSERT_EQ(registry_.SetValue(key.Handle(), name, type, bytes.data(),
                                 static_cast<std::uint32_t>(bytes.size())),
              os::kSuccess);
  }

  os::win32::Win32Registry registry_;
  os::win32::Win32System system_;
  SavedRegistryValues prefs_{registry_, Hive::CurrentUser, kPrefs, PreferenceValues()};
};

TEST_F(WmpRegAccWin32Test, TakeOverWritesEveryValueWithItsType) {
  // Without the key where this prefix allows; otherwise without our values,
  // which reads the same (no ForceOnline, nothing else read).
  prefs_.RemoveKey();
  engine::CWmpRegAcc acc(registry_, system_);
  EXPECT_TRUE(acc.TakeOverRipPreferences(true));

  for (const std::wstring& name : kNumberValues) {
    EXPECT_TRUE(StoredDword(name).has_value()) << os::Utf8FromWide(name) << " is a REG_DWORD";
  }
  for (const std::wstring& name : kTextValues) {
    EXPECT_TRUE(StoredText(name).has_value()) << os::Utf8FromWide(name) << " is a REG_SZ";
  }
  std::wstring music;
  ASSERT_TRUE(system_.MusicFolder(false, &music)) << "the takeover had it created if missing";
  EXPECT_FALSE(music.empty());
  EXPECT_EQ(StoredText(L"CDRecordPath"), music);
  EXPECT_EQ(StoredText(L"CDRecordFileDetail"), kKind0);
  EXPECT_EQ(StoredText(L"CDRecordFileSeparator"), L" ");
  EXPECT_EQ(StoredDword(L"ForceOnline"), 1u);
  EXPECT_EQ(StoredDword(L"CDRecordDRM"), 1u);
  EXPECT_EQ(StoredDword(L"MP3RecordRate"), 0u);
  EXPECT_EQ(StoredDword(L"WMARecordRate"), 64000u);
  EXPECT_EQ(StoredDword(L"MetadataRetrieval"), 3u);
}

TEST_F(WmpRegAccWin32Test, TakeOverKeepsTheUsersFolderPatternAndRates) {
  WriteDword(L"ForceOnline", 0);
  WriteText(L"CDRecordPath", L"E:\\Rips");
  WriteText(L"CDRecordFileDetail", kKind1);
  WriteText(L"CDRecordFileSeparator", L"_");
  WriteDword(L"MP3RecordRate", 320000);
  WriteDword(L"WMARecordRate", 192000);
  WriteDword(L"AutoCopyCD", 1);
  WriteDword(L"AutoOrganize", 1);

  engine::CWmpRegAcc acc(registry_, system_);
  EXPECT_TRUE(acc.TakeOverRipPreferences(false));
  EXPECT_EQ(StoredText(L"CDRecordPath"), L"E:\\Rips");
  EXPECT_EQ(StoredText(L"CDRecordFileDetail"), kKind1);
  EXPECT_EQ(StoredText(L"CDRecordFileSeparator"), L" ");
  EXPECT_EQ(StoredDword(L"MP3RecordRate"), 320000u);
  EXPECT_EQ(StoredDword(L"WMARecordRate"), 128000u);
  EXPECT_EQ(StoredDword(L"ForceOnline"), 1u);
  EXPECT_EQ(StoredDword(L"CDRecordDRM"), 0u);
  EXPECT_EQ(StoredDword(L"AutoCopyCD"), 0u);
  EXPECT_EQ(StoredDword(L"AutoOrganize"), 0u);

  // The settings dialog's later write of a new rate reaches the registry.
  acc.Preferences().wmaRecordRate = 64000;
  EXPECT_TRUE(acc.WritePreferences());
  engine::CWmpRegAcc next(registry_, system_);
  ASSERT_TRUE(next.ReadPreferences());
  EXPECT_EQ(next.Preferences().wmaRecordRate, 64000u);
  EXPECT_EQ(next.Preferences().cdRecordPath, L"E:\\Rips");
}

// The 1024-byte limit as the platform reports sizes and ERROR_MORE_DATA.
TEST_F(WmpRegAccWin32Test, FolderTextsOfTheWrongSizeOrTypeAreReplaced) {
  std::wstring music;
  ASSERT_TRUE(system_.MusicFolder(true, &music));
  const std::wstring chars510(510, L'r');
  const struct {
    const char* name;
    std::wstring text;
    RegType type;
    std::wstring kept;
  } cases[] = {
      {"510 characters", chars510, RegType::String, chars510},
      {"511 characters", std::wstring(511, L'r'), RegType::String, music},
      {"expandable", L"%USERPROFILE%\\Music", RegType::ExpandString, music},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteDword(L"ForceOnline", 1);
    WriteText(L"CDRecordPath", c.text, c.type);
    engine::CWmpRegAcc acc(registry_, system_);
    EXPECT_TRUE(acc.TakeOverRipPreferences(true));
    EXPECT_EQ(StoredText(L"CDRecordPath"), c.kept);
  }
}

// Wine registers its player as Windows Media Player does; the start-up
// check has to pass on it.
TEST(PlayerInstallationWin32Test, ThePrefixHasAPlayerOfVersion10OrLater) {
  os::win32::Win32Registry registry;
  os::win32::Win32System system;
  engine::CWmpRegAcc acc(registry, system);
  EXPECT_TRUE(acc.IsPlayerInstalled());
  EXPECT_GE(acc.GetPlayerMajorVersion(), 10);
}

TEST(PlayerInstallationWin32Test, InstalledAndVersionFromTheMachineRecord) {
  os::win32::Win32Registry registry;
  os::win32::Win32System system;
  SavedRegistryValues setup(registry, Hive::LocalMachine, kSetup, {L"IsInstalled", L"Version"});
  if (!setup.Clear()) GTEST_SKIP() << "HKLM is not writable here";
  const os::RegKey key = os::RegKey::Open(registry, Hive::LocalMachine, kSetup, KeyAccess::Write);
  ASSERT_TRUE(key);

  engine::CWmpRegAcc acc(registry, system);
  EXPECT_FALSE(acc.IsPlayerInstalled()) << "no IsInstalled";
  EXPECT_EQ(acc.GetPlayerMajorVersion(), -1) << "no Version";

  const struct {
    std::uint32_t isInstalled;
    const wchar_t* version;
    bool installed;
    std::int32_t major;
  } cases[] = {
      {1, L"10,0,0,3646", true, 10},     {1, L"9,00,00,3250", true, 9},
      {1, L"12,0,7601,17514", true, 12}, {1, L"12,0,7601,175140", true, -1},
      {0, L"11,0,5721,5145", false, 11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(os::Utf8FromWide(c.version));
    ASSERT_EQ(key.SetDword(L"IsInstalled", c.isInstalled), os::kSuccess);
    ASSERT_EQ(key.SetString(L"Version", c.version), os::kSuccess);
    EXPECT_EQ(acc.IsPlayerInstalled(), c.installed);
    EXPECT_EQ(acc.GetPlayerMajorVersion(), c.major);
  }
}

TEST(OsLevelWin32Test, ThePrefixRunsAsWindowsXp) {
  os::win32::Win32System system;
  EXPECT_EQ(app::ClassifyOs(system), 10);
  EXPECT_TRUE(app::IsAcceptedOsLevel(app::ClassifyOs(system)));
}

}  // namespace
