// The shared pieces of the drive-access objects: the progress window of the
// base, the engine context, and the check snapshot of the track list.
#include "common/basic_drive.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/player_context.h"
#include "fakes/fake_engine.h"
#include "fakes/fake_status_window.h"
#include "fakes/fake_track_list.h"
#include "resources/rc_string_table.h"
#include "resources/resource.h"

namespace {

const res::RcStringTable& Table() {
  static const res::RcStringTable table(MARIMBA_RESOURCE_DIR);
  return table;
}

// The least drive object: the base's own behaviour is what is tested.
class Drive : public common::CBasicDrive {
 public:
  explicit Drive(ui::IStatusHost& host) : CBasicDrive(L"Test Access", host, Table()) {}
  bool Attach(ui::CMyComboBox* comboBox) override {
    Reset();
    SetComboBox(comboBox);
    return comboBox != nullptr;
  }
  void Reset() override {}
  void RefreshList(bool, bool) override {}
  ui::CStatusDlg* Window() const { return StatusWindow(); }
};

TEST(BasicDriveTest, ShowStatusOpensACaptionedWindowWithCancelAsAsked) {
  for (bool disableCancel : {true, false}) {
    fakes::FakeStatusHost host;
    Drive drive(host);
    ASSERT_TRUE(drive.ShowStatus(disableCancel));
    const fakes::StatusLog& log = host.Log();
    EXPECT_TRUE(drive.IsStatusShown());
    EXPECT_TRUE(log.exists);
    EXPECT_TRUE(log.shown);
    EXPECT_EQ(log.caption, Table().Load(IDS_APP_TITLE));
    EXPECT_FALSE(log.caption.empty());
    EXPECT_EQ(log.cancelEnabled, !disableCancel);
  }
}

TEST(BasicDriveTest, AWindowThatCannotBeMadeLeavesNothingShown) {
  fakes::FakeStatusHost noObject;
  noObject.FailAlloc(true);
  Drive first(noObject);
  EXPECT_FALSE(first.ShowStatus(true));
  EXPECT_FALSE(first.IsStatusShown());

  fakes::FakeStatusHost noWindow;
  noWindow.FailCreate(true);
  Drive second(noWindow);
  EXPECT_FALSE(second.ShowStatus(true));
  EXPECT_FALSE(second.IsStatusShown());
  EXPECT_EQ(second.Window(), nullptr);
  // Moving a bar that is not there does nothing and does not crash.
  second.SetStatusProgress(5);
  second.CloseStatus();
  EXPECT_TRUE(noWindow.Log().repaints.empty());
}

TEST(BasicDriveTest, CloseStatusDestroysAndRepaintsWhereTheWindowWas) {
  fakes::FakeStatusHost host;
  Drive drive(host);
  ASSERT_TRUE(drive.ShowStatus(false));
  drive.SetStatusProgress(42);
  EXPECT_EQ(host.Log().position, 42);
  drive.CloseStatus();
  EXPECT_FALSE(drive.IsStatusShown());
  EXPECT_EQ(drive.Window(), nullptr);
  EXPECT_FALSE(host.Log().exists);
  EXPECT_EQ(host.Log().destroyed, 1);
  ASSERT_EQ(host.Log().repaints.size(), 1u);
  EXPECT_EQ(host.Log().repaints[0].left, 100);
  EXPECT_EQ(host.Log().repaints[0].bottom, 286);
  // A second close has nothing left to do.
  drive.CloseStatus();
  EXPECT_EQ(host.Log().destroyed, 1);
}

TEST(BasicDriveTest, ShowingTwiceKeepsOneWindowAndTheDestructorClosesIt) {
  fakes::FakeStatusHost host;
  {
    Drive drive(host);
    ASSERT_TRUE(drive.ShowStatus(true));
    ASSERT_TRUE(drive.ShowStatus(false));
    EXPECT_EQ(host.Log().created, 1);
    EXPECT_TRUE(host.Log().cancelEnabled);
  }
  EXPECT_FALSE(host.Log().exists);
  EXPECT_EQ(host.Log().destroyed, 1);
}

TEST(PlayerContextTest, MajorVersionOfTheVersionText) {
  struct Case {
    const wchar_t* text;
    int major;
  };
  const Case cases[] = {
      {L"11.0.5721.5145", 11}, {L"10.00.00.3646", 10}, {L"9", 9},     {L" 12.1", 12},
      {L"x.1", 0},             {L"", 0},               {L".11", 0},   {L"12abc.3", 12},
      {L"99999999999.0", 2147483647},
  };
  for (const Case& c : cases) EXPECT_EQ(common::MajorVersionOf(c.text), c.major) << c.text;
}

TEST(PlayerContextTest, BindKeepsPlayerLibraryAndVersion) {
  auto player = std::make_shared<fakes::FakePlayer>();
  player->SetVersion(L"10.00.00.3646");
  common::PlayerContext context;
  ASSERT_TRUE(context.BindPlayer(player));
  EXPECT_EQ(context.Player(), player.get());
  EXPECT_EQ(context.MediaCollection(), &player->Library());
  EXPECT_EQ(context.MajorVersion(), 10);
  EXPECT_TRUE(context.IsOlderEngine());

  // Binding again closes the earlier player first.
  auto next = std::make_shared<fakes::FakePlayer>();
  ASSERT_TRUE(context.BindPlayer(next));
  EXPECT_EQ(player->CloseCount(), 1);
  EXPECT_EQ(context.MajorVersion(), 11);
  EXPECT_FALSE(context.IsOlderEngine());

  context.UnbindPlayer();
  EXPECT_EQ(next->CloseCount(), 1);
  EXPECT_EQ(context.Player(), nullptr);
  EXPECT_EQ(context.MediaCollection(), nullptr);
  EXPECT_EQ(context.MajorVersion(), -1);
  EXPECT_FALSE(context.BindPlayer(nullptr));
}

TEST(PlayerContextTest, FailedReadsLeaveTheVersionUnknown) {
  auto noLibrary = std::make_shared<fakes::FakePlayer>();
  noLibrary->DropMediaCollection();
  common::PlayerContext context;
  EXPECT_FALSE(context.BindPlayer(noLibrary));
  EXPECT_EQ(context.MajorVersion(), -1);
  EXPECT_TRUE(context.IsOlderEngine());

  auto noVersion = std::make_shared<fakes::FakePlayer>();
  noVersion->Script().Fail(fakes::PlayerOp::VersionInfo);
  EXPECT_FALSE(context.BindPlayer(noVersion));
  EXPECT_EQ(context.MajorVersion(), -1);
  EXPECT_NE(context.MediaCollection(), nullptr);
}

TEST(CheckSnapshotTest, RecordsRowsOfTracksOneTo99Only) {
  fakes::FakeTrackList list;
  for (int i = 0; i < 104; ++i) list.AddRow(L"t");
  for (int i = 0; i < 104; ++i) list.Check(i, i % 3 != 1);
  list.SnapshotChecks(false);
  for (int n = 1; n <= 99; ++n) EXPECT_EQ(list.IsTrackChecked(n), (n - 1) % 3 != 1) << n;
  // Rows past the 99th (row 99 is checked) are never recorded.
  EXPECT_FALSE(list.IsTrackChecked(100));
  EXPECT_FALSE(list.IsTrackChecked(0));
  EXPECT_FALSE(list.IsTrackChecked(-1));

  list.SnapshotChecks(true);
  EXPECT_TRUE(list.IsTrackChecked(2));
  EXPECT_TRUE(list.IsTrackChecked(99));
  EXPECT_FALSE(list.IsTrackChecked(100));
}

TEST(CheckSnapshotTest, ASnapshotOutlivesTheRowsItWasTakenFrom) {
  fakes::FakeTrackList list;
  for (int i = 0; i < 5; ++i) list.Check(list.AddRow(L"t"), i != 2);
  list.SnapshotChecks(false);
  list.RemoveAllRows();
  EXPECT_FALSE(list.IsTrackChecked(3));
  EXPECT_TRUE(list.IsTrackChecked(4));
  // An empty list changes nothing in the snapshot.
  list.SnapshotChecks(false);
  EXPECT_FALSE(list.IsTrackChecked(3));
  EXPECT_TRUE(list.IsTrackChecked(5));
}

}  // namespace
