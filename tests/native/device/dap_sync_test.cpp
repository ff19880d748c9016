// The engine side of a transfer: partnership, temporary playlist, start,
// progress, cancel and clean-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/device/dap_fixture.h"
#include "resources/resource.h"

namespace dap_test {
namespace {

using fakes::SyncDeviceOp;

class SyncTest : public PlayerFilesFixture {
 public:
  std::vector<std::wstring> TempItemTitles() const {
    std::vector<std::wstring> titles;
    auto temp = player->Playlists().FindByName(dap.GetTempPlaylist().PlaylistName());
    for (const auto& item : temp ? temp->Items() : std::vector<fakes::FakeMediaPtr>()) {
      titles.push_back(item->Title());
    }
    return titles;
  }

  // Rows of a six-track disc with tracks 2 and 5 checked at the snapshot.
  void CheckTracksTwoAndFive() {
    for (int i = 0; i < 6; ++i) trackList.AddRow(L"row");
    trackList.Check(1, true);
    trackList.Check(4, true);
    trackList.SnapshotChecks(false);
    trackList.Check(0, true);  // after the snapshot: does not count
  }

  // A partnership and the playlist of a six-track album, ready to start.
  void Prepare() {
    Partner(*device, 1, L'F');
    ASSERT_TRUE(dap.PrepareSync(RippedAlbum(6).get(), Checks()));
    files.AddFile(dap.GetTempPlaylist().FilePath(), "<smil/>");
  }

};

TEST_F(SyncTest, EachRunStartsWithAFreshPartnershipOnce) {
  device->SetPartnership(3);
  dap.RefreshList(true, true);
  ASSERT_TRUE(dap.EnsurePartnership());
  EXPECT_EQ(device->Calls(SyncDeviceOp::DeletePartnership), 1);
  EXPECT_EQ(device->Calls(SyncDeviceOp::CreatePartnership), 1);
  EXPECT_FALSE(files.Exists(L"F:\\WMPInfo.xml"));
  EXPECT_EQ(dap.GetState(), common::kListed);

  player->Playlists().AddPlaylist(L"Favourites")->Set(L"Sync02", L"1");
  CompletePartnership(*device, 2, L'F');
  EXPECT_FALSE(dap.OnPartnershipComplete(player->Devices().AddDevice(L"X", L"Y").get()));
  ASSERT_TRUE(dap.OnPartnershipComplete(device->Fresh().get()));
  EXPECT_EQ(dap.GetState(), common::kOpened);
  EXPECT_EQ(dap.Partnership(), 2);
  EXPECT_EQ(player->Playlists().FindByName(L"Favourites")->Attribute(L"Sync02"), L"0");

  // The periodic refresh keeps it.
  dap.RefreshList(false, false);
  ASSERT_TRUE(dap.EnsurePartnership());
  EXPECT_EQ(device->Calls(SyncDeviceOp::DeletePartnership), 1);
  EXPECT_EQ(device->Calls(SyncDeviceOp::CreatePartnership), 1);
  EXPECT_EQ(dap.Partnership(), 2);
  EXPECT_TRUE(dap.IsOurDevice(device->Fresh().get()));
}

TEST_F(SyncTest, APartnershipIndexOf17AsksForANewOne) {
  Partner(*device, 1, L'F');
  device->SetPartnership(17);
  dap.RefreshList(false, false);
  ASSERT_TRUE(dap.EnsurePartnership());
  EXPECT_EQ(device->Calls(SyncDeviceOp::CreatePartnership), 2);
  EXPECT_EQ(device->Calls(SyncDeviceOp::DeletePartnership), 0);
  EXPECT_FALSE(files.Exists(L"F:\\WMPInfo.xml"));
  EXPECT_EQ(dap.GetState(), common::kListed);
}

TEST_F(SyncTest, DeletingRetriesTenTimesEvery100Milliseconds) {
  for (const int failures : {10, 11}) {
    SCOPED_TRACE(failures);
    // A run of its own: only the first partnership step of a run deletes.
    fakes::FakeClock waits;
    device::CDAPAcc run(device::DapPorts{files, drives, waits, modules, statusHost, Strings(),
                                         context, manager});
    ASSERT_TRUE(run.Attach(&combo));
    device->SetPartnership(4);
    WriteWmpInfo(L'F', device->State().deviceId);
    device->Script().Fail(SyncDeviceOp::DeletePartnership, wmp::kFail, failures);
    const int before = device->Calls(SyncDeviceOp::DeletePartnership);
    run.RefreshList(true, true);
    ASSERT_TRUE(run.EnsurePartnership());
    EXPECT_EQ(device->Calls(SyncDeviceOp::DeletePartnership) - before, 11);
    EXPECT_EQ(waits.Waits(), std::vector<std::uint32_t>(10, 100));
    if (failures == 11) {
      // The engine kept it, so the old partnership stays in use.
      EXPECT_EQ(run.GetState(), common::kOpened);
      EXPECT_EQ(run.Partnership(), 4);
    } else {
      EXPECT_EQ(run.GetState(), common::kListed);
      EXPECT_EQ(device->State().partnershipIndex, 0);
    }
  }
}

TEST_F(SyncTest, PrepareTakesExactlyTheCheckedTracksAndUnnumberedItems) {
  Partner(*device, 1, L'F');
  fakes::FakePlaylistPtr source = RippedAlbum(6);
  source->Add(fakes::FakeMedia::Create(L"Booklet", L"C:\\Music\\Artist\\Album\\Booklet.wma"));
  player->Playlists().AddPlaylist(L"Favourites")->Set(L"Sync01", L"1");
  CheckTracksTwoAndFive();

  ASSERT_TRUE(dap.PrepareSync(source.get(), Checks()));
  EXPECT_EQ(dap.GetTempPlaylist().PlaylistName(), L"Album");
  EXPECT_EQ(TempItemTitles(), (std::vector<std::wstring>{L"Track 02", L"Track 05", L"Booklet"}));
  const device::TransferRecord& record = dap.Transfer();
  EXPECT_EQ(record.sourceFiles, (std::vector<std::wstring>{L"02 Track 02.wma", L"05 Track 05.wma",
                                                           L"Booklet.wma"}));
  EXPECT_EQ(record.albumArtist, L"Artist");
  EXPECT_EQ(record.albumTitle, L"Album");
  EXPECT_EQ(record.artistFolder, L"Artist");
  EXPECT_EQ(record.albumFolder, L"Album");
  auto temp = player->Playlists().FindByName(L"Album");
  EXPECT_EQ(temp->Attribute(L"Sync01"), L"1");
  EXPECT_EQ(temp->Attribute(L"SyncOnly"), L"1");
  EXPECT_EQ(player->Playlists().FindByName(L"Favourites")->Attribute(L"Sync01"), L"0");
}

TEST_F(SyncTest, WithoutATrackListEveryItemGoesAndTheOlderEngineNamesItTemp) {
  player->SetVersion(L"10.0.0.1");
  ASSERT_TRUE(context.BindPlayer(player));
  ASSERT_TRUE(dap.Attach(&combo));
  Partner(*device, 1, L'F');
  hasTrackList = false;
  fakes::FakePlaylistPtr source = RippedAlbum(3);
  source->At(0)->Set(L"WM/AlbumArtist", L"");
  ASSERT_TRUE(dap.PrepareSync(source.get(), Checks()));
  EXPECT_EQ(dap.GetTempPlaylist().PlaylistName(), L"Temp00");
  EXPECT_EQ(TempItemTitles().size(), 3u);
  EXPECT_EQ(dap.Transfer().albumArtist, L"アーティスト情報なし");
}

TEST_F(SyncTest, ATransferRunsFromStartToFinishAndCleansUp) {
  fakes::FakePlaylistPtr source = RippedAlbum(2);
  dap.RefreshList(true, true);
  EXPECT_FALSE(dap.PrepareSync(source.get(), Checks()));  // no partnership yet
  Prepare();
  const std::wstring playlistFile = dap.GetTempPlaylist().FilePath();
  clock.SetNow(1'800'000'000);
  ASSERT_TRUE(dap.StartSync());
  EXPECT_EQ(dap.Transfer().syncStart, 1'800'000'000);

  device->SetProgress(40);
  EXPECT_EQ(dap.PollSync(), 40);
  const fakes::StatusLog& window = statusHost.Log();
  EXPECT_TRUE(window.exists);
  EXPECT_EQ(window.message, Strings().Load(IDS_PROGRESS_SYNCING));
  EXPECT_EQ(window.high, 100);
  EXPECT_EQ(window.position, 40);
  EXPECT_TRUE(window.cancelEnabled);

  device->SetProgress(100);
  EXPECT_EQ(dap.PollSync(), 100);
  EXPECT_FALSE(window.exists);
  EXPECT_EQ(clock.Waits(), std::vector<std::uint32_t>{1000});
  EXPECT_EQ(player->Playlists().Removed(), std::vector<std::wstring>{L"Album"});
  EXPECT_FALSE(files.Exists(playlistFile));
  EXPECT_EQ(device->State().partnershipIndex, 0);
}

TEST_F(SyncTest, CancelStopsTheEngineAndCleansUp) {
  Prepare();
  ASSERT_TRUE(dap.StartSync());
  device->SetProgress(10);
  ASSERT_EQ(dap.PollSync(), 10);
  statusHost.Log().cancelled = true;
  EXPECT_EQ(dap.PollSync(), -2);
  EXPECT_EQ(device->Calls(SyncDeviceOp::Stop), 1);
  EXPECT_FALSE(statusHost.Log().exists);
  EXPECT_EQ(player->Playlists().Removed().size(), 1u);
  EXPECT_EQ(device->State().partnershipIndex, 0);
}

TEST_F(SyncTest, AFailedStartAStopRequestOrALostPlayerEndInFailure) {
  enum class How { StartFails, StopRequested, PlayerPulledOut };
  for (const How how : {How::StartFails, How::StopRequested, How::PlayerPulledOut}) {
    SCOPED_TRACE(static_cast<int>(how));
    Prepare();
    if (how == How::StartFails) {
      device->Script().Fail(SyncDeviceOp::Start);
      EXPECT_FALSE(dap.StartSync());
      EXPECT_TRUE(dap.StopRequested());
    } else {
      ASSERT_TRUE(dap.StartSync());
      if (how == How::StopRequested) {
        EXPECT_TRUE(dap.StopSync());
      } else {
        device->SetProgress(100).SetConnected(false);
      }
    }
    EXPECT_EQ(dap.PollSync(), -1);
    EXPECT_TRUE(player->Playlists().FindByName(L"Album") == nullptr);
    EXPECT_EQ(device->State().partnershipIndex, 0);
    EXPECT_FALSE(statusHost.Log().exists);
    device->SetConnected(true);
  }
}

TEST_F(SyncTest, APlaylistThatCannotBeRemovedKeepsThePartnershipUntilReset) {
  Prepare();
  player->Playlists().Script().Fail(fakes::PlaylistCollectionOp::Remove);
  EXPECT_FALSE(dap.FinishSync());
  EXPECT_EQ(device->State().partnershipIndex, 1);
  EXPECT_TRUE(files.Exists(dap.GetTempPlaylist().FilePath()));
  dap.Reset();
  EXPECT_EQ(player->Playlists().Removed(), std::vector<std::wstring>{L"Album"});
}

}  // namespace
}  // namespace dap_test
