// The transfer state machine, one case per line of its transition table.
// Each line runs from every state it names, in a fresh world brought there
// along the road a user takes.
#include <functional>
#include <stdexcept>
#include <ostream>
#include <string>
#include <vector>

#include "native/controller/controller_fixture.h"

namespace controller_test {
namespace {

using namespace controller;  // NOLINT: the state names read as in the table

struct Line {
  const char* name;
  std::vector<int> from;
  std::function<void(World&, int from)> run;
};

// Runs the transfer command with a hook inside its 719 question, where the
// state is SYNC_PRE_RIPPING.
void TransferWithQuestion(World& w, const std::function<void()>& inside) {
  w.dap.freeMB = 50.0f;  // every track fits, not all of them
  w.view.onQuestion = inside;
  w.Command(IDC_TRANSFER);
}

const Line kLines[] = {
    {"Construction", {},
     [](World& w, int) {
       EXPECT_EQ(w.State(), SYNC_INIT);
       const TransferFields& f = w.Fields();
       EXPECT_EQ(f.lastReportedTrack, -1);
       EXPECT_EQ(f.readyCount + f.autoSyncShown + f.transferDone + f.lastRipProgress, 0);
       EXPECT_EQ(f.ripStallCount, 0u);
       EXPECT_EQ(f.selfEditPending, 0);
       EXPECT_EQ(f.editedRow, -1);
       EXPECT_TRUE(w.Running(kTimerPollDrives));
       EXPECT_TRUE(w.Running(kTimerWatchdog));
       EXPECT_EQ(w.timers.Interval(kTimerPollDrives), 2000u);
       EXPECT_EQ(w.timers.Interval(kTimerWatchdog), 3000u);
     }},
    {"ReadyPollBelowThreeCounts", {SYNC_INIT},
     [](World& w, int) {
       for (int count = 1; count <= 3; ++count) {
         w.Tick(kTimerPollDrives);
         EXPECT_EQ(w.State(), SYNC_INIT);
         EXPECT_EQ(w.Fields().readyCount, count);
       }
     }},
    {"FourthReadyPollWaits", {SYNC_INIT, SYNC_WAIT},
     [](World& w, int from) {
       w.settings.autoSync = 1;
       for (int i = 0; i < 4 && w.State() == SYNC_INIT; ++i) w.Tick(kTimerPollDrives);
       if (from == SYNC_WAIT) w.Tick(kTimerPollDrives);
       EXPECT_EQ(w.State(), SYNC_WAIT);
       EXPECT_EQ(w.view.prompts.size(), 1u);
       EXPECT_EQ(w.view.prompts[0], Strings().Load(IDS_AUTO_TRANSFER_PROMPT));
       EXPECT_EQ(w.view.posted, 1);
     }},
    {"PollWithoutReadinessGoesIdle", {SYNC_INIT, SYNC_WAIT},
     [](World& w, int from) {
       w.DriveTo(from);
       w.dap.partnered = false;  // the partnership went
       w.dap.state = 1;
       w.Tick(kTimerPollDrives);
       EXPECT_EQ(w.State(), SYNC_INIT);
       EXPECT_EQ(w.Fields().readyCount, 0);
     }},
    {"SettingsAndAlbumReturnToTheirState",
     {SYNC_INIT, SYNC_WAIT, SYNC_RIPPING_ERROR, SYNC_SYNCING_DONE, SYNC_ERROR, SYNC_ABORT},
     [](World& w, int from) {
       w.DriveTo(from);
       for (int button : {IDC_SETTINGS, IDC_ALBUM}) {
         int during = -1;
         w.view.onDialog = [&] { during = w.State(); };
         w.Command(button);
         EXPECT_EQ(during, SYNC_SETTINGS);
         EXPECT_EQ(w.State(), from);
       }
       EXPECT_EQ(w.view.settingsRuns + w.view.albumRuns, 2);
     }},
    {"PollInsideADialogOnlyRefreshesTheScreen", {SYNC_SETTINGS},
     [](World& w, int) {
       w.dap.state = 2;
       w.view.onDialog = [&] {
         w.log.clear();
         w.Tick(kTimerPollDrives);
         EXPECT_EQ(w.State(), SYNC_SETTINGS);
         EXPECT_EQ(w.log, (Log{"timer.Kill(5003)", "dap.UpdateCapacity", "timer.Start(5003)"}));
       };
       w.Command(IDC_SETTINGS);
       EXPECT_EQ(w.view.settingsRuns, 1);
     }},
    {"TransferEntersPreRippingFirst", {SYNC_WAIT, SYNC_SYNCING_DONE, SYNC_INIT},
     [](World& w, int from) {
       w.DriveTo(from == SYNC_INIT ? SYNC_SYNCING_DONE : from);
       if (from == SYNC_INIT) w.Tick(kTimerFinish);  // directly after FinishTransfer
       ASSERT_EQ(w.State(), from);
       int during = -1;
       TransferWithQuestion(w, [&] { during = w.State(); });
       EXPECT_EQ(during, SYNC_PRE_RIPPING);
       EXPECT_EQ(w.State(), SYNC_RIPPING);
     }},
    {"FailedChecksReturnToWait", {SYNC_PRE_RIPPING},
     [](World&, int) {
       struct Case {
         const char* name;
         std::function<void(World&)> arrange;
         std::vector<unsigned> shown;
       };
       const Case cases[] = {
           {"none checked", [](World& w) { for (int r = 0; r < 3; ++r) w.list.Check(r, false); },
            {IDS_MSG_NOTHING_CHECKED}},
           {"none fits", [](World& w) { w.dap.freeMB = 10.0f; }, {IDS_MSG_NOTHING_FITS}},
           {"PC space short", [](World& w) { w.cd.pcFreeMB = 59.0f; }, {IDS_MSG_PC_SPACE_SHORT}},
           {"answered No",
            [](World& w) {
              w.dap.freeMB = 50.0f;
              w.view.answerYes = false;
            },
            {}},
       };
       for (const Case& c : cases) {
         World w;
         w.DriveTo(SYNC_WAIT);
         c.arrange(w);
         w.Command(IDC_TRANSFER);
         EXPECT_EQ(w.State(), SYNC_WAIT) << c.name;
         EXPECT_EQ(w.Shown(), c.shown) << c.name;
         EXPECT_FALSE(w.Logged("cd.StartRip")) << c.name;
         EXPECT_FALSE(w.Logged("cd.RemoveMissingLibraryEntries")) << c.name;
       }
     }},
    {"DiscSwappedInsideAMessageIsShownAfterIt", {SYNC_PRE_RIPPING},
     [](World&, int) {
       // 721, 722, 712 and 707: the disc changes while the box is open.
       const std::function<void(World&)> arrange[] = {
           [](World& w) { for (int r = 0; r < 3; ++r) w.list.Check(r, false); },
           [](World& w) { w.dap.freeMB = 10.0f; },
           [](World& w) { w.cd.pcFreeMB = 59.0f; },
           [](World& w) { w.cd.failing["CheckTrackOrder"] = true; }};
       for (const auto& step : arrange) {
         World w;
         w.DriveTo(SYNC_WAIT);
         step(w);
         w.view.onMessage = [&](const fakes::ShownMessage&) { w.dlg.OnCdromMediaChange(0); };
         w.Command(IDC_TRANSFER);
         ASSERT_EQ(w.Shown().size(), 1u);
         EXPECT_EQ(w.State(), SYNC_INIT) << w.Shown()[0];
         EXPECT_TRUE(w.Logged("cd.FillTrackList(128000,reset)")) << w.Shown()[0];
         EXPECT_FALSE(w.Logged("cd.StartRip")) << w.Shown()[0];
       }
     }},
    {"FailedRipPreparationReturnsToWait", {SYNC_PRE_RIPPING},
     [](World&, int) {
       const char* const steps[] = {"RemoveMissingLibraryEntries", "CheckRippedFiles",
                                    "CheckTrackOrder", "PrepareDiscTags", "CorrectLibraryTags"};
       for (const char* step : steps) {
         World w;
         w.DriveTo(SYNC_WAIT);
         w.cd.failing[step] = true;
         w.Command(IDC_TRANSFER);
         EXPECT_EQ(w.State(), SYNC_WAIT) << step;
         EXPECT_EQ(w.Shown(), std::vector<unsigned>{IDS_MSG_RIP_FAILED}) << step;
         EXPECT_FALSE(w.Logged("cd.StartRip")) << step;
         EXPECT_FALSE(w.Running(kTimerFinish)) << step;
       }
     }},
    {"PreparedRipStarts", {SYNC_PRE_RIPPING},
     [](World& w, int) {
       w.settings.model = 2;
       w.DriveTo(SYNC_WAIT);
       w.Command(IDC_TRANSFER);
       EXPECT_EQ(w.State(), SYNC_RIPPING);
       const Log steps{"cd.RemoveMissingLibraryEntries", "cd.CheckRippedFiles(128000)",
                       "cd.CheckTrackOrder", "cd.PrepareDiscTags(2)", "cd.CorrectLibraryTags",
                       "timer.Start(5005)", "cd.StartRip", "timer.Start(5000)"};
       Log seen;
       for (const std::string& call : w.log) {
         if (std::find(steps.begin(), steps.end(), call) != steps.end()) seen.push_back(call);
       }
       EXPECT_EQ(seen, steps);
       EXPECT_EQ(w.Fields().autoSyncShown, 1);
     }},
    {"StartRipFailing", {SYNC_RIPPING},
     [](World& w, int) {
       w.DriveTo(SYNC_WAIT);
       w.cd.startRip = -1;
       w.Command(IDC_TRANSFER);
       EXPECT_EQ(w.State(), SYNC_RIPPING_ERROR);
       EXPECT_TRUE(w.Running(kTimerRipPoll));
       w.Tick(kTimerRipPoll);  // does nothing: the timer stays stopped
       EXPECT_FALSE(w.Running(kTimerRipPoll));
       EXPECT_EQ(w.State(), SYNC_RIPPING_ERROR);
     }},
    {"RipPollFailures", {SYNC_RIPPING},
     [](World&, int) {
       struct Case {
         const char* name;
         std::deque<int> progress;
         int ripped;
         int ticks;
       };
       const Case cases[] = {{"negative", {-1}, 3, 1},
                             {"sixteen ticks without progress", {0}, 3, 16},
                             {"library count differs", {300}, 2, 1},
                             {"beyond the disc", {400}, 3, 1}};
       for (const Case& c : cases) {
         World w;
         w.DriveTo(SYNC_RIPPING);
         w.cd.pollProgress = c.progress;
         w.cd.rippedCount = c.ripped;
         for (int i = 0; i < c.ticks; ++i) {
           EXPECT_EQ(w.State(), SYNC_RIPPING) << c.name << " tick " << i;
           w.Tick(kTimerRipPoll);
         }
         EXPECT_EQ(w.State(), SYNC_RIPPING_ERROR) << c.name;
       }
     }},
    {"EveryRipHasItsOwnStallCount", {SYNC_RIPPING},
     [](World& w, int) {
       w.DriveTo(SYNC_WAIT);
       // What a rip that failed while stalling leaves behind.
       w.dlg.Fields().ripStallCount = 12;
       w.dlg.Fields().lastRipProgress = 0;
       w.Command(IDC_TRANSFER);
       w.cd.pollProgress = {0};
       for (int tick = 1; tick <= 15; ++tick) w.Tick(kTimerRipPoll);
       EXPECT_EQ(w.State(), SYNC_RIPPING) << "given up before 32 s";
       w.Tick(kTimerRipPoll);
       EXPECT_EQ(w.State(), SYNC_RIPPING_ERROR);
     }},
    {"CompleteRipWithoutRippedTracks", {SYNC_RIPPING},
     [](World& w, int from) {
       w.DriveTo(from);
       w.cd.haveRipped = false;
       w.cd.pollProgress = {300};
       w.Tick(kTimerRipPoll);
       EXPECT_EQ(w.State(), SYNC_ERROR);
       EXPECT_FALSE(w.Logged("dap.PrepareSync"));
     }},
    {"CompleteRipPrepareSyncFails", {SYNC_RIPPING},
     [](World& w, int from) {
       w.DriveTo(from);
       int during = -1;
       w.dap.onPrepareSync = [&] { during = w.State(); };
       w.dap.prepareSync = false;
       w.cd.pollProgress = {300};
       w.Tick(kTimerRipPoll);
       EXPECT_EQ(during, SYNC_SYNCING);
       EXPECT_EQ(w.State(), SYNC_ERROR);
       EXPECT_FALSE(w.Running(kTimerSyncStart));
     }},
    {"CompleteRipPrepareSyncSucceeds", {SYNC_RIPPING},
     [](World& w, int from) {
       w.DriveTo(from);
       w.cd.pollProgress = {300};
       w.Tick(kTimerRipPoll);
       EXPECT_EQ(w.State(), SYNC_SYNCING);
       EXPECT_TRUE(w.Running(kTimerSyncStart));
       EXPECT_EQ(w.timers.Interval(kTimerSyncStart), 3000u);
       EXPECT_TRUE(w.Logged("cd.CorrectLibraryTags"));
       EXPECT_TRUE(w.Logged("cd.FindRippedTracks(checked)"));
     }},
    {"RipProgressEventFailing", {SYNC_RIPPING},
     [](World& w, int from) {
       w.DriveTo(from);
       w.cd.eventProgress = [](int) { return -2; };
       fakes::FakeMediaPtr track = w.cd.disc->At(1);
       track->Set(L"Status", L"Ripping (40%)");
       EXPECT_EQ(w.dlg.OnMediaChange(track.get()), static_cast<std::intptr_t>(wmp::kFail));
       EXPECT_TRUE(w.Logged("cd.UpdateRipProgress(140)"));
       EXPECT_EQ(w.State(), SYNC_RIPPING_ERROR);
       EXPECT_FALSE(w.Running(kTimerRipPoll));
     }},
    {"SyncTickFinished", {SYNC_SYNCING},
     [](World& w, int from) {
       w.DriveTo(from);
       w.dap.pollSync = 100;
       w.Tick(kTimerSyncProgress);
       EXPECT_EQ(w.State(), SYNC_SYNCING_DONE);
       EXPECT_FALSE(w.Running(kTimerSyncProgress));
     }},
    {"SyncTickCancelled", {SYNC_SYNCING},
     [](World& w, int from) {
       w.DriveTo(from);
       w.dap.pollSync = -2;
       w.Tick(kTimerSyncProgress);
       EXPECT_EQ(w.State(), SYNC_ABORT);
       EXPECT_FALSE(w.Running(kTimerSyncProgress));
     }},
    {"SyncTickFailed", {SYNC_SYNCING},
     [](World& w, int from) {
       w.DriveTo(from);
       w.dap.pollSync = -1;
       w.Tick(kTimerSyncProgress);
       EXPECT_EQ(w.State(), SYNC_ERROR);
       EXPECT_FALSE(w.Running(kTimerSyncProgress));
     }},
    {"StoppedEventAfterProgress", {SYNC_SYNCING},
     [](World& w, int from) {
       w.DriveTo(from);
       w.dap.pollSync = 60;
       w.dlg.OnDeviceSyncStateChange(w.dap.ours.get(), 2);
       EXPECT_EQ(w.State(), SYNC_SYNCING_DONE);
       EXPECT_FALSE(w.Running(kTimerSyncProgress));
       EXPECT_EQ(w.Count("dap.FinishSync"), 1);
     }},
    {"StoppedEventCancelled", {SYNC_SYNCING},
     [](World& w, int from) {
       w.DriveTo(from);
       w.dap.pollSync = -2;
       w.dlg.OnDeviceSyncStateChange(w.dap.ours.get(), 2);
       EXPECT_EQ(w.State(), SYNC_ABORT);
       EXPECT_FALSE(w.Running(kTimerSyncProgress));
       EXPECT_FALSE(w.Logged("dap.FinishSync"));
     }},
    {"StoppedEventOtherwise", {SYNC_SYNCING},
     [](World&, int) {
       for (int poll : {0, -1}) {
         World w;
         w.DriveTo(SYNC_SYNCING);
         w.dap.pollSync = poll;
         w.dlg.OnDeviceSyncStateChange(w.dap.ours.get(), 2);
         EXPECT_EQ(w.State(), SYNC_ERROR) << poll;
         EXPECT_FALSE(w.Running(kTimerSyncProgress)) << poll;
         EXPECT_EQ(w.Count("dap.FinishSync"), poll == 0 ? 1 : 0) << poll;
       }
     }},
    {"SyncWithoutItsEngineEventEndsAfterThirtySeconds", {SYNC_SYNCING},
     [](World& w, int from) {
       // With the "synchronizing" event the wait has no bound.
       w.DriveTo(from);
       for (int tick = 0; tick < 30; ++tick) w.Tick(kTimerFinish);
       EXPECT_EQ(w.State(), SYNC_SYNCING);
       // StartSync succeeded, the event never came.
       World silent;
       silent.DriveTo(SYNC_RIPPING);
       silent.cd.pollProgress = {300};
       silent.Tick(kTimerRipPoll);
       silent.Tick(kTimerSyncStart);
       silent.log.clear();
       for (int tick = 0; tick < CMarimbaDlg::kSilentSyncTicks; ++tick) silent.Tick(kTimerFinish);
       EXPECT_EQ(silent.State(), SYNC_SYNCING);
       silent.Tick(kTimerFinish);
       EXPECT_EQ(silent.State(), SYNC_INIT);
       EXPECT_EQ(silent.Shown(), std::vector<unsigned>{IDS_MSG_SYNC_FAILED});
       EXPECT_TRUE(silent.Logged("dap.StopSync"));
       EXPECT_TRUE(silent.Logged("dap.CollectTransferredFiles"));
       EXPECT_TRUE(silent.view.Enabled(IDC_CLOSE));
     }},
    {"FailedHandlerLeavesAWindowThatCanBeLeft",
     {SYNC_SETTINGS, SYNC_PRE_RIPPING, SYNC_RIPPING, SYNC_SYNCING},
     [](World& w, int from) {
       // The state an exception left behind (for SYNC_SYNCING the real
       // road: PrepareSync throws, no sync timer was started).
       w.DriveTo(from == SYNC_SYNCING ? SYNC_RIPPING : from == SYNC_RIPPING ? from : SYNC_WAIT);
       if (from == SYNC_SYNCING) {
         w.dap.onPrepareSync = [] { throw std::runtime_error("engine"); };
         w.cd.pollProgress = {300};
         EXPECT_ANY_THROW(w.Tick(kTimerRipPoll));
       }
       w.dlg.SetSyncState(from);
       w.dlg.UpdateControls();
       EXPECT_FALSE(w.view.Enabled(IDC_CLOSE));
       w.dlg.RecoverAfterFailure();
       EXPECT_EQ(w.State(), SYNC_INIT);
       EXPECT_TRUE(w.view.Enabled(IDC_CLOSE));
       EXPECT_TRUE(w.Running(kTimerPollDrives));
       for (unsigned id : {kTimerRipPoll, kTimerSyncStart, kTimerSyncProgress, kTimerFinish}) {
         EXPECT_FALSE(w.Running(id)) << id;
       }
       const std::vector<unsigned> said =
           from == SYNC_SETTINGS  ? std::vector<unsigned>{}
           : from == SYNC_SYNCING ? std::vector<unsigned>{IDS_MSG_SYNC_FAILED}
                                  : std::vector<unsigned>{IDS_MSG_RIP_FAILED};
       EXPECT_EQ(w.Shown(), said);
       EXPECT_EQ(w.Logged("cd.StopRip"), from == SYNC_PRE_RIPPING || from == SYNC_RIPPING);
       EXPECT_EQ(w.Logged("dap.StopSync"), from == SYNC_SYNCING);
     }},
    {"SelectedPlayerUnplugged", {SYNC_SYNCING},
     [](World& w, int from) {
       w.DriveTo(from);
       w.dlg.OnDeviceDisconnect(w.dap.ours.get());
       EXPECT_EQ(w.State(), SYNC_ERROR);
       EXPECT_TRUE(w.Logged("dap.StopSync"));
     }},
    {"DiscGoneFromTheSelectedDrive",
     {SYNC_INIT, SYNC_SETTINGS, SYNC_WAIT, SYNC_RIPPING_ERROR, SYNC_SYNCING_DONE, SYNC_ERROR,
      SYNC_ABORT},
     [](World& w, int from) {
       auto eject = [&] {
         w.cd.discThere = false;
         w.dlg.OnCdromMediaChange(0);
       };
       if (from == SYNC_SETTINGS) {
         int after = -1;
         w.view.onDialog = [&] {
           eject();
           after = w.State();
         };
         w.Command(IDC_SETTINGS);
         EXPECT_EQ(after, SYNC_INIT);
         return;
       }
       w.DriveTo(from);
       eject();
       if (from >= SYNC_RIPPING_ERROR) {
         // An ended transfer is closed by FinishTransfer first (message and
         // tidying up), which then reads the disc again and goes idle.
         EXPECT_EQ(w.State(), from);
         w.Tick(kTimerFinish);
         EXPECT_EQ(w.Shown().size(), 1u);
       }
       EXPECT_EQ(w.State(), SYNC_INIT);
       EXPECT_TRUE(w.Logged("cd.FillTrackList(128000,reset)"));
     }},
    {"FinishAfterRipError", {SYNC_RIPPING_ERROR},
     [](World& w, int from) {
       w.DriveTo(from);
       w.Tick(kTimerFinish);
       EXPECT_EQ(w.State(), SYNC_INIT);
       EXPECT_TRUE(w.Logged("cd.StopRip"));
       EXPECT_EQ(w.Shown(), std::vector<unsigned>{IDS_MSG_RIP_FAILED});
       EXPECT_FALSE(w.Logged("dap.CollectTransferredFiles"));
     }},
    {"FinishAfterSuccess", {SYNC_SYNCING_DONE},
     [](World& w, int from) {
       w.DriveTo(from);
       w.Tick(kTimerFinish);
       EXPECT_EQ(w.State(), SYNC_INIT);
       EXPECT_TRUE(w.Logged("dap.MoveIntoMusicFolder"));
       EXPECT_EQ(w.Fields().transferDone, 1);
       ASSERT_EQ(w.view.messages.size(), 1u);
       EXPECT_TRUE(w.view.messages[0].doneNotice);
       EXPECT_EQ(w.view.messages[0].text, Strings().Load(IDS_MSG_SYNC_DONE));
     }},
    {"FinishAfterSyncError", {SYNC_ERROR},
     [](World& w, int from) {
       w.DriveTo(from);
       w.Tick(kTimerFinish);
       EXPECT_EQ(w.State(), SYNC_INIT);
       EXPECT_TRUE(w.Logged("dap.MoveIntoMusicFolder"));
       EXPECT_EQ(w.Shown(), std::vector<unsigned>{IDS_MSG_SYNC_FAILED});
       EXPECT_TRUE(w.Logged("dap.StopSync"));
     }},
    {"FinishAfterAbort", {SYNC_ABORT},
     [](World& w, int from) {
       w.DriveTo(from);
       w.Tick(kTimerFinish);
       EXPECT_EQ(w.State(), SYNC_INIT);
       EXPECT_TRUE(w.Logged("dap.MoveIntoMusicFolder"));
       EXPECT_EQ(w.Shown(), std::vector<unsigned>{IDS_MSG_SYNC_ABORTED});
     }},
};

void PrintTo(const Line& line, std::ostream* out) { *out << line.name; }

class TransitionTable : public ::testing::TestWithParam<Line> {};

TEST_P(TransitionTable, Line) {
  const Line& line = GetParam();
  const std::vector<int> from = line.from.empty() ? std::vector<int>{SYNC_INIT} : line.from;
  for (int state : from) {
    SCOPED_TRACE(std::string("from ") + SyncStateName(state));
    World w;
    line.run(w, state);
  }
}

INSTANTIATE_TEST_SUITE_P(Controller, TransitionTable, ::testing::ValuesIn(kLines),
                         [](const ::testing::TestParamInfo<Line>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace controller_test
