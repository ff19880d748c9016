// The used and free space of the selected player, and the device manager
// that may know an engine device's free space better than the engine.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "native/device/dap_fixture.h"
#include "device/engine_device_manager.h"

namespace dap_test {
namespace {

using Capacity = DapFixture;

TEST_F(Capacity, ADriveShowsItsClustersAndFreeMegabytes) {
  AddPlayerDrive(L'F', true);
  files.SetClusters(L'F', os::DiskClusters{8, 512, 250'000, 1'000'000});
  AttachAndLabel();
  dap.RefreshList(true, true);
  dap.UpdateCapacity();
  EXPECT_FLOAT_EQ(dap.FreeMB(), 976.5625f);
  EXPECT_EQ(usedLabel.GetText(), ui::ClusterSizeText(750'000, 8, 512));
  EXPECT_EQ(freeLabel.GetText(), ui::ClusterSizeText(250'000, 8, 512));

  // About 244 GB free: beyond 32 bits of bytes.
  files.SetClusters(L'F', os::DiskClusters{128, 512, 4'000'000, 4'000'000});
  dap.UpdateCapacity();
  EXPECT_FLOAT_EQ(dap.FreeMB(), 250'000.0f);

  files.SetDriveReady(L'F', false);
  dap.UpdateCapacity();
  EXPECT_EQ(dap.FreeMB(), 0.0f);
  EXPECT_EQ(usedLabel.GetText(), L"-- MB");
  EXPECT_EQ(freeLabel.GetText(), L"-- MB");
}

TEST_F(Capacity, NothingSelectedShowsNoValue) {
  AttachAndLabel();
  freeLabel.SetText(L"old");
  dap.RefreshList(true, true);
  dap.UpdateCapacity();
  EXPECT_EQ(dap.FreeMB(), 0.0f);
  EXPECT_EQ(usedLabel.GetText(), L"-- MB");
  EXPECT_EQ(freeLabel.GetText(), L"-- MB");
}

TEST_F(Capacity, TheManagerCountsOnlyForOurMakerTheSameNameAndTheSameSize) {
  constexpr std::int64_t kTotal = 1'000'000'000;
  constexpr std::int64_t kEngineFree = 300'000'000;
  constexpr std::int64_t kManagerFree = 104'857'600;
  const std::wstring name = L"ORBIT Lumina - Internal Storage";
  struct Case {
    const char* what;
    std::wstring manufacturer;
    std::wstring friendlyName;
    std::int64_t total;
    bool managerCounts;
  };
  const Case cases[] = {
      {"the same device", L"ORBIT", name, kTotal, true},
      {"another total", L"ORBIT", name, kTotal - 1, false},
      {"maker with a space", L"ORBIT ", name, kTotal, false},
      {"another name", L"ORBIT", L"ORBIT Lumina", kTotal, false},
  };
  AttachAndLabel();
  player->Devices().AddDevice(name, L"ORBIT Audio Device", L"SN1")->SetSpace(kEngineFree, kTotal);
  dap.RefreshList(true, true);
  ASSERT_TRUE(dap.EnsurePartnership());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // A device without sizes comes first and is passed over.
    auto sizeless = std::make_shared<FakeManagedDevice>();
    sizeless->friendlyName = name;
    sizeless->storages = {device::StorageSize{}};
    auto found = std::make_shared<FakeManagedDevice>();
    found->manufacturer = c.manufacturer;
    found->friendlyName = c.friendlyName;
    found->storages = {
        device::StorageSize{true, true, static_cast<std::uint64_t>(c.total), kManagerFree}};
    manager.devices = {sizeless, std::make_shared<FakeManagedDevice>(), found};
    dap.UpdateCapacity();
    const std::int64_t free = c.managerCounts ? kManagerFree : kEngineFree;
    EXPECT_FLOAT_EQ(dap.FreeMB(), static_cast<float>(free / 1048576.0));
    EXPECT_EQ(freeLabel.GetText(), ui::ByteSizeText(free));
    EXPECT_EQ(usedLabel.GetText(), ui::ByteSizeText(kTotal - free));
  }
  // An engine that reports more free than total space shows nothing used.
  manager.devices.clear();
  player->Devices().At(0)->SetSpace(kTotal + 1, kTotal);
  dap.UpdateCapacity();
  EXPECT_EQ(usedLabel.GetText(), ui::ByteSizeText(0));
}

TEST(EngineDeviceManagerTest, KnowsTheEnginesConnectedFolderPlayers) {
  auto player = std::make_shared<fakes::FakePlayer>();
  player->Devices().AddDevice(L"Cadenza (F:)", L"Orbit Cadenza Digital Audio Player", L"SN2");
  player->Devices().AddDevice(L"ORBIT Gone", L"ORBIT Audio Device", L"SN3")->SetConnected(false);
  player->Devices().AddDevice(L"ORBIT Lumina", L"ORBIT Audio Device", L"SN1")->SetSpace(100, 1000);
  common::PlayerContext context;
  ASSERT_TRUE(context.BindPlayer(player));
  device::EngineDeviceManagerSource source(context);
  device::DeviceManagerPtr manager;
  ASSERT_EQ(source.Open(&manager), wmp::kOk);
  device::ManagedDeviceEnumPtr list;
  ASSERT_EQ(manager->EnumDevices(&list), wmp::kOk);

  device::ManagedDevicePtr found;
  ASSERT_EQ(list->Next(&found), wmp::kOk);
  std::wstring maker, name;
  std::vector<device::StorageSize> storages;
  ASSERT_EQ(found->GetManufacturer(&maker), wmp::kOk);
  ASSERT_EQ(found->GetFriendlyName(&name), wmp::kOk);
  ASSERT_EQ(found->EnumStorage(&storages), wmp::kOk);
  EXPECT_EQ(maker, L"ORBIT");
  EXPECT_EQ(name, L"ORBIT Lumina");
  ASSERT_EQ(storages.size(), 1u);
  EXPECT_TRUE(storages[0].hasTotal && storages[0].hasFree);
  EXPECT_EQ(storages[0].totalBytes, 1000u);
  EXPECT_EQ(storages[0].freeBytes, 100u);
  EXPECT_EQ(list->Next(&found), wmp::kFalse);
}

}  // namespace
}  // namespace dap_test
