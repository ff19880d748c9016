// The controller driving the real CD part over the fake engine, with a
// scripted player: a drive that goes away, and a transfer of a disc whose
// tracks the library already holds under a rip folder written with a
// trailing backslash.
#include "native/cdrom/cdrom_fixture.h"
#include "native/controller/controller_fixture.h"

namespace controller_test {
namespace {

using namespace controller;  // NOLINT

class ControllerCdromTest : public cdrom_test::CdromFixture {
 protected:
  void SetUp() override {
    CdromFixture::SetUp();
    prefs.Preferences().wmaRecordRate = 128000;
    prefs.Preferences().cdRecordPath = L"C:\\Music\\";
    disc = fakes::MakeDisc(3);
    cdrom = AddCdDrive(L'E', disc);
    dlg.BindParts(acc, dap);
    dlg.StartPolling();
    // What the window's initialisation does: list, open and show the disc.
    dlg.OnCommand(IDC_DRIVE_COMBO, Notify::kSelection);
    for (int row = 0; row < list.GetRowCount(); ++row) list.Check(row, true);
    dap.state = 2;
  }

  Log log;
  fakes::FakeMainView view{list, &log};
  fakes::FakeTimers timers{&log};
  fakes::FakeTopWindows windows;
  FakeSettings settings;
  fakes::FakeRegistry registry;
  fakes::FakeSystem system;
  engine::CWmpRegAcc prefs{registry, system};
  FakePlayerPart dap{log};
  CMarimbaDlg dlg{DlgPorts{view, timers, clock, windows, Strings(), settings, prefs, context, list}};
  fakes::FakePlaylistPtr disc;
  fakes::FakeCdromPtr cdrom;
};

TEST_F(ControllerCdromTest, AnUnpluggedDriveShowsNoDiscAndRipsNothing) {
  ASSERT_EQ(list.GetRowCount(), 3);
  ASSERT_EQ(albumLabel.GetText(), L"Album");
  drives.RemoveDrive(L'E');
  // Noticed by the poll alone, without an event of the engine.
  dlg.OnTimer(kTimerPollDrives);
  EXPECT_EQ(list.GetRowCount(), 0);
  EXPECT_EQ(sizeLabel.GetText(), L"-- MB");
  EXPECT_EQ(albumLabel.GetText(), Strings().Load(IDS_NO_AUDIO_CD));
  EXPECT_EQ(view.Label(IDC_STATUS), Strings().Load(IDS_STATUS_CONNECT_DRIVE));

  // Even a Transfer that gets through cannot rip the disc that is gone.
  dlg.Fields().state = SYNC_WAIT;
  dlg.OnCommand(IDC_TRANSFER);
  EXPECT_EQ(cdrom->RipFace()->Starts(), 0);
  EXPECT_NE(dlg.GetSyncState(), SYNC_RIPPING);
}

TEST_F(ControllerCdromTest, AnEjectedDiscIsClearedByTheDiscChangeEvent) {
  cdrom->Remove();
  dlg.OnCdromMediaChange(0);
  EXPECT_EQ(list.GetRowCount(), 0);
  EXPECT_EQ(albumLabel.GetText(), Strings().Load(IDS_NO_AUDIO_CD));
  EXPECT_EQ(dlg.GetSyncState(), SYNC_INIT);
  EXPECT_EQ(view.Label(IDC_STATUS), Strings().Load(IDS_STATUS_INSERT_CD));
}

TEST_F(ControllerCdromTest, TheAlbumRenamedByTheEngineLeavesTheListUsable) {
  for (int i = 0; i < 4; ++i) dlg.OnTimer(kTimerPollDrives);
  ASSERT_EQ(dlg.GetSyncState(), SYNC_WAIT);
  ASSERT_TRUE(list.Interactive());
  // The refill switches the list off; clicks and keys would be lost until
  // the next poll.
  dlg.OnPlaylistChange(disc->Fresh().get(), wmp::kPlaylistChangeName);
  EXPECT_TRUE(list.Interactive());
  EXPECT_EQ(list.GetRowCount(), 3);
}

TEST_F(ControllerCdromTest, ADiscAlreadyRippedIsNotRippedAgain) {
  // Ripped earlier into C:\Music (the default of RipAll).
  RipAll(*disc, fakes::RipOptions{L"C:\\Music", 128000, L"wma", -1});
  for (int i = 0; i < 4; ++i) dlg.OnTimer(kTimerPollDrives);
  ASSERT_EQ(dlg.GetSyncState(), SYNC_WAIT);
  dlg.OnCommand(IDC_TRANSFER);
  EXPECT_EQ(player->Library().Size(), 3u);
  EXPECT_EQ(cdrom->RipFace()->Starts(), 0);
  dlg.OnTimer(kTimerRipPoll);
  EXPECT_EQ(dlg.GetSyncState(), SYNC_SYNCING);
  EXPECT_TRUE(std::find(log.begin(), log.end(), "dap.PrepareSync") != log.end());
}

}  // namespace
}  // namespace controller_test
