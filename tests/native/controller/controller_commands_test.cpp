// The window's commands: Settings, Album, Explorer, the two combo boxes and
// Close.
#include <algorithm>

#include "native/controller/controller_fixture.h"

namespace controller_test {
namespace {

using namespace controller;  // NOLINT

TEST_F(ControllerTest, SettingsAndAlbumAroundTheirDialogs) {
  w.DriveTo(SYNC_WAIT);
  w.settings.autoSync = 1;
  w.view.onDialog = [&] { EXPECT_FALSE(w.view.Enabled(IDC_CLOSE)); };
  w.Command(IDC_SETTINGS);
  const Log afterSettings{"view.FinishCellEdit(accept)", "view.Settings",
                          "cd.FillTrackList(128000)", "dap.RefreshList(first)",
                          "dap.EnsurePartnership", "dap.UpdateCapacity",
                          "view.Focus(1013)"};
  EXPECT_EQ(w.log, afterSettings);
  EXPECT_TRUE(w.view.Enabled(IDC_CLOSE));

  w.log.clear();
  w.settings.autoSync = 0;
  w.Command(IDC_ALBUM);
  EXPECT_EQ(w.log, (Log{"view.FinishCellEdit(accept)", "view.Album", "cd.ShowAlbumName",
                        "view.Focus(1041)"}));

  // The album dialog's OK names the disc it was opened for; a disc changed
  // while it was open keeps its own name.
  for (const bool changed : {false, true}) {
    w.log.clear();
    w.view.onDialog = [&] {
      if (changed) w.dlg.OnCdromMediaChange(0);
      EXPECT_TRUE(w.dlg.SetAlbumNameFromDialog(L"新しいアルバム"));
    };
    w.Command(IDC_ALBUM);
    EXPECT_EQ(std::count(w.log.begin(), w.log.end(), "cd.SetAlbumName"), changed ? 0 : 1)
        << "disc changed: " << changed;
  }
}

TEST_F(ControllerTest, ADialogNeverResetsATransferStartedUnderIt) {
  // The automatic transfer can start while the settings dialog is open.
  w.DriveTo(SYNC_WAIT);
  w.view.onDialog = [&] {
    w.dlg.SetSyncState(SYNC_WAIT);
    w.Command(IDC_TRANSFER);
  };
  w.Command(IDC_SETTINGS);
  EXPECT_EQ(w.State(), SYNC_RIPPING);
}

TEST_F(ControllerTest, ATransferEndedUnderADialogIsFinishedAfterIt) {
  w.DriveTo(SYNC_SYNCING_DONE);
  // The finish tick comes while the dialog is open and sees SYNC_SETTINGS.
  w.view.onDialog = [&] { w.Tick(kTimerFinish); };
  w.Command(IDC_ALBUM);
  EXPECT_EQ(w.State(), SYNC_SYNCING_DONE);
  EXPECT_TRUE(w.Running(kTimerFinish));
  w.Tick(kTimerFinish);
  EXPECT_EQ(w.State(), SYNC_INIT);
  EXPECT_EQ(w.Shown(), std::vector<unsigned>{IDS_MSG_SYNC_DONE});
}

TEST_F(ControllerTest, ExplorerOpensThePlayerDrive) {
  struct Case {
    int state;
    std::wstring drive;
    std::intptr_t shell;
    bool opened;
    std::vector<unsigned> shown;
  };
  const Case cases[] = {{SYNC_INIT, L"F:", 42, true, {}},
                        {SYNC_WAIT, L"F:", 2, true, {IDS_MSG_CANNOT_OPEN}},
                        {SYNC_WAIT, L"", 42, false, {IDS_MSG_CANNOT_OPEN}},
                        {SYNC_RIPPING, L"F:", 42, false, {}},
                        {SYNC_SYNCING, L"F:", 42, false, {}}};
  for (const Case& c : cases) {
    World world;
    world.DriveTo(c.state);
    world.dap.drive = c.drive;
    world.windows.SetShellResult(c.shell);
    world.view.focus = IDC_CLOSE;
    world.Command(IDC_EXPLORER);
    EXPECT_EQ(!world.windows.Opened().empty(), c.opened) << c.state;
    if (c.opened) {
      EXPECT_EQ(world.windows.Opened()[0], L"F:");
    }
    EXPECT_EQ(world.Shown(), c.shown) << c.state;
    const bool acts = c.state <= SYNC_WAIT;
    EXPECT_EQ(world.view.focus, acts ? IDC_EXPLORER : IDC_CLOSE) << c.state;
    EXPECT_EQ(world.view.waitDepth, 0);
  }
}

TEST_F(ControllerTest, DriveSelectionReadsTheDiscAgain) {
  w.DriveTo(SYNC_SYNCING_DONE);
  w.Tick(kTimerFinish);
  w.dlg.Fields().lastReportedTrack = 2;
  w.log.clear();
  w.Command(IDC_DRIVE_COMBO, Notify::kSelection);
  EXPECT_EQ(w.Fields().transferDone, 0);
  EXPECT_EQ(w.Fields().lastReportedTrack, -1);
  EXPECT_EQ(w.log, (Log{"view.FinishCellEdit(accept)", "cd.RefreshList", "cd.OpenDisc(check)",
                        "cd.FillTrackList(128000,reset)", "cd.ShowAlbumName"}));
  EXPECT_EQ(w.State(), SYNC_INIT);
  // The Status is no longer frozen.
  EXPECT_EQ(w.view.Label(IDC_STATUS), L"");
}

TEST_F(ControllerTest, PlayerSelectionAndTheDropDowns) {
  w.dlg.Fields().transferDone = 1;
  w.Command(IDC_PLAYER_COMBO, Notify::kSelection);
  EXPECT_EQ(w.Fields().transferDone, 0);
  EXPECT_EQ(w.log, (Log{"view.FinishCellEdit(accept)", "dap.RefreshList",
                        "dap.EnsurePartnership", "dap.UpdateCapacity"}));
  w.log.clear();
  w.Command(IDC_DRIVE_COMBO, Notify::kDropDown);
  w.Command(IDC_PLAYER_COMBO, Notify::kDropDown);
  EXPECT_EQ(w.log, (Log{"view.FinishCellEdit(accept)", "cd.RefreshList",
                        "view.FinishCellEdit(accept)", "dap.RefreshList"}));
}

TEST_F(ControllerTest, CloseDropsTheEditAndOtherIdsAreTheWindows) {
  EXPECT_FALSE(w.dlg.OnCommand(ID_TRACK_EDIT));
  EXPECT_FALSE(w.dlg.OnCommand(ID_TRACK_TOGGLE_CHECK));
  EXPECT_TRUE(w.log.empty());
  EXPECT_TRUE(w.dlg.OnCommand(IDC_CLOSE));
  EXPECT_EQ(w.log, (Log{"view.FinishCellEdit(drop)", "view.Close"}));
}

}  // namespace
}  // namespace controller_test
