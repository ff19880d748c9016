// The transfer command and the rip and sync ticks: what they read, the
// stall path, the end step, and events that arrive while they wait.
#include "native/controller/controller_fixture.h"

namespace controller_test {
namespace {

using namespace controller;  // NOLINT

TEST_F(ControllerTest, TransferReadsChecksAndSizesOfTheCheckedTracksOnly) {
  w.DriveTo(SYNC_WAIT);
  w.list.Check(2, false);  // 30 MB left out: 10 + 20 checked
  w.dap.freeMB = 29.0f;
  w.Command(IDC_TRANSFER);
  ASSERT_EQ(w.view.questions.size(), 1u);  // 29 < 30
  EXPECT_EQ(w.view.questions[0].text, Strings().Load(IDS_MSG_PLAYER_SPACE_SHORT));
  EXPECT_EQ(w.view.questions[0].caption, Strings().Load(IDS_APP_TITLE));
  EXPECT_EQ(w.cd.freeSpacePaths, std::vector<std::wstring>{L"C:\\Music"});
  EXPECT_EQ(w.cd.ripFolders, std::vector<std::wstring>{L"C:\\Music"});
  EXPECT_EQ(w.view.cellEditsFinished, std::vector<bool>{true});
  EXPECT_EQ(w.view.waitDepth, 0);
  EXPECT_EQ(w.view.waitCursors, 1);

  World world;
  world.DriveTo(SYNC_WAIT);
  world.dap.freeMB = 30.0f;  // exactly the whole: no question
  world.list.Check(2, false);
  world.Command(IDC_TRANSFER);
  EXPECT_TRUE(world.view.questions.empty());
  EXPECT_EQ(world.State(), SYNC_RIPPING);
}

TEST_F(ControllerTest, NoCheckedTrackWinsOverAFullPlayer) {
  w.DriveTo(SYNC_WAIT);
  w.dap.freeMB = 0.0f;
  for (int row = 0; row < 3; ++row) w.list.Check(row, false);
  w.Command(IDC_TRANSFER);
  EXPECT_EQ(w.Shown(), std::vector<unsigned>{IDS_MSG_NOTHING_CHECKED});
  EXPECT_EQ(w.view.messages[0].icon, MessageIcon::kError);
  // Back in SYNC_WAIT with the controls usable again.
  EXPECT_EQ(w.State(), SYNC_WAIT);
  EXPECT_TRUE(w.view.Enabled(IDC_TRANSFER));
}

TEST_F(ControllerTest, TransferIsIgnoredWhileATransferRuns) {
  w.DriveTo(SYNC_RIPPING);
  w.Command(IDC_TRANSFER);
  EXPECT_EQ(w.State(), SYNC_RIPPING);
  EXPECT_FALSE(w.Logged("cd.StartRip"));
  EXPECT_TRUE(w.view.cellEditsFinished.size() == 1u);  // only the first one
}

TEST_F(ControllerTest, DiscChangeWhileTheQuestionIsOpenRipsNothing) {
  w.DriveTo(SYNC_WAIT);
  w.dap.freeMB = 50.0f;
  int stateInside = -1;
  w.view.onQuestion = [&] {
    w.cd.discThere = false;
    EXPECT_EQ(w.dlg.OnCdromMediaChange(0), 0);
    stateInside = w.State();
  };
  w.Command(IDC_TRANSFER);
  // The handler ran inside (recursive lock) and only reopened the disc.
  EXPECT_EQ(stateInside, SYNC_PRE_RIPPING);
  EXPECT_TRUE(w.Logged("cd.OpenDisc(check)"));
  EXPECT_EQ(w.clock.Waits(), std::vector<std::uint32_t>{3000});
  // The answer was about the old disc: nothing is prepared or ripped, and
  // the window shows the drive as it is now.
  EXPECT_FALSE(w.Logged("cd.RemoveMissingLibraryEntries"));
  EXPECT_FALSE(w.Logged("cd.StartRip"));
  EXPECT_EQ(w.State(), SYNC_INIT);
  EXPECT_TRUE(w.Logged("cd.FillTrackList(128000,reset)"));
  EXPECT_EQ(w.view.Label(IDC_STATUS), Strings().Load(IDS_STATUS_INSERT_CD));
}

TEST_F(ControllerTest, AStalledRipEjectsAndReports725ThenFinishes) {
  w.DriveTo(SYNC_RIPPING);
  w.cd.pollProgress = {0};
  for (int tick = 1; tick <= 15; ++tick) {
    w.Tick(kTimerRipPoll);
    EXPECT_EQ(w.Fields().ripStallCount, static_cast<unsigned>(tick));
  }
  EXPECT_FALSE(w.Logged("cd.Eject"));
  w.Tick(kTimerRipPoll);
  EXPECT_EQ(w.Count("cd.Eject"), 1);
  EXPECT_EQ(w.Shown(), std::vector<unsigned>{IDS_MSG_RIP_STALLED});
  EXPECT_EQ(w.view.messages[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(w.Fields().ripStallCount, 0u);
  EXPECT_EQ(w.State(), SYNC_RIPPING_ERROR);
  EXPECT_FALSE(w.Running(kTimerRipPoll));
  w.Tick(kTimerFinish);
  // One message is enough: no 707 after the 725.
  EXPECT_EQ(w.Shown(), (std::vector<unsigned>{IDS_MSG_RIP_STALLED}));
  EXPECT_TRUE(w.Logged("cd.StopRip"));
  EXPECT_EQ(w.State(), SYNC_INIT);
  EXPECT_FALSE(w.Running(kTimerFinish));
}

TEST_F(ControllerTest, ProgressEventsKeepTheRipAlive) {
  w.DriveTo(SYNC_RIPPING);
  w.cd.pollProgress = {0};
  fakes::FakeMediaPtr track = w.cd.disc->At(0);
  for (int percent = 1; percent <= 40; ++percent) {
    track->Set(L"Status", L"Ripping (" + std::to_wstring(percent) + L"%)");
    EXPECT_EQ(w.dlg.OnMediaChange(track.get()), 0);
    w.Tick(kTimerRipPoll);
  }
  EXPECT_EQ(w.State(), SYNC_RIPPING);
  EXPECT_TRUE(w.Running(kTimerRipPoll));
  EXPECT_FALSE(w.Logged("cd.Eject"));
}

TEST_F(ControllerTest, SyncStateEventsInsidePrepareSync) {
  // "synchronizing" finds SYNC_SYNCING and starts the progress timer.
  w.DriveTo(SYNC_RIPPING);
  w.dap.onPrepareSync = [&] { w.dlg.OnDeviceSyncStateChange(w.dap.ours.get(), 1); };
  w.cd.pollProgress = {300};
  w.Tick(kTimerRipPoll);
  EXPECT_EQ(w.State(), SYNC_SYNCING);
  EXPECT_TRUE(w.Running(kTimerSyncProgress));
  EXPECT_EQ(w.dap.ours->Calls(fakes::SyncDeviceOp::Stop), 0);
  EXPECT_TRUE(w.Running(kTimerSyncStart));

  // "stopped" inside it ends the transfer there; the poll leaves that alone.
  World world;
  world.DriveTo(SYNC_RIPPING);
  world.dap.pollSync = -1;
  world.dap.onPrepareSync = [&] { world.dlg.OnDeviceSyncStateChange(world.dap.ours.get(), 2); };
  world.cd.pollProgress = {300};
  world.Tick(kTimerRipPoll);
  EXPECT_EQ(world.State(), SYNC_ERROR);
  EXPECT_FALSE(world.Running(kTimerSyncStart));
}

TEST_F(ControllerTest, SyncStartAfterThePause) {
  w.DriveTo(SYNC_RIPPING);
  w.cd.pollProgress = {300};
  w.Tick(kTimerRipPoll);
  w.dap.startSync = false;
  w.Tick(kTimerSyncStart);
  // Both ran under the wait cursor, which is off again; the tracks are the
  // ones checked in the list.
  EXPECT_EQ(w.dap.underWaitCursor, (std::set<std::string>{"dap.PrepareSync", "dap.StartSync"}));
  EXPECT_EQ(w.view.waitDepth, 0);
  EXPECT_EQ(w.dap.checks, &w.list.Checks());
  EXPECT_FALSE(w.Running(kTimerSyncStart));
  EXPECT_TRUE(w.Running(kTimerSyncProgress));
  EXPECT_EQ(w.timers.Interval(kTimerSyncProgress), 1000u);
  // PollSync decides; the progress timer keeps running meanwhile.
  w.Tick(kTimerSyncProgress);
  EXPECT_TRUE(w.Running(kTimerSyncProgress));
  w.dap.pollSync = -1;
  w.Tick(kTimerSyncProgress);
  EXPECT_EQ(w.State(), SYNC_ERROR);
  EXPECT_FALSE(w.Running(kTimerSyncProgress));
}

TEST_F(ControllerTest, FinishWaitsWhileTheTransferRuns) {
  w.DriveTo(SYNC_SYNCING);
  w.Tick(kTimerFinish);
  EXPECT_TRUE(w.Running(kTimerFinish));
  EXPECT_TRUE(w.view.messages.empty());
  w.dlg.SetSyncState(SYNC_INIT);
  w.Tick(kTimerFinish);
  EXPECT_FALSE(w.Running(kTimerFinish));
}

TEST_F(ControllerTest, EndStepByModel) {
  struct Case {
    int model;
    bool collected;
    const char* move;  // nullptr: none
  };
  const Case cases[] = {{0, true, "dap.MoveIntoMusicFolder"},
                        {1, true, "dap.MoveIntoMusicFolder"},
                        {2, true, "dap.MoveOutOfMusicFolder"},
                        {2, false, "dap.MoveOutOfMusicFolder"},
                        {0, false, nullptr}};
  for (const Case& c : cases) {
    World world;
    world.settings.model = c.model;
    world.dap.collected = c.collected;
    world.DriveTo(SYNC_SYNCING_DONE);
    world.Tick(kTimerFinish);
    const int into = world.Count("dap.MoveIntoMusicFolder");
    const int out = world.Count("dap.MoveOutOfMusicFolder");
    EXPECT_EQ(into + out, c.move ? 1 : 0) << c.model << c.collected;
    if (c.move) {
      EXPECT_TRUE(world.Logged(c.move)) << c.model << c.collected;
    }
    EXPECT_TRUE(world.Logged("dap.CloseStatus"));
    EXPECT_TRUE(world.Logged("cd.CloseStatus"));
    // Each step on the player's files shows the wait cursor and puts it back.
    EXPECT_TRUE(world.dap.underWaitCursor.count("dap.CollectTransferredFiles"));
    if (c.move) {
      EXPECT_TRUE(world.dap.underWaitCursor.count(c.move)) << c.model << c.collected;
    }
    EXPECT_EQ(world.view.waitDepth, 0);
  }
}

}  // namespace
}  // namespace controller_test
