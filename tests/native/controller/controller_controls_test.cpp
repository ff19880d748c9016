// UpdateControls for every state, the Status text, ShowMessage and
// FocusControl.
#include <string>

#include "native/controller/controller_fixture.h"

namespace controller_test {
namespace {

using namespace controller;  // NOLINT

// Controls in the order of the expectation strings: player combo, drive
// combo, track list, Album, Close, Explorer, Settings, Transfer.
const int kControls[] = {IDC_PLAYER_COMBO, IDC_DRIVE_COMBO, IDC_TRACK_LIST, IDC_ALBUM,
                         IDC_CLOSE,        IDC_EXPLORER,    IDC_SETTINGS,   IDC_TRANSFER};

std::string Enabled(World& w) {
  std::string marks;
  for (int id : kControls) {
    const bool on = id == IDC_TRACK_LIST ? w.list.Interactive() : w.view.Enabled(id);
    marks += on ? '1' : '0';
  }
  return marks;
}

std::wstring Status(std::initializer_list<unsigned> ids) {
  std::wstring text;
  for (unsigned id : ids) text += (text.empty() ? L"" : L"\n") + Strings().Load(id);
  return text;
}

TEST_F(ControllerTest, UpdateControlsForEveryState) {
  struct Row {
    int state;
    int cd;
    int player;
    int autoSync;
    int lastReported;  // with 3 tracks on the disc
    const char* enabled;
    std::wstring status;
  };
  const Row rows[] = {
      {SYNC_SETTINGS, 2, 2, 0, -1, "00000000", L""},
      {SYNC_PRE_RIPPING, 2, 2, 0, -1, "00000000", L""},
      {SYNC_RIPPING, 2, 2, 0, -1, "00000000", L""},
      {SYNC_SYNCING, 2, 2, 0, -1, "00000000", L""},
      {SYNC_WAIT, 2, 2, 0, -1, "11111111", Status({IDS_STATUS_PRESS_TRANSFER})},
      {SYNC_WAIT, 2, 2, 1, -1, "01111111", Status({IDS_STATUS_PRESS_TRANSFER})},
      {SYNC_SYNCING_DONE, 2, 2, 0, -1, "11111111", Status({IDS_STATUS_CHANGE_CD})},
      {SYNC_INIT, 0, 0, 0, -1, "00001010", Status({IDS_STATUS_CONNECT_DRIVE, IDS_STATUS_CONNECT_PLAYER})},
      {SYNC_INIT, 1, 0, 0, -1, "01001010", Status({IDS_STATUS_INSERT_CD, IDS_STATUS_CONNECT_PLAYER})},
      {SYNC_INIT, 2, 0, 0, -1, "01111010", Status({IDS_STATUS_CONNECT_PLAYER})},
      {SYNC_INIT, 2, 1, 0, 2, "11111110", L""},
      {SYNC_INIT, 2, 2, 1, 1, "01001110", L""},  // tracks still being reported
      {SYNC_RIPPING_ERROR, 1, 2, 0, -1, "11001110", Status({IDS_STATUS_INSERT_CD})},
      {SYNC_ERROR, 0, 1, 0, -1, "10001110", Status({IDS_STATUS_CONNECT_DRIVE})},
      {SYNC_ABORT, 2, 2, 0, -1, "11111110", L""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(SyncStateName(row.state)) + " cd " + std::to_string(row.cd) +
                 " player " + std::to_string(row.player));
    w.dlg.SetSyncState(row.state);
    w.cd.state = row.cd;
    w.dap.state = row.player;
    w.settings.autoSync = row.autoSync;
    w.dlg.Fields().lastReportedTrack = row.lastReported;
    w.view.labels[IDC_STATUS] = L"old";
    w.dlg.UpdateControls();
    EXPECT_EQ(Enabled(w), row.enabled);
    EXPECT_EQ(w.view.Label(IDC_STATUS), row.status);
  }
}

TEST_F(ControllerTest, ExplorerNeedsAPlayerDrive) {
  w.dap.drive.clear();
  for (int state : {SYNC_INIT, SYNC_WAIT}) {
    w.dlg.SetSyncState(state);
    w.cd.state = 2;
    w.dap.state = 2;
    w.dlg.UpdateControls();
    EXPECT_FALSE(w.view.Enabled(IDC_EXPLORER)) << state;
  }
}

TEST_F(ControllerTest, ASuccessfulTransferFreezesTheStatus) {
  w.DriveTo(SYNC_SYNCING_DONE);
  w.Tick(kTimerFinish);
  const std::wstring changeCd = Status({IDS_STATUS_CHANGE_CD});
  EXPECT_EQ(w.view.Label(IDC_STATUS), changeCd);
  // The Transfer button stays usable until the next UpdateControls.
  EXPECT_TRUE(w.view.Enabled(IDC_TRANSFER));
  w.dap.state = 0;
  w.dlg.UpdateControls();
  EXPECT_EQ(w.view.Label(IDC_STATUS), changeCd);
  EXPECT_FALSE(w.view.Enabled(IDC_TRANSFER));
  // A player connection ends the freeze.
  w.dap.connected = false;
  w.dlg.OnDeviceConnect(w.dap.other.get());
  EXPECT_EQ(w.view.Label(IDC_STATUS), Status({IDS_STATUS_CONNECT_PLAYER}));
}

TEST_F(ControllerTest, ShowMessageIconsAndTheDoneNotice) {
  struct Row {
    unsigned message;
    unsigned caption;
    MessageIcon icon;
    bool notice;
  };
  const Row rows[] = {{IDS_MSG_PLAYER_CLOSED, IDS_CAPTION_WARNING, MessageIcon::kWarning, false},
                      {IDS_MSG_RIP_FAILED, IDS_CAPTION_ERROR, MessageIcon::kError, false},
                      {IDS_MSG_SYNC_ABORTED, IDS_APP_TITLE, MessageIcon::kNone, false},
                      {IDS_MSG_SYNC_DONE, IDS_APP_TITLE, MessageIcon::kNone, true}};
  for (const Row& row : rows) {
    w.view.messages.clear();
    const int repaints = w.view.repaints;
    w.dlg.ShowMessage(row.message, row.caption);
    ASSERT_EQ(w.view.messages.size(), 1u);
    const fakes::ShownMessage& shown = w.view.messages[0];
    EXPECT_EQ(shown.text, Strings().Load(row.message));
    EXPECT_EQ(shown.doneNotice, row.notice) << row.message;
    if (!row.notice) {
      EXPECT_EQ(shown.caption, Strings().Load(row.caption));
    }
    EXPECT_EQ(shown.icon, row.icon) << row.message;
    EXPECT_EQ(w.view.repaints, repaints + 1);
  }
}

TEST_F(ControllerTest, FocusControlRules) {
  struct Row {
    int id;
    int focused;
    bool listInteractive;
    bool targetEnabled;
    int expected;
  };
  const Row rows[] = {
      {IDC_TRANSFER, 0, true, true, IDC_TRANSFER},
      {IDC_TRANSFER, 0, true, false, IDC_CLOSE},
      {IDC_ALBUM_NAME, IDC_SETTINGS, true, true, IDC_SETTINGS},  // not a button: no move
      {0, 0, true, true, IDC_CLOSE},
      {0, IDC_TRACK_LIST, false, true, IDC_CLOSE},
      {0, IDC_TRACK_LIST, true, true, IDC_TRACK_LIST},
      {0, IDC_DRIVE_COMBO, true, false, IDC_CLOSE},
  };
  for (const Row& row : rows) {
    w.view.focus = row.focused;
    w.list.SetInteractive(row.listInteractive);
    const int target = row.id != 0 ? row.id : row.focused;
    if (target != 0) w.view.EnableControl(target, row.targetEnabled);
    w.dlg.FocusControl(row.id);
    EXPECT_EQ(w.view.focus, row.expected) << row.id << " " << row.focused;
    if (target != 0) w.view.EnableControl(target, true);
  }
}

}  // namespace
}  // namespace controller_test
