// What the engine keeps about players outside its memory: the identity file
// of a player drive, WMPInfo.xml, the registered folder-backed players and
// the partnerships of this PC.
#include <gtest/gtest.h>

#include <set>

#include "mediaengine/devices/folder_players.h"
#include "mediaengine/devices/partnership_store.h"
#include "mediaengine/devices/player_identity.h"
#include "mediaengine/devices/wmp_info_file.h"
#include "fakes/fake_registry.h"
#include "os/text_encoding.h"

namespace {

using mediaengine::PlayerIdentity;

TEST(EngineDeviceIdentityTest, ReadsTheKeysTheDemoPlayerWrites) {
  PlayerIdentity identity;
  ASSERT_TRUE(mediaengine::ParsePlayerIdentity(
      "\xEF\xBB\xBFMaker=Orbit\r\nModel = Cadenza Digital Audio Player \r\nSerial=ORB-1\r\n"
      "storage=card\r\nSyncFolder=Music\r\nCapacity=1073741824\r\nColour=blue\r\n",
      &identity));
  EXPECT_EQ(identity.maker, L"Orbit");
  EXPECT_EQ(identity.model, L"Cadenza Digital Audio Player");
  EXPECT_EQ(identity.serial, L"ORB-1");
  EXPECT_EQ(identity.storage, mediaengine::StorageKind::Card);
  EXPECT_EQ(identity.syncFolder, mediaengine::SyncFolder::Music);
  EXPECT_EQ(identity.capacity, 1073741824u);
}

TEST(EngineDeviceIdentityTest, DefaultsAndRefusals) {
  struct Case {
    const char* text;
    bool valid;
    mediaengine::SyncFolder folder;
    std::uint64_t capacity;
  };
  const Case cases[] = {
      {"Serial=A", true, mediaengine::SyncFolder::Root, 0},
      {"Serial=A\nSyncFolder=Elsewhere\nCapacity=12MB", true, mediaengine::SyncFolder::Root, 0},
      {"Serial=A\nCapacity=-5", true, mediaengine::SyncFolder::Root, 0},
      {"Serial=\nModel=X", false, mediaengine::SyncFolder::Root, 0},
      {"Maker=Orbit\nModel=X", false, mediaengine::SyncFolder::Root, 0},
      {"", false, mediaengine::SyncFolder::Root, 0},
  };
  for (const Case& c : cases) {
    PlayerIdentity identity;
    EXPECT_EQ(mediaengine::ParsePlayerIdentity(c.text, &identity), c.valid) << c.text;
    if (!c.valid) continue;
    EXPECT_EQ(identity.storage, mediaengine::StorageKind::Internal) << c.text;
    EXPECT_EQ(identity.syncFolder, c.folder) << c.text;
    EXPECT_EQ(identity.capacity, c.capacity) << c.text;
  }
}

TEST(EngineDeviceIdentityTest, WmpInfoIsOneUtf16LineWithAByteOrderMark) {
  const std::wstring id = mediaengine::DeviceIdOf(L"drive|Orbit|ORB-1");
  const std::string bytes = mediaengine::WmpInfoBytes(id);
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFE<\0", 4));
  std::u16string units;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  const std::wstring text = os::WideFromUtf16(units);
  EXPECT_EQ(text, L"<DeviceInfo><WMP DeviceID=\"" + id + L"\"/></DeviceInfo>");
  EXPECT_EQ(text.find(L'\n'), std::wstring::npos) << "a reader of the first line sees the id";

  std::wstring read;
  ASSERT_TRUE(mediaengine::DeviceIdOfWmpInfo(bytes, &read));
  EXPECT_EQ(read, id);
  // Files other engines wrote: UTF-8 with and without a mark, single quotes.
  ASSERT_TRUE(mediaengine::DeviceIdOfWmpInfo("\xEF\xBB\xBF<WMP DeviceID='{ABC}'/>", &read));
  EXPECT_EQ(read, L"{ABC}");
  ASSERT_TRUE(mediaengine::DeviceIdOfWmpInfo(
      "<DeviceInfo><WMP Version=\"2\" DeviceID = \"x y\"/></DeviceInfo>", &read));
  EXPECT_EQ(read, L"x y");
  EXPECT_FALSE(mediaengine::DeviceIdOfWmpInfo("<DeviceInfo><WMP DeviceID=\"\"/>", &read));
  EXPECT_FALSE(mediaengine::DeviceIdOfWmpInfo("<DeviceInfo/>", &read));
}

TEST(EngineDeviceIdentityTest, DeviceIdsAreStableBracedGuidsThatDifferPerStorage) {
  const std::wstring id = mediaengine::DeviceIdOf(L"drive|Orbit|ORB-1");
  EXPECT_EQ(id, mediaengine::DeviceIdOf(L"drive|Orbit|ORB-1"));
  ASSERT_EQ(id.size(), 38u);
  EXPECT_EQ(id.front(), L'{');
  EXPECT_EQ(id.back(), L'}');
  std::set<std::wstring> ids;
  for (const wchar_t* seed : {L"drive|Orbit|ORB-1", L"drive|Orbit|ORB-2", L"drive|Orbit|ORB-1-SD",
                              L"folder|C:\\A|", L"folder|C:\\B|"}) {
    ids.insert(mediaengine::DeviceIdOf(seed));
  }
  EXPECT_EQ(ids.size(), 5u);
}

class EngineFolderPlayersTest : public ::testing::Test {
 protected:
  mediaengine::FolderPlayerRecord Record(const std::wstring& folder, const std::wstring& friendly) {
    mediaengine::FolderPlayerRecord record;
    record.folder = folder;
    record.friendlyName = friendly;
    record.serial = L"S-" + friendly;
    record.totalSpace = 4'000'000'000ULL;
    return record;
  }
  fakes::FakeRegistry registry_;
};

TEST_F(EngineFolderPlayersTest, RegisteredPlayersAreReadBackInSlotOrder) {
  int internal = 0, external = 0;
  auto card = Record(L"C:\\Orbit\\Card\\", L"ORBIT Cadenza - External Storage");
  card.syncFolder = mediaengine::SyncFolder::Music;
  ASSERT_EQ(mediaengine::RegisterFolderPlayer(registry_, Record(L"C:\\Orbit\\Internal", L"ORBIT Cadenza - Internal Storage"), &internal), os::kSuccess);
  ASSERT_EQ(mediaengine::RegisterFolderPlayer(registry_, card, &external), os::kSuccess);
  EXPECT_EQ(internal, 1);
  EXPECT_EQ(external, 2);

  auto records = mediaengine::ReadFolderPlayers(registry_);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].folder, L"C:\\Orbit\\Internal");
  EXPECT_EQ(records[0].deviceName, L"ORBIT Audio Device");
  EXPECT_EQ(records[0].totalSpace, 4'000'000'000ULL);
  EXPECT_EQ(records[1].folder, L"C:\\Orbit\\Card") << "a trailing backslash is dropped";
  EXPECT_EQ(records[1].serial, L"S-ORBIT Cadenza - External Storage");
  EXPECT_EQ(records[1].syncFolder, mediaengine::SyncFolder::Music);

  // A freed slot is taken again first.
  ASSERT_EQ(mediaengine::UnregisterFolderPlayer(registry_, internal), os::kSuccess);
  ASSERT_EQ(mediaengine::ReadFolderPlayers(registry_).size(), 1u);
  int again = 0;
  ASSERT_EQ(mediaengine::RegisterFolderPlayer(registry_, Record(L"C:\\X", L"X"), &again), os::kSuccess);
  EXPECT_EQ(again, 1);
}

TEST_F(EngineFolderPlayersTest, IncompleteRecordsAreIgnoredAndSizesMayBeNumbers) {
  const std::wstring key = std::wstring(mediaengine::kFolderPlayersKey) + L"\\03";
  registry_.SeedString(os::Hive::CurrentUser, key, L"Folder", L"C:\\Q");
  registry_.SeedString(os::Hive::CurrentUser, key, L"FriendlyName", L"Q - Internal Storage");
  EXPECT_TRUE(mediaengine::ReadFolderPlayers(registry_).empty()) << "no TotalSpace";

  std::vector<std::uint8_t> qword = {0x00, 0x00, 0x00, 0x40, 0x01, 0x00, 0x00, 0x00};
  registry_.Seed(os::Hive::CurrentUser, key, L"TotalSpace", os::RegType::Qword, qword);
  auto records = mediaengine::ReadFolderPlayers(registry_);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].slot, 3);
  EXPECT_EQ(records[0].totalSpace, 0x140000000ULL);

  registry_.SeedString(os::Hive::CurrentUser, key, L"TotalSpace", L"12 GB");
  EXPECT_TRUE(mediaengine::ReadFolderPlayers(registry_).empty());

  mediaengine::FolderPlayerRecord nameless;
  nameless.folder = L"C:\\Z";
  nameless.totalSpace = 1;
  int slot = 0;
  EXPECT_EQ(mediaengine::RegisterFolderPlayer(registry_, nameless, &slot), os::kErrorInvalidParameter);
}

TEST(EnginePartnershipStoreTest, SixteenIndexesLowestFreeFirstKeptAcrossRuns) {
  fakes::FakeRegistry registry;
  {
    mediaengine::PartnershipStore store(registry);
    os::ErrorCode error = os::kSuccess;
    for (int i = 1; i <= 16; ++i) {
      EXPECT_EQ(store.Create(L"{dev" + std::to_wstring(i) + L"}", &error), i);
    }
    EXPECT_EQ(store.Create(L"{dev3}", &error), 3) << "a device keeps its index";
    EXPECT_EQ(store.Create(L"{dev17}", &error), 0);
    EXPECT_EQ(error, os::kErrorAlreadyExists);
    EXPECT_TRUE(store.Delete(L"{dev5}"));
    EXPECT_FALSE(store.Delete(L"{dev5}"));
    EXPECT_EQ(store.IndexOf(L"{dev5}"), 0);
  }
  mediaengine::PartnershipStore later(registry);
  EXPECT_EQ(later.IndexOf(L"{dev16}"), 16);
  os::ErrorCode error = os::kSuccess;
  EXPECT_EQ(later.Create(L"{dev17}", &error), 5);
}

TEST(EnginePartnershipStoreTest, AReadOnlyRegistryGivesNoPartnership) {
  fakes::FakeRegistry registry;
  registry.DenyAccess(os::Hive::CurrentUser, L"Software\\Marimba", fakes::FakeRegistry::Denial::Writing);
  mediaengine::PartnershipStore store(registry);
  os::ErrorCode error = os::kSuccess;
  EXPECT_EQ(store.Create(L"{dev}", &error), 0);
  EXPECT_NE(error, os::kSuccess);
  EXPECT_EQ(store.IndexOf(L"{dev}"), 0);
}

}  // namespace
