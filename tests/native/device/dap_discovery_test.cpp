// Finding the players: the maker libraries, the engine's devices, the
// player drives and the combo box that lists them.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "native/device/dap_fixture.h"

namespace dap_test {
namespace {

using Discovery = DapFixture;

struct AttachCase {
  const char* what;
  void (*breakIt)(DapFixture&);
  bool attaches;
};
void PrintTo(const AttachCase& c, std::ostream* out) { *out << c.what; }

class AttachTest : public DapFixture, public ::testing::WithParamInterface<AttachCase> {};

TEST_P(AttachTest, NeedsEveryLibraryEntryThePlayerAndTheDeviceManager) {
  GetParam().breakIt(*this);
  EXPECT_EQ(dap.Attach(&combo), GetParam().attaches);
}

INSTANTIATE_TEST_SUITE_P(
    Discovery, AttachTest,
    ::testing::Values(
        AttachCase{"whole", [](DapFixture&) {}, true},
        AttachCase{"no PlatDevice.dll", [](DapFixture& f) { f.modules = fakes::FakeModules(); },
                   false},
        AttachCase{"no CmnDeviceGetDriveNoMain",
                   [](DapFixture& f) {
                     f.modules.Register(device::kDeviceLibraryName,
                                        {{device::kDriveLettersEntryName, Export(&GetDriveNo)}});
                   },
                   false},
        AttachCase{"no CmnGetAdminAuthority",
                   [](DapFixture& f) { f.modules.Register(device::kNtLibraryName, {}); }, false},
        AttachCase{"no player", [](DapFixture& f) { f.context.UnbindPlayer(); }, false},
        AttachCase{"no playlist collection",
                   [](DapFixture& f) { f.player->DropPlaylistCollection(); }, false},
        AttachCase{"no device manager",
                   [](DapFixture& f) { f.manager.openResult = wmp::kFail; }, false}));

TEST_F(Discovery, ResetUnloadsTheLibrariesAndTheirEntryPoints) {
  AttachAndLabel();
  EXPECT_EQ(modules.LoadedCount(), 2);
  dap.Reset();
  EXPECT_EQ(modules.LoadedCount(), 0);
  EXPECT_EQ(dap.EngineMajor(), -1);
  Maker().letters = "F";
  EXPECT_EQ(dap.GetDriveLetters(false), L"");
  EXPECT_EQ(Maker().calls, 0);
}

TEST_F(Discovery, EngineDevicesComeFirstNamedByTheirStorage) {
  AddPlayerDrive(L'F', true, L"CADENZA");
  AttachAndLabel();
  player->Devices().AddDevice(L"ORBIT Lumina - External Storage", L"ORBIT Audio Device", L"SN2");
  player->Devices().AddDevice(L"ORBIT Lumina - Internal Storage", L"ORBIT Audio Device", L"SN1");
  player->Devices().AddDevice(L"Other Player", L"Some Digital Audio Player", L"X");
  player->Devices().AddDevice(L"", L"ORBIT Audio Device", L"SN3");
  player->Devices().AddDevice(L"ORBIT Gone", L"ORBIT Audio Device", L"SN4")->SetConnected(false);
  dap.EnumerateDevices();

  const auto& devices = dap.Devices();
  ASSERT_EQ(devices.size(), 3u);
  EXPECT_EQ(devices[0].name, L"ORBIT Lumina - SD");
  EXPECT_EQ(devices[0].serialNumber, L"SN2");
  EXPECT_FALSE(dap.IsInternalStorage(0));
  EXPECT_EQ(devices[1].name, L"ORBIT Lumina");
  EXPECT_EQ(devices[1].syncNumber, 1);
  EXPECT_TRUE(dap.IsInternalStorage(1));
  EXPECT_EQ(devices[2].drive, L"F:");
  EXPECT_EQ(devices[2].syncNumber, -1);
}

TEST_F(Discovery, DriveLettersBecomeDriveEntriesLabelledByTheirVolume) {
  AddPlayerDrive(L'F', true, L"CADENZA");
  AddPlayerDrive(L'G', false);
  AttachAndLabel();
  dap.EnumerateDevices();
  const auto& devices = dap.Devices();
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices[0].drive, L"F:");
  EXPECT_EQ(devices[0].name, L"CADENZA (F:)");
  EXPECT_EQ(devices[1].drive, L"G:");
  EXPECT_EQ(devices[1].name, L"リムーバブル ディスク (G:)");
}

TEST_F(Discovery, DriveLettersAreBoundedByTheBufferAndEmptyOnFailure) {
  AttachAndLabel();
  Maker().letters = "FG";
  Maker().mainLetters = "F";
  EXPECT_EQ(dap.GetDriveLetters(false), L"FG");
  EXPECT_EQ(dap.GetDriveLetters(true), L"F");
  Maker().result = 0;
  EXPECT_EQ(dap.GetDriveLetters(false), L"");
  // A library that leaves no terminator is not read beyond the buffer.
  Maker().result = 1;
  Maker().overfill = true;
  EXPECT_EQ(dap.GetDriveLetters(false), std::wstring(32, L'F'));
}

TEST_F(Discovery, MainStorageByLibraryAuthorityAndSettingsFile) {
  struct Case {
    const char* what;
    bool named;
    int admin;
    bool settings;
    bool expected;
  };
  const Case cases[] = {
      {"named by the library", true, 1, false, true},
      {"administrator, not named", false, 1, true, false},
      {"no authority, settings file", false, 0, true, true},
      {"no authority, no settings file", false, 0, false, false},
  };
  files.AddDrive(L'G');
  AttachAndLabel();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Maker().mainLetters = c.named ? "G" : "F";
    Maker().admin = c.admin;
    files.Delete(L"G:\\SETTINGS.DAT");
    if (c.settings) files.AddFile(L"G:\\SETTINGS.DAT", "x");
    EXPECT_EQ(dap.IsMainStorageDrive(L"G:"), c.expected);
  }
}

TEST_F(Discovery, SelectFirstTakesInternalStorageElseTheLastReadyEntry) {
  AddPlayerDrive(L'F', false);
  AddPlayerDrive(L'G', false);
  AddPlayerDrive(L'H', false);
  files.SetClusters(L'H', os::DiskClusters{8, 512, 0, 0});  // not ready
  AttachAndLabel();
  dap.RefreshList(true, true);
  EXPECT_EQ(combo.GetItemCount(), 3);
  EXPECT_EQ(combo.GetSelection(), 1);
  EXPECT_EQ(dap.GetSelectedDrive(), L"G:");
  EXPECT_EQ(dap.GetState(), common::kListed);

  Maker().mainLetters = "H";
  dap.RefreshList(true, true);
  EXPECT_EQ(dap.GetSelectedDrive(), L"H:");
}

TEST_F(Discovery, ReselectionByRememberedNameAndSerialNumber) {
  AttachAndLabel();
  player->Devices().AddDevice(L"ORBIT Lumina", L"ORBIT Audio Device", L"SN1");
  auto second = player->Devices().AddDevice(L"ORBIT Lumina", L"ORBIT Audio Device", L"SN2");
  dap.RefreshList(true, true);
  ASSERT_EQ(combo.GetSelection(), 0);
  combo.Select(1);
  combo.OpenDropDown();
  dap.RefreshList(false, false);
  // Same name: only the serial number tells the second one apart.
  EXPECT_EQ(combo.GetSelection(), 1);
  EXPECT_TRUE(combo.DropDownOpen());

  player->Devices().RemoveDevice(*second);
  dap.RefreshList(false, true);
  EXPECT_EQ(combo.GetSelection(), -1);
  EXPECT_FALSE(combo.DropDownOpen());

  player->Devices().RemoveDevice(*player->Devices().At(0));
  dap.RefreshList(false, true);
  EXPECT_EQ(combo.GetItemCount(), 0);
  EXPECT_EQ(dap.GetState(), common::kNothingFound);
}

TEST_F(Discovery, DriveEntriesFindTheirEngineDeviceThroughWmpInfo) {
  AddPlayerDrive(L'F', true);
  AddPlayerDrive(L'G', false);
  auto f = AddDriveDevice(L'F');
  auto g = AddDriveDevice(L'G');
  AttachAndLabel();
  // G: in the ANSI code page, without a mark.
  files.AddFile(L"G:\\WMPInfo.xml", "<DeviceInfo><WMP DeviceID=\"{0000000G-ABCD}\"/></DeviceInfo>");
  dap.EnumerateDevices();
  ASSERT_EQ(dap.Devices().size(), 2u);
  EXPECT_EQ(dap.Devices()[0].syncNumber, 0);
  EXPECT_EQ(dap.Devices()[1].syncNumber, 1);

  // Without the file every candidate device is asked for a partnership,
  // which makes the engine write it.
  files.Delete(L"G:\\WMPInfo.xml");
  dap.EnumerateDevices();
  EXPECT_EQ(dap.Devices()[1].syncNumber, -1);
  EXPECT_EQ(g->Calls(fakes::SyncDeviceOp::CreatePartnership), 1);
  EXPECT_EQ(f->Calls(fakes::SyncDeviceOp::CreatePartnership), 1);
}

TEST_F(Discovery, TheOlderEngineMatchesTheDriveInTheFriendlyName) {
  player->SetVersion(L"10.0.0.3646");
  ASSERT_TRUE(context.BindPlayer(player));
  AddPlayerDrive(L'G', false);
  player->Devices().AddDevice(L"Cadenza (F:)", L"Orbit Cadenza Digital Audio Player");
  player->Devices().AddDevice(L"Cadenza Card (G:)", L"Orbit Cadenza Digital Audio Player");
  AttachAndLabel();
  dap.EnumerateDevices();
  ASSERT_EQ(dap.Devices().size(), 1u);
  EXPECT_EQ(dap.Devices()[0].syncNumber, 1);
}

}  // namespace
}  // namespace dap_test
