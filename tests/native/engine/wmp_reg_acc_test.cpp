#include "engine/wmp_reg_acc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "os/text_encoding.h"

namespace {

using os::Hive;
using os::RegType;

const std::wstring kPrefs = L"Software\\Microsoft\\MediaPlayer\\Preferences";
const std::wstring kSetup =
    L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\"
    L"{6BF52A52-394A-11d3-B153-00C04F79FAA6}";
const std::wstring kMusic = L"C:\\Documents and Settings\\user\\My Documents\\My Music";
const std::wstring kKind0 = L"*TrackNumber;*SongTitle;Artist;Album;Genre;Bitrate";
const std::wstring kKind1 = L"*SongTitle;TrackNumber;Artist;Album;Genre;Bitrate";
const std::wstring kKind2 = L"*Artist;*Album;*SongTitle;TrackNumber;Genre;Bitrate";

// Forwards to a fake registry, recording each value written and refusing
// the one named in `failAt`.
class RecordingRegistry : public os::IRegistry {
 public:
  explicit RecordingRegistry(os::IRegistry& inner) : inner_(inner) {}
  os::ErrorCode OpenKey(Hive hive, const std::wstring& path, os::KeyAccess access,
                        os::KeyHandle* key) override {
    return inner_.OpenKey(hive, path, access, key);
  }
  os::ErrorCode CreateKey(Hive hive, const std::wstring& path, os::KeyAccess access,
                          os::KeyHandle* key) override {
    return inner_.CreateKey(hive, path, access, key);
  }
  os::ErrorCode QueryValue(os::KeyHandle key, const std::wstring& name, RegType* type,
                           std::uint8_t* data, std::uint32_t* size) override {
    return inner_.QueryValue(key, name, type, data, size);
  }
  os::ErrorCode SetValue(os::KeyHandle key, const std::wstring& name, RegType type,
                         const std::uint8_t* data, std::uint32_t size) override {
    writes.emplace_back(name, type);
    if (name == failAt) return os::kErrorAccessDenied;
    return inner_.SetValue(key, name, type, data, size);
  }
  os::ErrorCode DeleteValue(os::KeyHandle key, const std::wstring& name) override {
    return inner_.DeleteValue(key, name);
  }
  os::ErrorCode DeleteKey(Hive hive, const std::wstring& path) override {
    return inner_.DeleteKey(hive, path);
  }
  void CloseKey(os::KeyHandle key) override { inner_.CloseKey(key); }

  std::vector<std::pair<std::wstring, RegType>> writes;
  std::wstring failAt;

 private:
  os::IRegistry& inner_;
};

std::vector<std::uint8_t> Dword(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// The values of a user who set up the player by hand, none of them ours.
void SeedUserPreferences(fakes::FakeRegistry& registry) {
  const std::pair<const wchar_t*, std::uint32_t> numbers[] = {
      {L"ForceOnline", 0},       {L"CDRecordMode", 1},       {L"CDRecordMP3", 1},
      {L"CDRecordDRM", 1},       {L"CDFirstCopyV10", 1},     {L"AutoCopyCD", 1},
      {L"AutoEjectCD", 1},       {L"MP3RecordRate", 320000}, {L"WMARecordRate", 160000},
      {L"SilentAcquisition", 0}, {L"MetadataRetrieval", 0},  {L"AutoMetadataUpdate", 0},
      {L"AutoRename", 0},        {L"AutoOrganize", 1}};
  for (const auto& [name, value] : numbers)
    registry.SeedDword(Hive::CurrentUser, kPrefs, name, value);
  registry.SeedString(Hive::CurrentUser, kPrefs, L"CDRecordPath", L"D:\\Rips");
  registry.SeedString(Hive::CurrentUser, kPrefs, L"CDRecordFileDetail", kKind2);
  registry.SeedString(Hive::CurrentUser, kPrefs, L"CDRecordFileSeparator", L"-");
}

class WmpRegAccTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(registry_.OpenHandleCount(), 0) << "every opened key is closed";
    EXPECT_EQ(registry_.BadCloseCount(), 0);
  }

  std::optional<std::uint32_t> StoredDword(const std::wstring& name) const {
    std::uint32_t value = 0;
    if (!registry_.PeekDword(Hive::CurrentUser, kPrefs, name, &value)) return std::nullopt;
    return value;
  }
  std::optional<std::wstring> StoredText(const std::wstring& name) const {
    RegType type = RegType::None;
    std::vector<std::uint8_t> bytes;
    if (!registry_.Peek(Hive::CurrentUser, kPrefs, name, &type, &bytes) ||
        type != RegType::String) {
      return std::nullopt;
    }
    return os::TextOfRegStringBytes(bytes);
  }

  // What the takeover leaves whatever was there: the forced values.
  void ExpectForcedValues(std::uint32_t drm) const {
    const std::pair<const wchar_t*, std::uint32_t> forced[] = {
        {L"ForceOnline", 1},        {L"CDRecordMode", 0},      {L"CDRecordMP3", 0},
        {L"CDRecordDRM", drm},      {L"CDFirstCopyV10", 0},    {L"AutoCopyCD", 0},
        {L"AutoEjectCD", 0},        {L"SilentAcquisition", 1}, {L"MetadataRetrieval", 3},
        {L"AutoMetadataUpdate", 1}, {L"AutoRename", 1},        {L"AutoOrganize", 0}};
    for (const auto& [name, value] : forced) EXPECT_EQ(StoredDword(name), value) << name;
    EXPECT_EQ(StoredText(L"CDRecordFileSeparator"), L" ");
  }

  fakes::FakeRegistry registry_;
  fakes::FakeSystem system_;
  engine::CWmpRegAcc acc_{registry_, system_};
};

TEST_F(WmpRegAccTest, TakeOverWithoutAKeyCreatesItWithEveryValue) {
  system_.SetMusicFolder(kMusic);
  ASSERT_FALSE(registry_.HasKey(Hive::CurrentUser, kPrefs));
  EXPECT_TRUE(acc_.TakeOverRipPreferences(true));
  ExpectForcedValues(1);
  EXPECT_EQ(StoredText(L"CDRecordPath"), kMusic);
  EXPECT_EQ(StoredText(L"CDRecordFileDetail"), kKind0);
  EXPECT_EQ(StoredDword(L"MP3RecordRate"), 0u);
  EXPECT_EQ(StoredDword(L"WMARecordRate"), 64000u);
}

TEST_F(WmpRegAccTest, TakeOverKeepsTheFolderThePatternAndTheMp3Rate) {
  SeedUserPreferences(registry_);
  EXPECT_TRUE(acc_.TakeOverRipPreferences(false));
  ExpectForcedValues(0);
  EXPECT_EQ(StoredText(L"CDRecordPath"), L"D:\\Rips");
  EXPECT_EQ(StoredText(L"CDRecordFileDetail"), kKind2);
  EXPECT_EQ(StoredDword(L"MP3RecordRate"), 320000u);
  EXPECT_EQ(StoredDword(L"WMARecordRate"), 128000u);

  // What was written reads back into a fresh record.
  engine::CWmpRegAcc next(registry_, system_);
  ASSERT_TRUE(next.ReadPreferences());
  const engine::WmpPreferences& p = next.Preferences();
  EXPECT_EQ(p.forceOnline, 1u);
  EXPECT_EQ(p.cdRecordPath, L"D:\\Rips");
  EXPECT_EQ(p.cdRecordFileDetail, kKind2);
  EXPECT_EQ(p.cdRecordFileSeparator, L" ");
  EXPECT_EQ(p.mp3RecordRate, 320000u);
  EXPECT_EQ(p.wmaRecordRate, 128000u);
  EXPECT_EQ(p.metadataRetrieval, 3u);
  EXPECT_EQ(p.autoOrganize, 0u);
}

TEST_F(WmpRegAccTest, TakeOverMapsTheWmaRateToOneOfTwo) {
  struct Case {
    RegType type;  // None: value missing
    std::vector<std::uint8_t> stored;
    std::uint32_t written;
  };
  const Case cases[] = {
      {RegType::Dword, Dword(128000), 128000},
      {RegType::Dword, Dword(160000), 128000},
      {RegType::Dword, Dword(192000), 128000},
      {RegType::Dword, Dword(64000), 64000},
      {RegType::Dword, Dword(0), 64000},
      {RegType::Dword, Dword(127999), 64000},
      {RegType::Dword, Dword(256000), 64000},
      {RegType::String, os::RegStringBytes(L"128000"), 64000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << static_cast<int>(c.type) << ", "
                                    << c.stored.size() << " bytes, expecting " << c.written);
    fakes::FakeRegistry registry;
    registry.SeedDword(Hive::CurrentUser, kPrefs, L"ForceOnline", 1);
    if (c.type != RegType::None)
      registry.Seed(Hive::CurrentUser, kPrefs, L"WMARecordRate", c.type, c.stored);
    engine::CWmpRegAcc acc(registry, system_);
    EXPECT_TRUE(acc.TakeOverRipPreferences(true));
    std::uint32_t written = 0;
    EXPECT_TRUE(registry.PeekDword(Hive::CurrentUser, kPrefs, L"WMARecordRate", &written));
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(acc.Preferences().wmaRecordRate, c.written);
  }
}

// Which stored folder and file-name pattern survive the takeover.
TEST_F(WmpRegAccTest, TakeOverKeepsOnlyUsableTexts) {
  const std::wstring chars510(510, L'x');  // 1022 bytes with the terminator
  const std::wstring chars511(511, L'x');  // 1024 bytes
  const std::wstring chars600(600, L'x');
  struct Case {
    const char* name;
    const wchar_t* value;  // CDRecordPath or CDRecordFileDetail
    RegType type;
    std::vector<std::uint8_t> stored;
    std::wstring pathWritten;
    std::wstring detailWritten;
  };
  const auto sz = [](const std::wstring& text) { return os::RegStringBytes(text); };
  const Case cases[] = {
      {"folder kept", L"CDRecordPath", RegType::String, sz(L"E:\\Music"), L"E:\\Music", kKind0},
      {"empty folder", L"CDRecordPath", RegType::String, sz(L""), kMusic, kKind0},
      {"folder of 510 characters", L"CDRecordPath", RegType::String, sz(chars510), chars510,
       kKind0},
      {"folder of 511 characters", L"CDRecordPath", RegType::String, sz(chars511), kMusic, kKind0},
      {"folder of 600 characters", L"CDRecordPath", RegType::String, sz(chars600), kMusic, kKind0},
      {"expandable folder", L"CDRecordPath", RegType::ExpandString, sz(L"%USERPROFILE%\\Music"),
       kMusic, kKind0},
      {"kind 1 kept", L"CDRecordFileDetail", RegType::String, sz(kKind1), kMusic, kKind1},
      {"kind 2 kept", L"CDRecordFileDetail", RegType::String, sz(kKind2), kMusic, kKind2},
      {"pattern in other case", L"CDRecordFileDetail", RegType::String,
       sz(L"*artist;*album;*songtitle;tracknumber;genre;bitrate"), kMusic, kKind0},
      {"empty pattern", L"CDRecordFileDetail", RegType::String, sz(L""), kMusic, kKind0},
  };
  system_.SetMusicFolder(kMusic);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeRegistry registry;
    registry.SeedDword(Hive::CurrentUser, kPrefs, L"ForceOnline", 1);
    registry.Seed(Hive::CurrentUser, kPrefs, c.value, c.type, c.stored);
    engine::CWmpRegAcc acc(registry, system_);
    EXPECT_TRUE(acc.TakeOverRipPreferences(true));
    EXPECT_EQ(acc.Preferences().cdRecordPath, c.pathWritten);
    EXPECT_EQ(acc.Preferences().cdRecordFileDetail, c.detailWritten);
  }
}

TEST_F(WmpRegAccTest, MusicFolderIsAskedForAgainWithCreation) {
  system_.SetMusicFolder(kMusic, /*onlyWhenCreated=*/true);
  EXPECT_TRUE(acc_.TakeOverRipPreferences(true));
  EXPECT_EQ(StoredText(L"CDRecordPath"), kMusic);

  // Neither query answers: an empty folder is written and the rest still is.
  fakes::FakeRegistry registry;
  fakes::FakeSystem noMusic;
  noMusic.SetMusicFolder(L"");
  engine::CWmpRegAcc acc(registry, noMusic);
  EXPECT_TRUE(acc.TakeOverRipPreferences(true));
  RegType type = RegType::None;
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(registry.Peek(Hive::CurrentUser, kPrefs, L"CDRecordPath", &type, &bytes));
  EXPECT_EQ(type, RegType::String);
  EXPECT_EQ(bytes, os::RegStringBytes(L""));
}

TEST_F(WmpRegAccTest, WithoutForceOnlineNothingElseIsRead) {
  const struct {
    const char* name;
    RegType type;  // None: missing
    std::vector<std::uint8_t> stored;
  } cases[] = {
      {"missing", RegType::None, {}},
      {"string", RegType::String, os::RegStringBytes(L"1")},
      {"four bytes of binary", RegType::Binary, Dword(1)},
      {"QWORD", RegType::Qword, {1, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeRegistry registry;
    SeedUserPreferences(registry);
    registry.RemoveValue(Hive::CurrentUser, kPrefs, L"ForceOnline");
    if (c.type != RegType::None)
      registry.Seed(Hive::CurrentUser, kPrefs, L"ForceOnline", c.type, c.stored);
    engine::CWmpRegAcc acc(registry, system_);
    acc.Preferences().forceOnline = 7;
    acc.Preferences().cdRecordPath = L"earlier";
    acc.Preferences().wmaRecordRate = 5;
    EXPECT_FALSE(acc.ReadPreferences());
    EXPECT_EQ(acc.Preferences().forceOnline, 0u);
    EXPECT_EQ(acc.Preferences().cdRecordPath, L"earlier");
    EXPECT_EQ(acc.Preferences().wmaRecordRate, 5u);
    EXPECT_EQ(registry.OpenHandleCount(), 0);
  }
}

TEST_F(WmpRegAccTest, TakeOverWithoutForceOnlineReplacesTheUnreadValues) {
  SeedUserPreferences(registry_);
  registry_.RemoveValue(Hive::CurrentUser, kPrefs, L"ForceOnline");
  system_.SetMusicFolder(kMusic);
  EXPECT_TRUE(acc_.TakeOverRipPreferences(true));
  ExpectForcedValues(1);
  EXPECT_EQ(StoredText(L"CDRecordPath"), kMusic);
  EXPECT_EQ(StoredText(L"CDRecordFileDetail"), kKind0);
  EXPECT_EQ(StoredDword(L"MP3RecordRate"), 0u);
  EXPECT_EQ(StoredDword(L"WMARecordRate"), 64000u);
}

TEST_F(WmpRegAccTest, ReadingTakesOnlyValuesOfTheRightType) {
  registry_.SeedDword(Hive::CurrentUser, kPrefs, L"ForceOnline", 0);
  registry_.SeedString(Hive::CurrentUser, kPrefs, L"CDRecordPath", L"D:\\Rips");
  registry_.SeedDword(Hive::CurrentUser, kPrefs, L"AutoRename", 9);
  registry_.SeedDword(Hive::CurrentUser, kPrefs, L"AutoOrganize", 9);
  ASSERT_TRUE(acc_.ReadPreferences());
  ASSERT_EQ(acc_.Preferences().cdRecordPath, L"D:\\Rips");

  struct Case {
    const char* name;
    RegType type;  // None: value deleted
    std::vector<std::uint8_t> stored;
    std::uint32_t number;
    std::wstring text;
  };
  std::vector<std::uint8_t> odd = os::RegStringBytes(std::wstring(511, L'y'));
  odd.resize(1023);  // 511 characters and half a terminator
  const Case cases[] = {
      {"DWORD", RegType::Dword, Dword(4), 4, L""},
      {"two-byte DWORD", RegType::Dword, {0x34, 0x12}, 0x1234, L""},
      {"string", RegType::String, os::RegStringBytes(L"AB"), 0, L"AB"},
      {"string without terminator", RegType::String, {'A', 0, 'B', 0}, 0, L"AB"},
      {"1023 bytes of string", RegType::String, odd, 0, std::wstring(511, L'y')},
      {"binary", RegType::Binary, Dword(4), 0, L""},
      {"QWORD", RegType::Qword, {4, 0, 0, 0, 0, 0, 0, 0}, 0, L""},
      {"deleted", RegType::None, {}, 0, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Text and number read the same stored bytes; AutoOrganize stays a
    // DWORD to show the read carried on past them.
    for (const wchar_t* name : {L"CDRecordPath", L"AutoRename"}) {
      registry_.RemoveValue(Hive::CurrentUser, kPrefs, name);
      if (c.type != RegType::None)
        registry_.Seed(Hive::CurrentUser, kPrefs, name, c.type, c.stored);
    }
    EXPECT_TRUE(acc_.ReadPreferences());
    EXPECT_EQ(acc_.Preferences().autoRename, c.number);
    EXPECT_EQ(acc_.Preferences().cdRecordPath, c.text);
    EXPECT_EQ(acc_.Preferences().autoOrganize, 9u);
  }
}

TEST_F(WmpRegAccTest, UnreadableKeyLeavesTheRecordAlone) {
  acc_.Preferences().forceOnline = 3;
  acc_.Preferences().cdRecordPath = L"earlier";
  EXPECT_FALSE(acc_.ReadPreferences()) << "no key";
  SeedUserPreferences(registry_);
  registry_.DenyAccess(Hive::CurrentUser, kPrefs);
  EXPECT_FALSE(acc_.ReadPreferences()) << "access denied";
  EXPECT_EQ(acc_.Preferences().forceOnline, 3u);
  EXPECT_EQ(acc_.Preferences().cdRecordPath, L"earlier");
  EXPECT_FALSE(acc_.TakeOverRipPreferences(true)) << "nor can it be written";
}

TEST_F(WmpRegAccTest, WritesEveryValueInOrderAndStopsAtTheFirstFailure) {
  using W = std::pair<std::wstring, RegType>;
  const RegType D = RegType::Dword, S = RegType::String;
  const std::vector<W> order = {
      {L"ForceOnline", D},       {L"CDRecordPath", S},       {L"CDRecordMode", D},
      {L"CDRecordMP3", D},       {L"CDRecordDRM", D},        {L"CDFirstCopyV10", D},
      {L"AutoCopyCD", D},        {L"AutoEjectCD", D},        {L"MP3RecordRate", D},
      {L"WMARecordRate", D},     {L"CDRecordFileDetail", S}, {L"CDRecordFileSeparator", S},
      {L"SilentAcquisition", D}, {L"MetadataRetrieval", D},  {L"AutoMetadataUpdate", D},
      {L"AutoRename", D},        {L"AutoOrganize", D}};
  RecordingRegistry recording(registry_);
  engine::CWmpRegAcc acc(recording, system_);
  EXPECT_TRUE(acc.WritePreferences());
  EXPECT_EQ(recording.writes, order);

  fakes::FakeRegistry registry;
  RecordingRegistry failing(registry);
  failing.failAt = L"WMARecordRate";
  engine::CWmpRegAcc broken(failing, system_);
  broken.Preferences().mp3RecordRate = 128000;
  EXPECT_FALSE(broken.WritePreferences());
  EXPECT_EQ(failing.writes, std::vector<W>(order.begin(), order.begin() + 10));
  std::uint32_t value = 0;
  EXPECT_TRUE(registry.PeekDword(Hive::CurrentUser, kPrefs, L"MP3RecordRate", &value));
  EXPECT_EQ(value, 128000u);
  EXPECT_FALSE(registry.PeekDword(Hive::CurrentUser, kPrefs, L"AutoOrganize", &value));
  EXPECT_EQ(registry.OpenHandleCount(), 0);
}

TEST_F(WmpRegAccTest, FileDetailOrderFollowsTheKindWithoutWriting) {
  const std::pair<std::int32_t, std::wstring> cases[] = {
      {1, kKind1}, {2, kKind2}, {0, kKind0}, {3, kKind0}, {-1, kKind0}};
  for (const auto& [kind, pattern] : cases) {
    SCOPED_TRACE(kind);
    acc_.Preferences().cdRecordFileDetail = L"before";
    acc_.SetFileDetailOrder(kind);
    EXPECT_EQ(acc_.Preferences().cdRecordFileDetail, pattern);
  }
  EXPECT_EQ(registry_.OpenCount(), 0);
}

TEST_F(WmpRegAccTest, PlayerInstalledOnlyWithIsInstalledOne) {
  const struct {
    const char* name;
    RegType type;  // None: value missing
    std::vector<std::uint8_t> stored;
    bool installed;
  } cases[] = {
      {"DWORD 1", RegType::Dword, Dword(1), true},
      {"DWORD 0", RegType::Dword, Dword(0), false},
      {"DWORD 2", RegType::Dword, Dword(2), false},
      {"binary 1 (type not checked)", RegType::Binary, {1}, true},
      {"string \"1\"", RegType::String, os::RegStringBytes(L"1"), false},
      {"QWORD 1 (too long)", RegType::Qword, {1, 0, 0, 0, 0, 0, 0, 0}, false},
      {"missing", RegType::None, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeRegistry registry;
    registry.SeedString(Hive::LocalMachine, kSetup, L"Version", L"10,0,0,3646");
    if (c.type != RegType::None)
      registry.Seed(Hive::LocalMachine, kSetup, L"IsInstalled", c.type, c.stored);
    engine::CWmpRegAcc acc(registry, system_);
    EXPECT_EQ(acc.IsPlayerInstalled(), c.installed);
    EXPECT_EQ(registry.OpenHandleCount(), 0);
  }
  EXPECT_FALSE(acc_.IsPlayerInstalled()) << "no installation record";
}

TEST_F(WmpRegAccTest, MajorVersionIsTheNumberInTheFirstTwoCharacters) {
  const struct {
    const wchar_t* version;  // null: value missing
    std::int32_t major;
  } cases[] = {
      {L"10,0,0,3646", 10},
      {L"9,00,00,2980", 9},
      {L"9,00,00,3250", 9},
      {L"11,0,5721,5145", 11},
      {L"12,0,7601,17514", 12},   // 32 bytes with the terminator: just fits
      {L"12,0,7601,175140", -1},  // 34 bytes: does not fit
      {L"9", 9},
      {L"", 0},
      {L"v10", 0},
      {nullptr, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version ? os::Utf8FromWide(c.version) : "missing");
    fakes::FakeRegistry registry;
    registry.SeedDword(Hive::LocalMachine, kSetup, L"IsInstalled", 1);
    if (c.version) registry.SeedString(Hive::LocalMachine, kSetup, L"Version", c.version);
    engine::CWmpRegAcc acc(registry, system_);
    EXPECT_EQ(acc.GetPlayerMajorVersion(), c.major);
    EXPECT_EQ(registry.OpenHandleCount(), 0);
  }
  EXPECT_EQ(acc_.GetPlayerMajorVersion(), -1) << "no installation record";
}

}  // namespace
