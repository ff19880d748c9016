// The engine's sync devices over the fakes: players found on drives and in
// registered folders, their names and space, coming and going, and the
// partnerships of this PC.
#include "native/mediaengine/devices/engine_device_fixture.h"

#include "mediaengine/devices/wmp_info_file.h"

namespace device_test {
namespace {

std::wstring Info(const wmp::SyncDevicePtr& device, const std::wstring& attribute) {
  std::wstring value = L"<failed>";
  device->GetItemInfo(attribute, &value);
  return value;
}

std::wstring DeviceNameOf(const wmp::SyncDevicePtr& device) {
  std::wstring name;
  device->DeviceName(&name);
  return name;
}

std::wstring IdOf(const wmp::SyncDevicePtr& device) {
  std::wstring id;
  device->DeviceId(&id);
  return id;
}

long StatusOf(const wmp::SyncDevicePtr& device) {
  long status = -1;
  device->Status(&status);
  return status;
}

class EngineDeviceDiscoveryTest : public EngineDeviceTest {
 protected:
  int RegisterFolder(const std::wstring& folder, const std::wstring& friendly,
                     std::uint64_t total = 1'000'000) {
    mediaengine::FolderPlayerRecord record;
    record.folder = folder;
    record.friendlyName = friendly;
    record.serial = L"FOLDER-" + friendly;
    record.totalSpace = total;
    int slot = 0;
    EXPECT_EQ(mediaengine::RegisterFolderPlayer(registry_, record, &slot), os::kSuccess);
    return slot;
  }
};

TEST_F(EngineDeviceDiscoveryTest, ADriveWithAnIdentityFileIsADigitalAudioDevice) {
  fake_.AddDrive(L'G', 64ULL << 20);
  drives_.AddDrive(L'G', os::DriveType::Removable, L"SD");
  const std::string identity = Identity("ORB-0001-SD", "Storage=Card\r\nCapacity=50000000\r\n");
  fake_.AddFile(L"G:\\PLAYER.INF", identity);
  fake_.AddFile(L"G:\\old.wma", std::string(1'000'000, 'x'));
  // A disc image that happens to carry one is not a player.
  fake_.AddFile(L"D:\\PLAYER.INF", Identity("DISC"));
  StartPlayer();

  wmp::SyncServicesPtr services;
  ASSERT_EQ(player_->SyncServices(&services), wmp::kOk);
  long count = 0;
  services->DeviceCount(&count);
  ASSERT_EQ(count, 2);

  wmp::SyncDevicePtr internal = Device();
  ASSERT_NE(internal, nullptr);
  EXPECT_EQ(DeviceNameOf(internal), L"Orbit Cadenza Digital Audio Player");
  EXPECT_EQ(Info(internal, L"SerialNumber"), L"ORB-0001");
  EXPECT_EQ(Info(internal, L"TotalSpace"), std::to_wstring(256ULL << 20))
      << "without a stated capacity the drive's own figures";
  bool connected = false;
  internal->Connected(&connected);
  EXPECT_TRUE(connected);
  EXPECT_EQ(StatusOf(internal), static_cast<long>(wmp::DeviceStatus::NewDevice));
  long state = 0;
  internal->SyncState(&state);
  EXPECT_EQ(state, static_cast<long>(wmp::SyncState::Stopped));

  wmp::SyncDevicePtr card = Device(L"Cadenza Digital Audio Player Card (G:)");
  ASSERT_NE(card, nullptr);
  EXPECT_EQ(DeviceNameOf(card), DeviceNameOf(internal)) << "two drives of the same player";
  EXPECT_EQ(Info(card, L"TotalSpace"), L"50000000");
  EXPECT_EQ(Info(card, L"FreeSpace"), std::to_wstring(49'000'000 - identity.size()))
      << "the stated capacity less the files on it";
  EXPECT_NE(IdOf(card), IdOf(internal));
  EXPECT_EQ(Info(card, L"NoSuchAttribute"), L"");

  bool identical = true;
  card->IsIdentical(internal.get(), &identical);
  EXPECT_FALSE(identical);
  card->IsIdentical(Device(L"Cadenza Digital Audio Player Card (G:)").get(), &identical);
  EXPECT_TRUE(identical);
}

TEST_F(EngineDeviceDiscoveryTest, ACardWithThePlayersSerialIsAStorageOfItsOwn) {
  fake_.AddDrive(L'G', 64ULL << 20);
  drives_.AddDrive(L'G', os::DriveType::Removable, L"SD");
  fake_.AddFile(L"G:\\PLAYER.INF", Identity("ORB-0001", "Storage=Card\r\n"));
  StartPlayer();

  wmp::SyncServicesPtr services;
  ASSERT_EQ(player_->SyncServices(&services), wmp::kOk);
  long count = 0;
  services->DeviceCount(&count);
  ASSERT_EQ(count, 2);
  wmp::SyncDevicePtr internal = Device();
  wmp::SyncDevicePtr card = Device(L"Cadenza Digital Audio Player Card (G:)");
  ASSERT_NE(internal, nullptr);
  ASSERT_NE(card, nullptr);
  EXPECT_EQ(Info(card, L"SerialNumber"), Info(internal, L"SerialNumber"));
  EXPECT_NE(IdOf(card), IdOf(internal)) << "a partnership of one must not be the other's";
}

TEST_F(EngineDeviceDiscoveryTest, RegisteredFoldersAreOrbitAudioDevicesWithTheRecordedSpace) {
  fake_.AddFile(L"C:\\Orbit\\Internal\\a.wma", std::string(300'000, 'a'));
  fake_.AddFolder(L"C:\\Orbit\\Card");
  RegisterFolder(L"C:\\Orbit\\Internal", L"ORBIT Cadenza - Internal Storage", 1'000'000);
  RegisterFolder(L"C:\\Orbit\\Card", L"ORBIT Cadenza - External Storage", 2'000'000);
  RegisterFolder(L"C:\\Orbit\\Missing", L"ORBIT Gone - Internal Storage");
  StartPlayer();

  wmp::SyncDevicePtr internal = Device(L"ORBIT Cadenza - Internal Storage");
  wmp::SyncDevicePtr card = Device(L"ORBIT Cadenza - External Storage");
  ASSERT_NE(internal, nullptr);
  ASSERT_NE(card, nullptr);
  EXPECT_EQ(Device(L"ORBIT Gone - Internal Storage"), nullptr) << "its folder is not there";
  EXPECT_NE(DeviceNameOf(internal).find(L"ORBIT Audio"), std::wstring::npos);
  EXPECT_EQ(DeviceNameOf(internal).find(L"Digital Audio"), std::wstring::npos);
  EXPECT_EQ(Info(internal, L"TotalSpace"), L"1000000");
  EXPECT_EQ(Info(internal, L"FreeSpace"), L"700000");
  EXPECT_EQ(Info(card, L"FreeSpace"), L"2000000");
  EXPECT_EQ(Info(card, L"SerialNumber"), L"FOLDER-ORBIT Cadenza - External Storage");
}

TEST_F(EngineDeviceDiscoveryTest, ComingAndGoingIsReportedOnceEachAndTheDeviceKeepsItsPlace) {
  StartPlayer();
  EXPECT_TRUE(Drain().empty()) << "what is there at the start is no change";
  wmp::SyncDevicePtr device = Device();
  ASSERT_NE(device, nullptr);

  // The card of the player goes in later.
  fake_.AddDrive(L'G');
  drives_.AddDrive(L'G', os::DriveType::Removable);
  fake_.AddFile(L"G:\\PLAYER.INF", Identity("ORB-0001-SD", "Storage=Card\n"));
  drives_.ForgetQuestions();
  player_->Poll();
  EXPECT_EQ(drives_.Questions(), (std::vector<std::wstring>{L"mask", L"C:\\", L"D:\\", L"F:\\",
                                                            L"G:\\"}))
      << "one look at the letters serves the CD drives and the players";
  player_->Poll();
  EXPECT_EQ(Drain(), std::vector<std::wstring>{L"connect Cadenza Digital Audio Player Card (G:)"});

  fake_.SetDriveReady(L'F', false);
  player_->Poll();
  player_->Poll();
  EXPECT_EQ(Drain(), std::vector<std::wstring>{L"disconnect " + std::wstring(kPlayerName)});
  bool connected = true;
  device->Connected(&connected);
  EXPECT_FALSE(connected);
  EXPECT_EQ(Info(device, L"FreeSpace"), L"<failed>");
  EXPECT_EQ(device->Start(), wmp::kNotReady);
  EXPECT_EQ(device->CreatePartnership(), wmp::kNotReady);

  fake_.SetDriveReady(L'F', true);
  player_->Poll();
  player_->Poll();
  EXPECT_EQ(Drain(), std::vector<std::wstring>{L"connect " + std::wstring(kPlayerName)});
  wmp::SyncServicesPtr services;
  player_->SyncServices(&services);
  wmp::SyncDevicePtr first;
  services->GetDevice(0, &first);
  EXPECT_EQ(first, device) << "the same object at the same position";
  EXPECT_EQ(services->GetDevice(2, &first), wmp::kInvalidArg);

  // A registered folder comes and goes with its folder.
  RegisterFolder(L"C:\\Orbit\\Internal", L"ORBIT Cadenza - Internal Storage");
  player_->Poll();
  EXPECT_TRUE(Drain().empty());
  fake_.AddFolder(L"C:\\Orbit\\Internal");
  player_->Poll();
  EXPECT_EQ(Drain(), std::vector<std::wstring>{L"connect ORBIT Cadenza - Internal Storage"});
  files_.Locked([](os::IFileSystem& fs) { return fs.RemoveFolder(L"C:\\Orbit\\Internal"); });
  player_->Poll();
  player_->Poll();
  EXPECT_EQ(Drain(), std::vector<std::wstring>{L"disconnect ORBIT Cadenza - Internal Storage"});
}

TEST_F(EngineDeviceDiscoveryTest, APlayerOnAnotherLetterIsTheSameDevice) {
  StartPlayer();
  wmp::SyncDevicePtr device = Device();
  ASSERT_EQ(Partner(device), 1);
  fake_.AddDrive(L'H');
  drives_.AddDrive(L'H', os::DriveType::Removable);
  fake_.Move(L"F:\\PLAYER.INF", L"H:\\PLAYER.INF", false);
  fake_.Move(L"F:\\WMPInfo.xml", L"H:\\WMPInfo.xml", false);
  player_->Poll();
  Drain();
  std::wstring friendly;
  device->FriendlyName(&friendly);
  EXPECT_EQ(friendly, L"Cadenza Digital Audio Player (H:)");
  long index = 0;
  device->PartnershipIndex(&index);
  EXPECT_EQ(index, 1);
  bool connected = false;
  device->Connected(&connected);
  EXPECT_TRUE(connected);
}

TEST_F(EngineDeviceDiscoveryTest, APartnershipIsAnsweredLaterAndLeavesTheIdInTheRoot) {
  fake_.AddDrive(L'G');
  drives_.AddDrive(L'G', os::DriveType::Removable);
  fake_.AddFile(L"G:\\PLAYER.INF", Identity("ORB-0002"));
  StartPlayer();
  wmp::SyncDevicePtr device = Device();
  long index = -1;
  device->PartnershipIndex(&index);
  EXPECT_EQ(index, 0);

  ASSERT_EQ(device->CreatePartnership(), wmp::kOk);
  EXPECT_TRUE(events_->events.empty()) << "nothing is delivered inside the call";
  EXPECT_EQ(Drain(), (std::vector<std::wstring>{L"status 1", L"partnership 0"}));
  device->PartnershipIndex(&index);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(StatusOf(device), static_cast<long>(wmp::DeviceStatus::PartnershipExists));
  const std::string info = Content(L"F:\\WMPInfo.xml");
  EXPECT_EQ(info, mediaengine::WmpInfoBytes(IdOf(device)));

  wmp::SyncDevicePtr other = Device(L"Cadenza Digital Audio Player (G:)");
  EXPECT_EQ(Partner(other), 2);
  // Asking again keeps the index and answers again.
  ASSERT_EQ(device->CreatePartnership(), wmp::kOk);
  EXPECT_EQ(Drain(), std::vector<std::wstring>{L"partnership 0"});

  ASSERT_EQ(device->DeletePartnership(), wmp::kOk);
  EXPECT_EQ(Drain(), std::vector<std::wstring>{L"status 5"});
  device->PartnershipIndex(&index);
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(Exists(L"F:\\WMPInfo.xml")) << "the id stays with the player";
  EXPECT_EQ(Partner(device), 1) << "the lowest free index";

  // The next run of the engine finds the same partnerships.
  StartPlayer();
  Device(L"Cadenza Digital Audio Player (G:)")->PartnershipIndex(&index);
  EXPECT_EQ(index, 2);
  Device()->PartnershipIndex(&index);
  EXPECT_EQ(index, 1);
}

TEST_F(EngineDeviceDiscoveryTest, TheSeventeenthPlayerGetsNoPartnership) {
  for (int i = 1; i <= 16; ++i) {
    registry_.SeedString(os::Hive::CurrentUser, mediaengine::kPartnershipsKey,
                         (i < 10 ? L"0" : L"") + std::to_wstring(i), L"{other " + std::to_wstring(i) + L"}");
  }
  StartPlayer();
  wmp::SyncDevicePtr device = Device();
  ASSERT_EQ(device->CreatePartnership(), wmp::kOk);
  const auto events = Drain();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_NE(events[0], L"partnership 0");
  EXPECT_EQ(events[0].rfind(L"partnership -", 0), 0u) << "a failure result";
  long index = -1;
  device->PartnershipIndex(&index);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(device->Start(), wmp::kFail) << "no synchronisation without a partnership";
}

TEST_F(EngineDeviceDiscoveryTest, AFullPlayerCannotTakeTheIdAndGetsNoPartnership) {
  fake_.AddDrive(L'F', 20);
  fake_.AddFile(L"F:\\PLAYER.INF", "Serial=9");
  StartPlayer();
  wmp::SyncDevicePtr device = Device(L"Digital Audio Player (F:)");
  ASSERT_NE(device, nullptr);
  ASSERT_EQ(device->CreatePartnership(), wmp::kOk);
  EXPECT_EQ(Drain(), std::vector<std::wstring>{L"partnership " + std::to_wstring(wmp::kDiskFull)});
  long index = -1;
  device->PartnershipIndex(&index);
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(Exists(L"F:\\WMPInfo.xml"));
}

TEST_F(EngineDeviceDiscoveryTest, AnIdAnotherEngineLeftOnThePlayerIsKept) {
  fake_.AddFile(L"F:\\WMPInfo.xml", "<DeviceInfo><WMP DeviceID=\"{0A0B0C0D-0000-1111-2222-333344445555}\"/></DeviceInfo>\r\n");
  StartPlayer();
  wmp::SyncDevicePtr device = Device();
  EXPECT_EQ(IdOf(device), L"{0A0B0C0D-0000-1111-2222-333344445555}");
  EXPECT_EQ(Partner(device), 1);
  std::wstring id;
  ASSERT_TRUE(mediaengine::ReadWmpInfo(files_, L"F:\\", &id));
  EXPECT_EQ(id, L"{0A0B0C0D-0000-1111-2222-333344445555}");
}

TEST_F(EngineDeviceDiscoveryTest, ADeviceKeptAfterTheEngineIsGoneOnlyFails) {
  StartPlayer();
  wmp::SyncDevicePtr device = Device();
  ASSERT_EQ(Partner(device), 1);
  player_->Close();
  player_.reset();
  bool connected = true;
  EXPECT_EQ(device->Connected(&connected), wmp::kOk);
  EXPECT_FALSE(connected);
  long index = 0;
  EXPECT_LT(device->PartnershipIndex(&index), 0);
  EXPECT_LT(device->Start(), 0);
  EXPECT_LT(device->CreatePartnership(), 0);
  EXPECT_LT(device->DeletePartnership(), 0);
  std::wstring value;
  EXPECT_LT(device->GetItemInfo(L"FreeSpace", &value), 0);
  EXPECT_EQ(device->Stop(), wmp::kOk);
}

}  // namespace
}  // namespace device_test
