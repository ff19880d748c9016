// Album and track information of the opened disc and its library items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/cdrom/cdrom_fixture.h"
#include "resources/resource.h"

namespace {

using cdrom_test::CdromFixture;
using cdrom_test::Strings;
using cdrom_test::TrackNumbers;

class CdromTracksTest : public CdromFixture {
 protected:
  fakes::FakePlaylistPtr Open(fakes::FakePlaylistPtr disc) {
    AddCdDrive(L'E', disc);
    EXPECT_TRUE(OpenFirst());
    return disc;
  }
};

TEST_F(CdromTracksTest, EstimatedSizesFollowTheBitRate) {
  struct Case {
    std::uint32_t bitRate;
    double size;
  };
  // 8 KB a second for 64 kbit/s and anything else but 128 kbit/s.
  const Case cases[] = {{64000, 2.34375}, {128000, 4.6875}, {96000, 2.34375}};
  Open(fakes::MakeDisc(L"A", {{L"One", L"X", 300.0}, {L"Two", L"X", 150.0}}));
  for (const Case& c : cases) {
    acc.FillTrackList(c.bitRate, true);
    EXPECT_DOUBLE_EQ(acc.GetTrackSize(0), c.size) << c.bitRate;
    EXPECT_DOUBLE_EQ(acc.GetTrackSize(1), c.size / 2) << c.bitRate;
    EXPECT_DOUBLE_EQ(acc.GetTotalSize(), c.size * 1.5) << c.bitRate;
    EXPECT_EQ(sizeLabel.GetText(), ui::MegabytesText(c.size * 1.5));
  }
  EXPECT_EQ(acc.GetTrackSize(2), 0.0);
  EXPECT_EQ(acc.GetTrackSize(-1), 0.0);
}

TEST_F(CdromTracksTest, NinetyNineTracksFillNinetyNineRows) {
  Open(fakes::MakeDisc(99));
  acc.FillTrackList(64000, true);
  ASSERT_EQ(list.GetRowCount(), 99);
  EXPECT_EQ(list.At(98).cells[0], L"Track 99");
  EXPECT_DOUBLE_EQ(acc.GetTrackSize(98), 8.0 * (180 + 99) / 1024);
  EXPECT_EQ(acc.GetTrackSize(99), 0.0);
}

TEST_F(CdromTracksTest, RowsShowTitleArtistTimeInTheListColours) {
  fakes::FakePlaylistPtr disc =
      Open(fakes::MakeDisc(L"A", {{L"One", L"Ann", 65.0}, {L"Two", L"Bob", 3600.0}}));
  disc->At(0)->SetDurationText(L"1:05");
  acc.FillTrackList(64000, true);
  ASSERT_EQ(list.GetRowCount(), 2);
  EXPECT_EQ(list.At(0).cells[0], L"One");
  EXPECT_EQ(list.At(0).cells[1], L"Ann");
  // The engine's own text with a current engine.
  EXPECT_EQ(list.At(0).cells[2], L"1:05");
  EXPECT_EQ(list.At(1).cells[2], L"1:00:00");
  for (const auto& row : list.Rows()) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(row.back[c], 0x3E3E3Eu);
      EXPECT_EQ(row.text[c], 0xFFFFFFu);
    }
  }
  EXPECT_FALSE(list.Interactive());
  EXPECT_EQ(list.Focused(), 0);
}

TEST_F(CdromTracksTest, OlderEnginesShowTheTimeTextOfWholeSeconds) {
  player->SetVersion(L"10.00.00.3646");
  ASSERT_TRUE(context.BindPlayer(player));
  struct Case {
    double seconds;
    const wchar_t* text;
  };
  const Case cases[] = {{3599.9, L"59:59"}, {3600.0, L"1:00:00"}, {65.0, L"01:05"},
                        {0.4, L"00:00"},    {7384.0, L"2:03:04"}};
  std::vector<fakes::FakeTrack> tracks;
  for (const Case& c : cases) tracks.push_back({L"T", L"A", c.seconds});
  fakes::FakePlaylistPtr disc = Open(fakes::MakeDisc(L"A", tracks));
  // An engine text that differs shows the rule is ours, not the engine's.
  for (std::size_t i = 0; i < disc->Size(); ++i) disc->At(i)->SetDurationText(L"engine");
  acc.FillTrackList(64000, true);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(list.At(static_cast<int>(i)).cells[2], cases[i].text) << cases[i].seconds;
  }
}

TEST_F(CdromTracksTest, FailedReadsLeaveEmptyCellsAndAFailedFetchEndsTheFill) {
  fakes::FakePlaylistPtr disc = Open(fakes::MakeDisc(4));
  disc->At(0)->FailRead(L"Artist");
  disc->At(1)->Script().Fail(fakes::MediaOp::DurationString);
  acc.FillTrackList(64000, true);
  ASSERT_EQ(list.GetRowCount(), 4);
  EXPECT_EQ(list.At(0).cells[0], L"Track 01");
  EXPECT_EQ(list.At(0).cells[1], L"");
  EXPECT_EQ(list.At(1).cells[2], L"");

  disc->Script().Fail(fakes::PlaylistOp::Item, wmp::kFail, fakes::kAlways);
  acc.FillTrackList(64000, true);
  EXPECT_EQ(list.GetRowCount(), 0);
  EXPECT_EQ(acc.GetTotalSize(), 0.0);
  EXPECT_EQ(sizeLabel.GetText(), L"-- MB");
  EXPECT_EQ(list.Focused(), -1);
}

TEST_F(CdromTracksTest, CheckStatesSurviveARefillUnlessReset) {
  Open(fakes::MakeDisc(5));
  acc.FillTrackList(64000, true);
  for (int row = 0; row < 5; ++row) EXPECT_EQ(list.GetRowCheck(row), 1);
  list.Check(2, false);
  acc.FillTrackList(128000, false);
  ASSERT_EQ(list.GetRowCount(), 5);
  for (int row = 0; row < 5; ++row) EXPECT_EQ(list.GetRowCheck(row), row == 2 ? 0 : 1) << row;
  acc.FillTrackList(64000, true);
  EXPECT_EQ(list.GetRowCheck(2), 1);
}

TEST_F(CdromTracksTest, AlbumLabelIsRedWithoutADiscAndNormalOtherwise) {
  AddCdDrive(L'E', nullptr);
  AddCdDrive(L'F', fakes::MakeDisc(L"", {{L"One", L"X", 10.0}}));
  AddCdDrive(L'G', fakes::MakeDisc(L"Blue", {{L"One", L"X", 10.0}}));
  struct Case {
    int entry;
    std::wstring text;
    bool red;
  };
  const Case cases[] = {
      {0, Strings().Load(IDS_NO_AUDIO_CD), true}, {1, L"", false}, {2, L"Blue", false},
      {0, Strings().Load(IDS_NO_AUDIO_CD), true}};
  acc.RefreshList(true, true);
  for (const Case& c : cases) {
    combo.Select(c.entry);
    acc.OpenDisc(true);
    acc.ShowAlbumName();
    EXPECT_EQ(albumLabel.GetText(), c.text) << c.entry;
    EXPECT_EQ(!albumLabel.HasSystemColour(), c.red) << c.entry;
    if (c.red) {
      EXPECT_EQ(albumLabel.Colour(), 0x001200EBu);
    }
    // Showing it again changes nothing and so repaints nothing.
    const int repaints = albumLabel.Repaints();
    acc.ShowAlbumName();
    EXPECT_EQ(albumLabel.Repaints(), repaints);
  }
  EXPECT_FALSE(Strings().Load(IDS_NO_AUDIO_CD).empty());
}

TEST_F(CdromTracksTest, AGoneDriveLeavesNoDiscBehind) {
  Open(fakes::MakeDisc(3));
  acc.FillTrackList(128000, true);
  acc.ShowAlbumName();
  ASSERT_EQ(list.GetRowCount(), 3);
  ASSERT_EQ(albumLabel.GetText(), L"Album");

  // Unplugged: the system lists no CD drive any more, the engine still does.
  drives.RemoveDrive(L'E');
  acc.RefreshList(false, true);
  EXPECT_FALSE(acc.OpenDisc(true));
  acc.FillTrackList(128000, true);
  acc.ShowAlbumName();
  EXPECT_EQ(acc.GetTrackCount(false), 0);
  EXPECT_EQ(list.GetRowCount(), 0);
  EXPECT_EQ(sizeLabel.GetText(), L"-- MB");
  EXPECT_EQ(albumLabel.GetText(), Strings().Load(IDS_NO_AUDIO_CD));
  EXPECT_FALSE(albumLabel.HasSystemColour());
  EXPECT_LT(acc.StartRip(), 0);
  EXPECT_EQ(player->Drives().Drives()[0]->RipFace()->Starts(), 0);
}

TEST_F(CdromTracksTest, ADiscTakenOutOfAnOpenDriveCannotBeRipped) {
  fakes::FakeCdromPtr cdrom = AddCdDrive(L'E', fakes::MakeDisc(3));
  ASSERT_TRUE(OpenFirst());
  cdrom->Remove();
  // Reopened without a refresh of the drive list, as during a transfer.
  EXPECT_FALSE(acc.OpenDisc(true));
  EXPECT_NE(acc.GetState(), common::kOpened);
  EXPECT_LT(acc.StartRip(), 0);
  EXPECT_LT(acc.UpdateRipProgress(0), 0);
  EXPECT_EQ(cdrom->RipFace()->Starts(), 0);
}

TEST_F(CdromTracksTest, EditsGoStraightIntoTheDiscItems) {
  fakes::FakePlaylistPtr disc = Open(fakes::MakeDisc(3));
  EXPECT_EQ(acc.GetAlbumName(), L"Album");
  EXPECT_TRUE(acc.SetAlbumName(L"New Album"));
  EXPECT_EQ(disc->Title(), L"New Album");
  EXPECT_TRUE(acc.SetTrackTitle(2, L"Second"));
  EXPECT_TRUE(acc.SetTrackArtist(3, L"Carol"));
  EXPECT_EQ(disc->At(1)->Title(), L"Second");
  EXPECT_EQ(disc->At(2)->Attribute(L"Artist"), L"Carol");
  // Track numbers count from 1; a refused edit is reported.
  EXPECT_FALSE(acc.SetTrackTitle(0, L"none"));
  disc->At(0)->Script().Fail(fakes::MediaOp::SetName);
  EXPECT_FALSE(acc.SetTrackTitle(1, L"refused"));

  EXPECT_TRUE(acc.IsDiscItem(disc->Fresh().get()));
  EXPECT_FALSE(acc.IsDiscItem(fakes::MakeDisc(3).get()));
  EXPECT_TRUE(acc.GetDiscItem(1).IsIdentical(disc->At(1).get()));
  EXPECT_FALSE(acc.GetDiscItem(3));
}

TEST_F(CdromTracksTest, RippedTracksWithoutTheUncheckedOnesWhileTheLibraryKeepsThem) {
  fakes::FakePlaylistPtr disc = Open(fakes::MakeDisc(12));
  RipAll(*disc);
  player->Library().AddRippedDisc(*fakes::MakeDisc(L"Other", {{L"X", L"Y", 60.0}}));
  acc.FillTrackList(64000, true);
  list.Check(1, false);
  list.Check(4, false);
  list.SnapshotChecks(false);

  wmp::PlaylistPtr ripped = acc.FindRippedTracks(true);
  EXPECT_EQ(TrackNumbers(ripped.get()), (std::vector<int>{1, 3, 4, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(acc.GetRippedCount(), 10);
  EXPECT_EQ(player->Library().Size(), 13u);
  EXPECT_EQ(acc.FindRippedTracks(false) ? acc.GetRippedCount() : -1, 12);
}

TEST_F(CdromTracksTest, ItemsOutOfDiscOrderAreJudgedByTheirTrackNumber) {
  fakes::FakePlaylistPtr disc = Open(fakes::MakeDisc(5));
  for (std::size_t index : {2, 3, 0, 1, 4}) player->Library().AddRipped(*disc, index);
  acc.FillTrackList(64000, true);
  list.Check(1, false);
  list.SnapshotChecks(false);
  EXPECT_EQ(TrackNumbers(acc.FindRippedTracks(true).get()), (std::vector<int>{3, 4, 1, 5}));
}

TEST_F(CdromTracksTest, ItemsWithoutTrackNumbersAreJudgedByPosition) {
  fakes::FakePlaylistPtr disc = Open(fakes::MakeDisc(3));
  for (const auto& item : RipAll(*disc)) item->Unset(L"WM/TrackNumber");
  acc.FillTrackList(64000, true);
  list.Check(0, false);
  list.SnapshotChecks(false);
  wmp::PlaylistPtr ripped = acc.FindRippedTracks(true);
  ASSERT_TRUE(ripped);
  long count = 0;
  ripped->Count(&count);
  EXPECT_EQ(count, 2);
}

TEST_F(CdromTracksTest, LibraryItemsAreFoundByTocOrElseByAlbum) {
  fakes::FakePlaylistPtr disc = Open(fakes::MakeDisc(3));
  // Another disc of the same name must not pass for this one.
  player->Library().AddRippedDisc(*fakes::MakeDisc(L"Album", {{L"X", L"Y", 60.0}}));
  ASSERT_TRUE(acc.FindRippedTracks(false));
  EXPECT_EQ(acc.GetRippedCount(), 0);

  disc->Set(L"TOC", L"");
  ASSERT_TRUE(acc.FindRippedTracks(false));
  EXPECT_EQ(acc.GetRippedCount(), 1);

  disc->Script().Fail(fakes::PlaylistOp::GetItemInfo);
  EXPECT_FALSE(acc.FindRippedTracks(false));
  EXPECT_EQ(acc.GetRippedCount(), 0);

  disc->SetTitle(L"");
  EXPECT_FALSE(acc.FindRippedTracks(false));
}

// A disc whose tags the engine could not find, for the tag preparation;
// at least four tracks.
fakes::FakePlaylistPtr UnknownDisc(int tracks, const std::wstring& album) {
  std::vector<fakes::FakeTrack> list;
  for (int n = 1; n <= tracks; ++n) list.push_back({L"Song", L"Band", 100.0});
  fakes::FakePlaylistPtr disc = fakes::MakeDisc(album, list);
  for (std::size_t i = 0; i < disc->Size(); ++i) disc->At(i)->Unset(L"WM/AlbumTitle");
  disc->At(0)->Set(L"WM/AlbumArtist", L"アーティスト情報なし").Set(L"Artist", L"");
  disc->At(1)->Set(L"WM/AlbumArtist", L"").Set(L"Artist", L"アーティスト情報なし");
  disc->At(2)->Set(L"Album", L"x アルバム情報なし y");
  disc->At(3)->Set(L"Name", L"04 Already numbered");
  return disc;
}

TEST_F(CdromTracksTest, PrepareDiscTagsByModel) {
  const std::wstring kShortArtist = L"ｱｰﾃｨｽﾄ情報なし";
  drives.AddDrive(L'E', os::DriveType::CdRom, L"MUSIC");
  files.AddDrive(L'E');
  files.AddFile(L"E:\\Track01.cda");
  for (int model : {0, 1, 2}) {
    fakes::FakePlaylistPtr disc = UnknownDisc(12, L"AC/DC: Live");
    player = std::make_shared<fakes::FakePlayer>(&files);
    player->Drives().AddDrive(L"E:", disc);
    context.BindPlayer(player);
    acc.RefreshList(true, true);
    ASSERT_TRUE(acc.OpenDisc(true));
    ASSERT_TRUE(acc.PrepareDiscTags(model)) << model;

    const bool fixes = model != 0;
    EXPECT_EQ(disc->At(0)->Attribute(L"WM/AlbumArtist"), kShortArtist);
    EXPECT_EQ(disc->At(1)->Attribute(L"WM/AlbumArtist"), kShortArtist);
    EXPECT_EQ(disc->At(5)->Attribute(L"WM/AlbumArtist"), L"Band");
    EXPECT_EQ(disc->At(0)->Attribute(L"Artist"), fixes ? kShortArtist : L"");
    EXPECT_EQ(disc->At(1)->Attribute(L"Artist"),
              fixes ? kShortArtist : L"アーティスト情報なし");
    EXPECT_EQ(disc->At(0)->Attribute(L"WM/AlbumTitle"), fixes ? L"AC-DC- Live" : L"");
    EXPECT_EQ(disc->At(2)->Attribute(L"WM/AlbumTitle"),
              fixes ? L"AC-DC- Live" : L"x アルバム情報なし y");
    EXPECT_EQ(disc->At(0)->Title(), fixes ? L"01 Song" : L"Song");
    EXPECT_EQ(disc->At(11)->Title(), fixes ? L"12 Song" : L"Song");
    EXPECT_EQ(disc->At(3)->Title(), L"04 Already numbered");

    // Running it again writes nothing.
    std::size_t writes = 0;
    for (const auto& item : disc->Items()) writes += item->Writes().size();
    ASSERT_TRUE(acc.PrepareDiscTags(model));
    std::size_t again = 0;
    for (const auto& item : disc->Items()) again += item->Writes().size();
    EXPECT_EQ(again, writes) << model;
  }
}

TEST_F(CdromTracksTest, PrepareDiscTagsOfASmallUnknownAlbum) {
  fakes::FakePlaylistPtr disc = Open(UnknownDisc(9, L"アルバム情報なし"));
  ASSERT_TRUE(acc.PrepareDiscTags(1));
  EXPECT_EQ(disc->At(0)->Attribute(L"WM/AlbumTitle"), L"ｱﾙﾊﾞﾑ");
  EXPECT_EQ(disc->At(0)->Title(), L"1 Song");
  EXPECT_EQ(disc->At(3)->Title(), L"4 04 Already numbered");
}

TEST_F(CdromTracksTest, PrepareDiscTagsFailsWithoutTracksOrOnAFailedWrite) {
  AddCdDrive(L'E', nullptr);
  OpenFirst();
  EXPECT_FALSE(acc.PrepareDiscTags(1));

  fakes::FakePlaylistPtr disc = UnknownDisc(4, L"A");
  AddCdDrive(L'F', disc);
  acc.RefreshList(false, true);
  combo.Select(1);
  ASSERT_TRUE(acc.OpenDisc(true));
  disc->At(1)->FailWrite(L"WM/AlbumArtist");
  EXPECT_FALSE(acc.PrepareDiscTags(0));
  disc->At(2)->FailRead(L"Album");
  EXPECT_FALSE(acc.PrepareDiscTags(2));
}

TEST_F(CdromTracksTest, CorrectLibraryTagsCopiesChangedTagsAndReaddsTheFile) {
  fakes::FakePlaylistPtr disc = Open(fakes::MakeDisc(3));
  std::vector<fakes::FakeMediaPtr> ripped = RipAll(*disc);
  disc->At(1)->Set(L"Name", L"02 Renamed").Set(L"Artist", L"Someone");
  disc->At(2)->Set(L"WM/AlbumTitle", L"Other Album");

  ASSERT_TRUE(acc.CorrectLibraryTags());
  EXPECT_EQ(ripped[0]->Writes().size(), 0u);
  EXPECT_EQ(ripped[1]->Title(), L"02 Renamed");
  EXPECT_EQ(ripped[1]->Attribute(L"Artist"), L"Someone");
  EXPECT_EQ(ripped[2]->Attribute(L"WM/AlbumTitle"), L"Other Album");
  EXPECT_EQ(player->Library().AddedUrls(),
            (std::vector<std::wstring>{ripped[1]->Url(), ripped[2]->Url()}));
  // The file's own object got the same values as the library item.
  bool fileTold = false;
  for (const auto& fresh : player->NewMediaItems()) {
    if (fresh->Url() == ripped[1]->Url()) fileTold = fresh->Title() == L"02 Renamed";
  }
  EXPECT_TRUE(fileTold);
  // Done once, nothing is left to copy.
  ASSERT_TRUE(acc.CorrectLibraryTags());
  EXPECT_EQ(player->Library().AddedUrls().size(), 2u);
}

TEST_F(CdromTracksTest, CorrectLibraryTagsNeedsTheLibraryPlaylist) {
  fakes::FakePlaylistPtr disc = Open(fakes::MakeDisc(3));
  disc->Script().Fail(fakes::PlaylistOp::GetItemInfo);
  EXPECT_FALSE(acc.CorrectLibraryTags());
}

TEST_F(CdromTracksTest, FreeSpaceOfTheRipDisk) {
  files.SetClusters(L'C', os::DiskClusters{8, 512, 2000000, 4000000});
  struct Case {
    const wchar_t* path;
    float megabytes;
  };
  const Case cases[] = {
      {L"C:\\Music", 7812.5f}, {L"C:", 7812.5f}, {L"", 0.0f}, {L"Music", 0.0f},
      {L":\\Music", 0.0f},     {L"Q:\\Music", 0.0f},
  };
  for (const Case& c : cases) EXPECT_EQ(acc.GetFreeSpaceMB(c.path), c.megabytes) << c.path;
}

}  // namespace
