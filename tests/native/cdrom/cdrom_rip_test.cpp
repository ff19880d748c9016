// Cleanup before a rip, the start of the rip and its progress.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/cdrom/cdrom_fixture.h"
#include "resources/resource.h"

namespace {

using cdrom_test::CdromFixture;
using cdrom_test::Strings;

class CdromRipTest : public CdromFixture {
 protected:
  fakes::FakePlaylistPtr OpenDisc(int tracks) {
    fakes::FakePlaylistPtr disc = fakes::MakeDisc(tracks);
    cdrom_ = AddCdDrive(L'E', disc);
    EXPECT_TRUE(OpenFirst());
    return disc;
  }
  // A library item of track `index` of `disc`, at `url`, with its file.
  fakes::FakeMediaPtr Ripped(const fakes::FakePlaylist& disc, std::size_t index,
                             const std::wstring& url, std::uint32_t bitrate,
                             const std::wstring& type = L"wma") {
    fakes::FakeMediaPtr item = player->Library().AddRipped(disc, index);
    item->SetUrl(url).Set(L"Bitrate", std::to_wstring(bitrate)).Set(L"FileType", type);
    files.AddFile(url, "data");
    return item;
  }

  // Drives D: (empty) and E: (an audio CD) as the system sees them; the
  // engine's side is up to the test.
  void AddSystemDrives() {
    drives.AddDriveWithoutVolume(L'D', os::DriveType::CdRom);
    drives.AddDrive(L'E', os::DriveType::CdRom, L"MUSIC");
    files.AddDrive(L'E');
    files.AddFile(L"E:\\Track01.cda");
  }

  fakes::FakeCdromPtr cdrom_;
};

TEST_F(CdromRipTest, MissingFilesLeaveTheLibrary) {
  fakes::FakePlaylistPtr disc = OpenDisc(3);
  std::vector<fakes::FakeMediaPtr> items = RipAll(*disc);
  files.Delete(items[1]->Url());
  ASSERT_TRUE(acc.RemoveMissingLibraryEntries());
  ASSERT_EQ(player->Library().Removals().size(), 1u);
  EXPECT_EQ(player->Library().Removals()[0].url, items[1]->Url());
  EXPECT_TRUE(player->Library().Removals()[0].deleteFile);
  EXPECT_EQ(player->Library().Size(), 2u);
}

TEST_F(CdromRipTest, RemoveMissingLibraryEntriesFailures) {
  fakes::FakePlaylistPtr disc = OpenDisc(3);
  EXPECT_TRUE(acc.RemoveMissingLibraryEntries());  // nothing ripped yet
  std::vector<fakes::FakeMediaPtr> items = RipAll(*disc);
  items[2]->SetUrl(L"");
  EXPECT_FALSE(acc.RemoveMissingLibraryEntries());
  items[2]->SetUrl(L"C:\\gone.wma");
  player->Library().Script().Fail(fakes::MediaCollectionOp::Remove);
  EXPECT_FALSE(acc.RemoveMissingLibraryEntries());
  player->DropMediaCollection();
  context.BindPlayer(player);
  EXPECT_FALSE(acc.RemoveMissingLibraryEntries());
}

TEST_F(CdromRipTest, RippedFilesOutsideTheRipTreeOrOfTheWrongKind) {
  fakes::FakePlaylistPtr disc = OpenDisc(9);
  const std::wstring rip = L"C:\\Music";
  struct Case {
    std::wstring url;
    std::uint32_t bitrate;
    std::wstring type;
    bool leavesLibrary;
    bool fileDeleted;
  };
  const std::vector<Case> cases = {
      {rip + L"\\Artist\\Album\\01.wma", 64000, L"wma", false, false},
      {rip + L"\\Artist\\Album\\02.wma", 128000, L"wma", true, true},
      {rip + L"\\Artist\\Album2\\03.mp3", 64000, L"mp3", true, true},
      {rip + L"\\Artist\\04.wma", 128000, L"wma", true, false},
      {rip + L"\\05.wma", 128000, L"wma", true, false},
      {L"C:\\Music2\\Artist\\Album\\06.wma", 128000, L"wma", true, false},
      {L"C:\\music\\Artist\\Album\\07.wma", 128000, L"wma", true, false},
      {rip + L"\\A\\B\\C\\08.wma", 64000, L"wma", false, false},
      {rip + L"\\A\\B\\C\\09.wma", 64000, L"WMA", true, true},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    Ripped(*disc, i, cases[i].url, cases[i].bitrate, cases[i].type);
  }
  files.AddFile(rip + L"\\A\\B\\C\\other.txt");
  ASSERT_TRUE(acc.CheckRippedFiles(64000, rip));
  for (const Case& c : cases) {
    EXPECT_EQ(player->Library().FindByUrl(c.url) == nullptr, c.leavesLibrary) << c.url;
    EXPECT_EQ(files.Exists(c.url), !c.fileDeleted) << c.url;
  }
  // A folder that is empty once its file is gone goes too; others stay.
  EXPECT_FALSE(files.Exists(rip + L"\\Artist\\Album2"));
  EXPECT_TRUE(files.Exists(rip + L"\\Artist\\Album"));
  EXPECT_TRUE(files.Exists(rip + L"\\A\\B\\C"));
}

TEST_F(CdromRipTest, ARipFolderWithATrailingBackslashIsTheSameFolder) {
  fakes::FakePlaylistPtr disc = OpenDisc(3);
  const std::wstring inside = L"C:\\Music\\Artist\\Album\\01.wma";
  const std::wstring shallow = L"C:\\Music\\Artist\\02.wma";
  const std::wstring sibling = L"C:\\Music2\\Artist\\Album\\03.wma";
  Ripped(*disc, 0, inside, 64000);
  Ripped(*disc, 1, shallow, 64000);
  Ripped(*disc, 2, sibling, 64000);
  for (const wchar_t* folder : {L"C:\\Music\\", L"C:\\Music\\\\"}) {
    ASSERT_TRUE(acc.CheckRippedFiles(64000, folder));
    EXPECT_NE(player->Library().FindByUrl(inside), nullptr) << folder;
  }
  EXPECT_EQ(player->Library().FindByUrl(shallow), nullptr);
  EXPECT_EQ(player->Library().FindByUrl(sibling), nullptr);
  // A drive root holds its rip tree too.
  ASSERT_TRUE(acc.CheckRippedFiles(64000, L"C:\\"));
  EXPECT_NE(player->Library().FindByUrl(inside), nullptr);
  EXPECT_TRUE(files.Exists(inside));
}

TEST_F(CdromRipTest, ItemsWithUnreadableDetailsAreLeftAlone) {
  fakes::FakePlaylistPtr disc = OpenDisc(2);
  fakes::FakeMediaPtr noRate = Ripped(*disc, 0, L"C:\\Music\\A\\B\\01.wma", 128000);
  noRate->Unset(L"Bitrate");
  fakes::FakeMediaPtr noType = Ripped(*disc, 1, L"C:\\Music\\A\\B\\02.wma", 128000);
  noType->FailRead(L"FileType");
  ASSERT_TRUE(acc.CheckRippedFiles(64000, L"C:\\Music"));
  EXPECT_EQ(player->Library().Size(), 2u);
  // An empty rip folder holds nothing: the items only leave the library.
  noRate->Set(L"Bitrate", L"128000");
  ASSERT_TRUE(acc.CheckRippedFiles(64000, L""));
  EXPECT_EQ(player->Library().Size(), 0u);
  EXPECT_TRUE(files.Exists(L"C:\\Music\\A\\B\\01.wma"));
}

TEST_F(CdromRipTest, TrackOrderMustRiseFromOne) {
  struct Case {
    std::vector<const wchar_t*> numbers;
    bool ordered;
  };
  const std::vector<Case> cases = {
      {{L"1", L"2", L"3"}, true}, {{L"1", L"2", L"2"}, false}, {{L"2", L"1"}, false},
      {{}, true},                 {{L"0", L"1"}, false},       {{L"1", L"", L"3"}, false},
      {{L"1", L"3", L"7"}, true},
  };
  AddSystemDrives();
  for (std::size_t n = 0; n < cases.size(); ++n) {
    player = std::make_shared<fakes::FakePlayer>(&files);
    fakes::FakePlaylistPtr disc = fakes::MakeDisc(3);
    player->Drives().AddDrive(L"E:", disc);
    context.BindPlayer(player);
    acc.RefreshList(true, true);
    combo.Select(1);
    ASSERT_TRUE(acc.OpenDisc(true));
    for (std::size_t i = 0; i < cases[n].numbers.size(); ++i) {
      player->Library().AddRipped(*disc, i % 3)->Set(L"WM/TrackNumber", cases[n].numbers[i]);
    }
    EXPECT_EQ(acc.CheckTrackOrder(), cases[n].ordered) << "case " << n;
  }
}

TEST_F(CdromRipTest, StartRipNeedsAnOpenedDisc) {
  EXPECT_EQ(acc.StartRip(), -1);
  OpenDisc(3);
  // The drive leaves the engine: nothing can be ripped from it.
  player->Drives().Drives()[0]->Script().Fail(fakes::CdromOp::DriveSpecifier, wmp::kFail,
                                              fakes::kAlways);
  EXPECT_EQ(acc.StartRip(), -1);
  EXPECT_EQ(cdrom_->RipFace()->Starts(), 0);
  EXPECT_TRUE(player->TaskPane().Tasks().empty());
}

TEST_F(CdromRipTest, AWholeDiscInTheLibraryIsNotRippedAgain) {
  fakes::FakePlaylistPtr disc = OpenDisc(12);
  RipAll(*disc);
  EXPECT_EQ(acc.StartRip(), 1200);
  EXPECT_EQ(cdrom_->RipFace()->Starts(), 0);
  EXPECT_TRUE(player->TaskPane().Tasks().empty());
  EXPECT_EQ(statusHost.Log().created, 0);
}

TEST_F(CdromRipTest, StartRipThroughTheRipFaceOrTheTaskPane) {
  struct Case {
    const wchar_t* version;
    bool ripFaceFails;
    bool taskPaneFails;
    int result;
    int ripStarts;
    bool taskPane;
  };
  const Case cases[] = {
      {L"11.0.5721.5145", false, false, 0, 1, false},
      {L"11.0.5721.5145", true, false, 0, 1, true},
      {L"10.00.00.3646", false, false, 0, 0, true},
      {L"10.00.00.3646", false, true, -1, 0, true},
      {L"12.0.7601.17514", true, true, -1, 1, true},
  };
  AddSystemDrives();
  for (const Case& c : cases) {
    player = std::make_shared<fakes::FakePlayer>(&files);
    player->SetVersion(c.version);
    player->Drives().AddDrive(L"D:", fakes::MakeNoDisc());
    fakes::FakeCdromPtr cdrom = player->Drives().AddDrive(L"E:", fakes::MakeDisc(3));
    if (c.ripFaceFails) cdrom->RipFace()->Script().Fail(fakes::CdromRipOp::StartRip);
    if (c.taskPaneFails) player->TaskPane().Script().Fail(fakes::PlayerServicesOp::SetTaskPane);
    context.BindPlayer(player);
    acc.RefreshList(true, true);
    combo.Select(1);
    ASSERT_TRUE(acc.OpenDisc(true));
    EXPECT_EQ(acc.StartRip(), c.result) << c.version;
    EXPECT_EQ(cdrom->RipFace()->Starts(), c.ripStarts) << c.version;
    const std::vector<std::wstring> tasks = player->TaskPane().Tasks();
    EXPECT_EQ(tasks.size(), c.taskPane ? 1u : 0u) << c.version;
    if (!tasks.empty()) {
      EXPECT_EQ(tasks[0], L"CopyFromCD?AutoCopy:1");
    }
    acc.CloseStatus();
  }
}

TEST_F(CdromRipTest, TheFirstCallOpensTheProgressWindowWithoutCancel) {
  OpenDisc(12);
  ASSERT_EQ(acc.StartRip(), 0);
  const fakes::StatusLog& log = statusHost.Log();
  EXPECT_TRUE(log.exists);
  EXPECT_TRUE(log.shown);
  EXPECT_TRUE(log.enabled);
  EXPECT_FALSE(log.cancelEnabled);
  EXPECT_EQ(log.message, Strings().Load(IDS_PROGRESS_RIP_PREPARING));
  EXPECT_EQ(log.low, 0);
  EXPECT_EQ(log.high, 1200);
  EXPECT_EQ(log.positions, (std::vector<std::int32_t>{0}));
  EXPECT_EQ(log.caption, Strings().Load(IDS_APP_TITLE));
  // Later first calls leave the open window alone.
  EXPECT_EQ(acc.UpdateRipProgress(0), 0);
  EXPECT_EQ(log.created, 1);
}

TEST_F(CdromRipTest, ProgressTextCountsTheTrackAndItsTenths) {
  OpenDisc(12);
  ASSERT_EQ(acc.StartRip(), 0);
  const std::wstring ripping = Strings().Load(IDS_PROGRESS_RIPPING);
  ASSERT_FALSE(ripping.empty());
  struct Case {
    int overall;
    std::wstring text;
  };
  const Case cases[] = {
      {357, ripping + L"(4/12)....."},
      {5, ripping + L"(1/12)"},
      {99, ripping + L"(1/12)........."},
      {1100, ripping + L"(12/12)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(acc.UpdateRipProgress(c.overall), c.overall);
    EXPECT_EQ(statusHost.Log().message, c.text) << c.overall;
    EXPECT_EQ(statusHost.Log().position, c.overall);
  }
}

TEST_F(CdromRipTest, TheWindowClosesAfterASecondWhenTheDiscIsInTheLibrary) {
  fakes::FakePlaylistPtr disc = OpenDisc(3);
  ASSERT_EQ(acc.StartRip(), 0);
  RipAll(*disc);
  EXPECT_EQ(acc.UpdateRipProgress(250), 300);
  EXPECT_EQ(statusHost.Log().positions.back(), 300);
  EXPECT_EQ(clock.Waits(), (std::vector<std::uint32_t>{1000}));
  EXPECT_FALSE(statusHost.Log().exists);
  EXPECT_EQ(statusHost.Log().repaints.size(), 1u);
  EXPECT_FALSE(acc.IsStatusShown());
}

TEST_F(CdromRipTest, AnEmptyFinishedFileIsARipFailure) {
  fakes::FakePlaylistPtr disc = OpenDisc(3);
  ASSERT_EQ(acc.StartRip(), 0);
  fakes::RipOptions empty;
  empty.fileSize = 0;
  player->Library().AddRipped(*disc, 0, empty);
  EXPECT_EQ(acc.UpdateRipProgress(50), 50);
  EXPECT_EQ(acc.UpdateRipProgress(120), -2);
  // Each finished track is looked at once.
  EXPECT_EQ(acc.UpdateRipProgress(130), 130);

  player->Library().AddRipped(*disc, 1);
  EXPECT_EQ(acc.UpdateRipProgress(210), 210);
}

TEST_F(CdromRipTest, ProgressFailures) {
  EXPECT_EQ(acc.UpdateRipProgress(0), -1);  // no disc opened
  fakes::FakePlaylistPtr disc = OpenDisc(3);
  ASSERT_EQ(acc.StartRip(), 0);
  EXPECT_EQ(acc.UpdateRipProgress(-5), -1);
  EXPECT_TRUE(statusHost.Log().exists);
  disc->Script().Fail(fakes::PlaylistOp::GetItemInfo);
  EXPECT_EQ(acc.UpdateRipProgress(150), -1);
  EXPECT_FALSE(statusHost.Log().exists);
  EXPECT_EQ(clock.Waits(), (std::vector<std::uint32_t>{1000}));
}

TEST_F(CdromRipTest, ProgressOfTheLastTrackEndsAtTheWholeDisc) {
  fakes::FakePlaylistPtr disc = OpenDisc(2);
  ASSERT_EQ(acc.StartRip(), 0);
  player->Library().AddRipped(*disc, 0);
  EXPECT_EQ(acc.UpdateRipProgress(200), 200);
  EXPECT_FALSE(statusHost.Log().exists);
  EXPECT_EQ(clock.Waits().size(), 1u);
}

}  // namespace
