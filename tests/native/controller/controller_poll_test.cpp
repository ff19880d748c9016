// The drive and player poll (readiness count, automatic-transfer prompt)
// and the timer rules of the ticks, with the watchdog.
#include "native/controller/controller_fixture.h"

namespace controller_test {
namespace {

using namespace controller;  // NOLINT

TEST_F(ControllerTest, WaitComesOnTheFourthReadyTickAndAFlickerStartsAgain) {
  // ready, ready, gone (player flickers), then four more.
  const bool connected[] = {true, true, false, true, true, true, true};
  const int expected[] = {SYNC_INIT, SYNC_INIT, SYNC_INIT, SYNC_INIT,
                          SYNC_INIT, SYNC_INIT, SYNC_WAIT};
  for (int tick = 0; tick < 7; ++tick) {
    w.dap.connected = connected[tick];
    w.Tick(kTimerPollDrives);
    EXPECT_EQ(w.State(), expected[tick]) << "tick " << tick;
  }
  // Re-armed after every tick.
  EXPECT_TRUE(w.Running(kTimerPollDrives));
  EXPECT_EQ(w.timers.Starts(kTimerPollDrives), 8);
}

TEST_F(ControllerTest, ReadinessAlsoNeedsTheListAndAllTracksReported) {
  struct Case {
    const char* name;
    bool listFilled;
    int lastReported;
  };
  const Case cases[] = {{"list not filled", false, -1}, {"tracks still reported", true, 1}};
  for (const Case& c : cases) {
    World world;
    world.cd.listFilled = c.listFilled;
    world.cd.fillFails = !c.listFilled;
    world.dlg.Fields().lastReportedTrack = c.lastReported;
    for (int i = 0; i < 6; ++i) world.Tick(kTimerPollDrives);
    EXPECT_EQ(world.State(), SYNC_INIT) << c.name;
    EXPECT_EQ(world.Fields().readyCount, 0) << c.name;
  }
}

TEST_F(ControllerTest, ADiscThatComesBackWithoutAnEventIsShownAndOffered) {
  w.Tick(kTimerPollDrives);
  w.cd.discThere = false;  // gone and back, the engine saying nothing
  w.Tick(kTimerPollDrives);
  EXPECT_FALSE(w.cd.listFilled);
  w.cd.discThere = true;
  w.log.clear();
  for (int i = 0; i < 5; ++i) w.Tick(kTimerPollDrives);
  EXPECT_TRUE(w.Logged("cd.FillTrackList(128000,reset)"));
  EXPECT_EQ(w.State(), SYNC_WAIT);
}

TEST_F(ControllerTest, ThePromptIsShownOnceAndCancelKeepsWaiting) {
  w.settings.autoSync = 1;
  w.view.promptTimesOut = false;  // the user cancels
  w.view.onPrompt = [&] {
    // Every control is locked while it is open.
    for (int id : {IDC_PLAYER_COMBO, IDC_DRIVE_COMBO, IDC_ALBUM, IDC_CLOSE, IDC_EXPLORER,
                   IDC_SETTINGS, IDC_TRANSFER}) {
      EXPECT_FALSE(w.view.Enabled(id)) << id;
    }
    EXPECT_FALSE(w.list.Interactive());
    // Its own timer is stopped: no second poll inside it.
    EXPECT_FALSE(w.Running(kTimerPollDrives));
  };
  for (int i = 0; i < 10; ++i) w.Tick(kTimerPollDrives);
  EXPECT_EQ(w.State(), SYNC_WAIT);
  EXPECT_EQ(w.view.prompts.size(), 1u);
  EXPECT_EQ(w.view.posted, 0);

  // A new player connection offers it again.
  w.dlg.OnDeviceConnect(w.dap.ours.get());
  w.view.promptTimesOut = true;
  w.Tick(kTimerPollDrives);
  EXPECT_EQ(w.view.prompts.size(), 2u);
  EXPECT_EQ(w.view.posted, 1);
}

TEST_F(ControllerTest, APromptOutlivedByItsDiscStartsNothing) {
  w.settings.autoSync = 1;
  w.view.onPrompt = [&] {
    w.cd.discThere = false;
    w.dlg.OnCdromMediaChange(0);
  };
  for (int i = 0; i < 4; ++i) w.Tick(kTimerPollDrives);
  EXPECT_EQ(w.view.prompts.size(), 1u);
  EXPECT_EQ(w.view.posted, 0);
  EXPECT_EQ(w.State(), SYNC_INIT);
}

TEST_F(ControllerTest, PollLeavesATransferAlone) {
  w.DriveTo(SYNC_RIPPING);
  w.Tick(kTimerPollDrives);
  EXPECT_TRUE(w.log == Log({"timer.Kill(5003)", "timer.Start(5003)"}));
}

TEST_F(ControllerTest, WatchdogClosesThePlayerAndRaisesItsNetWindow) {
  const os::WindowRef player = w.windows.Add(L"Windows Media Player");
  const os::WindowRef hidden = w.windows.Add(L"x");
  w.windows.At(hidden).visible = false;
  w.windows.Add(L"", true, player);
  const os::WindowRef net = w.windows.Add(L"ネットワーク", true, player);
  w.dlg.SetSyncState(SYNC_RIPPING);
  int running = -1;
  w.view.onMessage = [&](const fakes::ShownMessage&) { running = w.Running(kTimerWatchdog); };
  w.Tick(kTimerWatchdog);
  EXPECT_TRUE(w.windows.At(player).closeRequested);
  EXPECT_EQ(w.Shown(), std::vector<unsigned>{IDS_MSG_PLAYER_CLOSED});
  EXPECT_EQ(running, 0);
  EXPECT_EQ(w.windows.Foregrounded(), std::vector<os::WindowRef>{net});
  EXPECT_TRUE(w.Running(kTimerWatchdog));

  // An invisible player window is left alone, and so is a child named like us.
  World world;
  const os::WindowRef invisible = world.windows.Add(L"Windows Media Player", false);
  world.windows.Add(Strings().Load(IDS_APP_TITLE), true, invisible);
  world.Tick(kTimerWatchdog);
  EXPECT_FALSE(world.windows.At(invisible).closeRequested);
  EXPECT_TRUE(world.view.messages.empty());
  EXPECT_TRUE(world.windows.Foregrounded().empty());
}

TEST_F(ControllerTest, TicksOfAnUnboundWindowAndUnknownIdsDoNothing) {
  FakeSettings settings;
  controller::CMarimbaDlg unbound{controller::DlgPorts{w.view, w.timers, w.clock, w.windows,
                                                       Strings(), settings, w.prefs, w.context,
                                                       w.list}};
  unbound.OnTimer(kTimerPollDrives);
  unbound.OnTimer(4999);
  EXPECT_EQ(unbound.OnCdromMediaChange(0), 0);
  EXPECT_TRUE(unbound.OnCommand(IDC_TRANSFER));
  EXPECT_EQ(w.cd.state, 0);
  EXPECT_EQ(unbound.GetSyncState(), SYNC_INIT);
}

}  // namespace
}  // namespace controller_test
