// Every handler of the engine's events, delivered the way the engine does:
// raised on the player, turned into messages by the event sink, sent to
// the controller.
#include <memory>

#include "engine/event_dispatch.h"
#include "native/controller/controller_fixture.h"

namespace controller_test {
namespace {

using namespace controller;  // NOLINT

class ControllerEventsTest : public ControllerTest {
 protected:
  void SetUp() override {
    sink->SetMainWindow(&w.dlg);
    std::uint32_t cookie = 0;
    ASSERT_TRUE(wmp::Succeeded(w.player->Advise(sink, &cookie)));
  }
  void TearDown() override { sink->SetMainWindow(nullptr); }

  // Track `number` of the disc with a "Status" text ("" = not started).
  fakes::FakeMediaPtr Track(int number, const std::wstring& status) {
    fakes::FakeMediaPtr track = w.cd.disc->At(static_cast<std::size_t>(number - 1));
    if (status.empty()) {
      track->Unset(L"Status");
    } else {
      track->Set(L"Status", status);
    }
    return track->Fresh();
  }

  std::shared_ptr<engine::CWMPEventDispatch> sink = std::make_shared<engine::CWMPEventDispatch>();
};

TEST_F(ControllerEventsTest, DiscChangeFollowsTheSelectedDriveOnly) {
  w.DriveTo(SYNC_WAIT);
  w.dlg.Fields().transferDone = 1;
  w.player->RaiseCdromMediaChange(1);
  EXPECT_TRUE(w.clock.Waits().empty());
  EXPECT_TRUE(w.log.empty());

  w.player->RaiseCdromMediaChange(0);
  EXPECT_EQ(w.clock.Waits(), std::vector<std::uint32_t>{3000});
  EXPECT_EQ(w.Fields().transferDone, 0);
  EXPECT_EQ(w.State(), SYNC_WAIT);  // a disc is still there
  EXPECT_EQ((Log{w.log.begin(), w.log.begin() + 4}),
            (Log{"cd.RefreshList", "cd.OpenDisc(check)", "cd.FillTrackList(128000,reset)",
                 "cd.ShowAlbumName"}));
}

TEST_F(ControllerEventsTest, DiscChangeDuringATransfer) {
  struct Case {
    int state;
    Log calls;
    int autoSyncShown;
  };
  const Case cases[] = {{SYNC_RIPPING, {"cd.OpenDisc(check)"}, 1},
                        {SYNC_SYNCING, {"dap.StopSync"}, 0}};
  for (const Case& c : cases) {
    World world;
    world.DriveTo(c.state);
    world.dlg.OnCdromMediaChange(0);
    EXPECT_EQ(world.log, c.calls) << c.state;
    EXPECT_EQ(world.State(), c.state);
    EXPECT_EQ(world.Fields().autoSyncShown, c.autoSyncShown) << c.state;
  }
}

TEST_F(ControllerEventsTest, ANewDiscIsReadyAfterATransferOfAnother) {
  // The last rip saw tracks 1..3 reported; the new disc has 5 tracks.
  w.dlg.Fields().lastReportedTrack = 2;
  w.cd.trackCount = 5;
  w.player->RaiseCdromMediaChange(0);
  EXPECT_EQ(w.Fields().lastReportedTrack, -1);
  for (int i = 0; i < 4; ++i) w.Tick(kTimerPollDrives);
  EXPECT_EQ(w.State(), SYNC_WAIT);
}

TEST_F(ControllerEventsTest, TracksNotStartedMoveLastReportedTrack) {
  struct Step {
    int track;
    int editedRow;
    int trackCount;
    int expected;
  };
  const Step steps[] = {
      {5, -1, 9, 4}, {3, -1, 9, 4},  // raised, never lowered
      {1, -1, 9, -1},                // track 1 starts again
      {5, 4, 9, -1},                 // the edited row does not count...
      {5, 4, 5, 4},                  // ...unless it is the last track
  };
  w.cd.disc = fakes::MakeDisc(9);
  for (const Step& step : steps) {
    w.cd.trackCount = step.trackCount;
    w.dlg.Fields().editedRow = step.editedRow;
    EXPECT_EQ(w.dlg.OnMediaChange(Track(step.track, L"").get()), CMarimbaDlg::kTrackNotStarted);
    EXPECT_EQ(w.Fields().lastReportedTrack, step.expected) << step.track << " " << step.editedRow;
  }
}

TEST_F(ControllerEventsTest, RipProgressIgnoresWhatIsNotOurDiscOrUnreadable) {
  w.DriveTo(SYNC_RIPPING);
  // An item of another disc with the same track number.
  fakes::FakePlaylistPtr other = fakes::MakeDisc(3);
  other->At(0)->Set(L"Status", L"Ripping (10%)");
  w.player->RaiseMediaChange(other->At(0).get());
  // No track number.
  fakes::FakeMediaPtr loose = fakes::FakeMedia::Create(L"x");
  EXPECT_EQ(w.dlg.OnMediaChange(loose.get()), static_cast<std::intptr_t>(wmp::kFail));
  // An unreadable status.
  fakes::FakeMediaPtr track = Track(2, L"Ripping (10%)");
  track->FailRead(L"Status");
  EXPECT_EQ(w.dlg.OnMediaChange(track.get()), 0);
  EXPECT_EQ(w.dlg.OnMediaChange(nullptr), 0);
  EXPECT_TRUE(w.log.empty());
  EXPECT_EQ(w.State(), SYNC_RIPPING);
}

TEST_F(ControllerEventsTest, RipProgressCountsOnlyWhileRipping) {
  w.DriveTo(SYNC_RIPPING);
  w.player->RaiseMediaChange(Track(2, L"Ripping (50%)").get());
  EXPECT_EQ(w.Fields().lastRipProgress, 150);
  EXPECT_EQ(w.Fields().ripStallCount, 0u);
  // The same percentage reported again is still progress, however often.
  for (int report = 0; report < 20; ++report) {
    w.player->RaiseMediaChange(Track(2, L"Ripping (50%)").get());
  }
  EXPECT_EQ(w.Fields().ripStallCount, 0u);
  EXPECT_EQ(w.Fields().lastRipProgress, 150);
  EXPECT_EQ(w.State(), SYNC_RIPPING);

  // Idle: an edit of an already ripped disc reports "Ripped (100%)"; it
  // must not turn into a failed rip.
  World idle;
  idle.cd.eventProgress = [](int) { return -1; };
  fakes::FakeMediaPtr track = idle.cd.disc->At(0);
  track->Set(L"Status", L"Ripped (100%)");
  EXPECT_EQ(idle.dlg.OnMediaChange(track.get()), 0);
  EXPECT_EQ(idle.State(), SYNC_INIT);
  EXPECT_FALSE(idle.Logged("cd.UpdateRipProgress(100)"));
}

TEST_F(ControllerEventsTest, AlbumNameChange) {
  struct Case {
    const char* name;
    int state;
    bool discPlaylist;
    long change;
    int selfEdit;
    bool refreshed;
    // The edited track (row 1) reported its own change first.
    bool trackReported;
    // A cell is open for typing: only the album name is shown again.
    bool editing;
  };
  const Case cases[] = {
      {"renamed by the engine", SYNC_INIT, true, 8, 0, true, false, false},
      {"renamed from the list", SYNC_INIT, true, 8, 1, false, false, false},
      {"after a title edit reported by its track", SYNC_INIT, true, 8, 1, true, true, false},
      {"while a cell is edited", SYNC_WAIT, true, 8, 0, true, false, true},
      {"another playlist", SYNC_INIT, false, 8, 0, false, false, false},
      {"another change", SYNC_INIT, true, 3, 0, false, false, false},
      {"while ripping", SYNC_RIPPING, true, 8, 0, false, false, false}};
  for (const Case& c : cases) {
    World world;
    world.DriveTo(c.state);
    world.dlg.Fields().selfEditPending = c.selfEdit;
    world.dlg.Fields().editedRow = 1;
    if (c.trackReported) world.dlg.OnMediaChange(world.cd.disc->At(1)->Fresh().get());
    if (c.editing) world.list.StartEdit(true);
    fakes::FakePlaylistPtr playlist = c.discPlaylist ? world.cd.disc->Fresh() : fakes::MakeDisc(3);
    EXPECT_EQ(world.dlg.OnPlaylistChange(playlist.get(), c.change), 0);
    const Log expected = !c.refreshed ? Log{}
                         : c.editing  ? Log{"cd.OpenDisc", "cd.ShowAlbumName"}
                                      : Log{"cd.OpenDisc", "cd.FillTrackList(128000)",
                                            "cd.ShowAlbumName"};
    EXPECT_EQ(world.list.IsCellEditActive(), c.editing) << c.name;
    EXPECT_EQ(world.log, expected) << c.name;
    EXPECT_EQ(world.Fields().selfEditPending, 0) << c.name;
    EXPECT_EQ(world.State(), c.state) << c.name;
  }
}

TEST_F(ControllerEventsTest, PlaybackIsStopped) {
  for (long state : {1L, 3L, 9L, 10L}) {
    w.player->Raise([state](wmp::IPlayerEvents& events) { events.PlayStateChange(state); });
  }
  EXPECT_EQ(w.player->Transport().Stops(), 2);
}

TEST_F(ControllerEventsTest, PartnershipResult) {
  w.dap.state = 2;
  w.dlg.SetSyncState(SYNC_INIT);
  w.player->RaiseCreatePartnershipComplete(w.dap.other.get(), wmp::kOk);
  EXPECT_TRUE(w.view.labels.empty());
  w.player->RaiseCreatePartnershipComplete(w.dap.ours.get(), wmp::kOk);
  EXPECT_TRUE(w.view.labels.count(IDC_STATUS));
}

TEST_F(ControllerEventsTest, PlayerConnected) {
  struct Case {
    int state;
    wmp::DeviceStatus status;
    int deletes;
    bool refreshed;
  };
  const Case cases[] = {{SYNC_WAIT, wmp::DeviceStatus::PartnershipExists, 1, true},
                        {SYNC_INIT, wmp::DeviceStatus::PartnershipDeclined, 0, true},
                        {SYNC_RIPPING, wmp::DeviceStatus::NewDevice, 1, false},
                        {SYNC_SYNCING, wmp::DeviceStatus::PartnershipExists, 1, false}};
  for (const Case& c : cases) {
    World world;
    world.settings.autoSync = 1;
    world.DriveTo(c.state);
    world.dlg.Fields().autoSyncShown = 1;
    fakes::FakeSyncDevicePtr device = fakes::FakeSyncDevice::Create(L"New", L"Digital Audio");
    device->SetStatus(c.status);
    world.dlg.OnDeviceConnect(device.get());
    EXPECT_EQ(device->Calls(fakes::SyncDeviceOp::DeletePartnership), c.deletes) << c.state;
    EXPECT_EQ(world.Logged("dap.RefreshList"), c.refreshed) << c.state;
    EXPECT_EQ(world.Fields().autoSyncShown, c.refreshed ? 0 : 1) << c.state;
    EXPECT_EQ(world.State(), c.state);
  }
}

TEST_F(ControllerEventsTest, PlayerDisconnected) {
  w.DriveTo(SYNC_SYNCING);
  w.dap.connected = false;
  w.player->RaiseDeviceDisconnect(w.dap.other.get());
  EXPECT_TRUE(w.log.empty());  // another device does not touch the transfer
  EXPECT_EQ(w.State(), SYNC_SYNCING);

  w.player->RaiseDeviceDisconnect(w.dap.ours.get());
  EXPECT_EQ(w.State(), SYNC_ERROR);
  EXPECT_TRUE(w.Logged("dap.RefreshList"));
  EXPECT_EQ(w.Fields().autoSyncShown, 0);
  w.Tick(kTimerFinish);
  EXPECT_EQ(w.Shown(), std::vector<unsigned>{IDS_MSG_SYNC_FAILED});
}

TEST_F(ControllerEventsTest, SyncErrorStopsOnlyOurSync) {
  fakes::FakeMediaPtr item = fakes::FakeMedia::Create(L"x");
  w.player->RaiseDeviceSyncError(w.dap.other.get(), item.get());
  EXPECT_TRUE(w.log.empty());
  w.player->RaiseDeviceSyncError(w.dap.ours.get(), item.get());
  EXPECT_EQ(w.log, Log{"dap.StopSync"});
}

TEST_F(ControllerEventsTest, SyncStateOfDevicesAndStates) {
  // Not ours: stopped whatever it reports.
  w.player->RaiseDeviceSyncStateChange(w.dap.other.get(), 1);
  EXPECT_EQ(w.dap.other->Calls(fakes::SyncDeviceOp::Stop), 1);
  // Ours synchronizing outside a transfer: stopped as well.
  w.player->RaiseDeviceSyncStateChange(w.dap.ours.get(), 1);
  EXPECT_EQ(w.dap.ours->Calls(fakes::SyncDeviceOp::Stop), 1);
  EXPECT_FALSE(w.Running(kTimerSyncProgress));
  // "stopped" while idle does nothing; no device at all neither.
  w.player->RaiseDeviceSyncStateChange(w.dap.ours.get(), 2);
  EXPECT_EQ(w.dlg.OnDeviceSyncStateChange(nullptr, 2), 0);
  EXPECT_TRUE(w.log.empty());
  // DeviceStatusChange is received and ignored.
  w.player->RaiseDeviceStatusChange(w.dap.ours.get(), 1);
  EXPECT_TRUE(w.log.empty());

  World done;
  done.DriveTo(SYNC_SYNCING_DONE);
  done.dlg.OnDeviceSyncStateChange(done.dap.ours.get(), 1);  // restart by the engine: stop
  EXPECT_EQ(done.dap.ours->Calls(fakes::SyncDeviceOp::Stop), 1);
  done.dlg.OnDeviceSyncStateChange(done.dap.ours.get(), 2);
  EXPECT_EQ(done.State(), SYNC_SYNCING_DONE);
  EXPECT_FALSE(done.Logged("dap.PollSync"));
}

}  // namespace
}  // namespace controller_test
