// CD drive list, selected drive, disc classification and opening.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/cdrom/cdrom_fixture.h"

namespace {

using cdrom_test::CdromFixture;

class CdromDrivesTest : public CdromFixture {};

TEST_F(CdromDrivesTest, FloppyLettersAreNeverListedEvenAsCdDrives) {
  drives.AddDrive(L'A', os::DriveType::CdRom, L"ODD");
  drives.AddDrive(L'B', os::DriveType::CdRom, L"ODD");
  combo.SetText(L"stale (X:)");
  acc.SetState(common::kOpened);
  acc.RefreshList(false, true);
  EXPECT_TRUE(combo.Items().empty());
  EXPECT_EQ(combo.GetText(), L"");
  EXPECT_EQ(combo.GetSelection(), -1);
  EXPECT_EQ(acc.GetState(), common::kNothingFound);
}

TEST_F(CdromDrivesTest, CdDrivesInLetterOrderWithTheirLabels) {
  AddCdDrive(L'F', nullptr);
  AddCdDrive(L'E', fakes::MakeDisc(3), L"MUSIC");
  drives.AddDrive(L'G', os::DriveType::Removable, L"PLAYER");
  drives.AddDrive(L'Z', os::DriveType::CdRom, L"LAST");
  combo.OpenDropDown();
  acc.RefreshList(true, true);
  const std::vector<std::wstring> expected = {L"MUSIC (E:)", L"CD ドライブ (F:)", L"LAST (Z:)"};
  EXPECT_EQ(combo.Items(), expected);
  EXPECT_EQ(combo.GetSelection(), 0);
  EXPECT_EQ(acc.GetSelectedDrive(), L"E:");
  EXPECT_FALSE(combo.DropDownOpen());
  EXPECT_EQ(acc.GetState(), common::kListed);
}

TEST_F(CdromDrivesTest, RefreshKeepsTheSelectedDriveAndSelectsNothingWhenItIsGone) {
  AddCdDrive(L'E', fakes::MakeDisc(3));
  AddCdDrive(L'F', fakes::MakeDisc(4), L"OTHER");
  acc.RefreshList(true, true);
  combo.Select(1);
  combo.OpenDropDown();
  acc.RefreshList(false, false);
  EXPECT_EQ(combo.GetSelection(), 1);
  EXPECT_EQ(acc.GetSelectedDrive(), L"F:");
  EXPECT_TRUE(combo.DropDownOpen());

  drives.RemoveDrive(L'F');
  acc.RefreshList(false, true);
  EXPECT_EQ(combo.Items().size(), 1u);
  EXPECT_EQ(combo.GetSelection(), -1);
  EXPECT_EQ(combo.GetText(), L"");
  EXPECT_EQ(acc.GetState(), common::kListed);

  // With nothing selected the refresh acts as a first fill.
  acc.RefreshList(false, true);
  EXPECT_EQ(acc.GetSelectedDrive(), L"E:");
}

TEST_F(CdromDrivesTest, SelectedDriveIsTheLetterBeforeTheFirstClosingBracket) {
  struct Case {
    const wchar_t* text;
    const wchar_t* drive;
  };
  const Case cases[] = {
      {L"Music CD (E:)", L"E:"}, {L"CD ドライブ (F:)", L"F:"}, {L"", L""},
      {L":) (E:)", L""},         {L"no drive", L""},         {L"A (G:) (H:)", L"G:"},
  };
  for (const Case& c : cases) {
    combo.SetText(c.text);
    EXPECT_EQ(acc.GetSelectedDrive(), c.drive) << c.text;
  }
}

struct Entry {
  const wchar_t* name;
  bool folder;
};

TEST_F(CdromDrivesTest, AudioOnlyDiscHasNoMarkerOfADataOrVideoDisc) {
  struct Case {
    std::vector<Entry> entries;
    bool audioOnly;
  };
  const std::vector<Case> cases = {
      {{{L"Track01.cda", false}, {L"Track02.cda", false}}, true},
      {{{L"Track01.cda", false}, {L"song.wma", false}}, false},
      {{{L"Track01.cda", false}, {L".wma", false}}, true},
      {{{L"Track01.cda", false}, {L"live.mp3", false}}, false},
      {{{L"TRACK.MP3", false}}, true},
      {{{L"VIDEO_TS", true}, {L"Track01.cda", false}}, false},
      {{{L"AUDIO_TS", true}}, false},
      {{{L"VIDEO_TS_BACKUP", true}}, false},
      {{{L"video_ts", true}}, true},
      {{{L"VIDEO_TS", false}}, true},
      // Only the first ".wma" counts; a later ".mp3" still does.
      {{{L".wma.mp3", false}}, false},
      {{{L"notes.wmav", false}}, false},
      {{{L"songs.wma", true}}, false},
      {{}, true},  // a root that lists nothing: an audio CD under Wine
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    fakes::FakeFileSystem disc;
    disc.AddDrive(L'E');
    for (const Entry& entry : cases[i].entries) {
      if (entry.folder) {
        disc.AddFolder(std::wstring(L"E:\\") + entry.name);
      } else {
        disc.AddFile(std::wstring(L"E:\\") + entry.name);
      }
    }
    cdrom::CCDROMAcc probe(context, drives, disc, clock, statusHost, cdrom_test::Strings());
    EXPECT_EQ(probe.IsAudioOnlyDisc(L"E:"), cases[i].audioOnly) << "case " << i;
  }
}

TEST_F(CdromDrivesTest, AnEmptyDriveIsNoAudioDiscAndDoesNotOpen) {
  AddCdDrive(L'E', nullptr);
  EXPECT_FALSE(acc.IsAudioOnlyDisc(L"E:"));
  EXPECT_FALSE(OpenFirst());
  EXPECT_EQ(acc.GetTrackCount(false), 0);
  EXPECT_EQ(acc.GetState(), common::kListed);
  EXPECT_EQ(acc.CdromIndex(), 0);
}

TEST_F(CdromDrivesTest, AnAudioDiscOpensWithItsTrackCount) {
  AddCdDrive(L'D', nullptr);
  AddCdDrive(L'E', fakes::MakeDisc(12));
  acc.RefreshList(true, true);
  combo.Select(1);
  ASSERT_TRUE(acc.OpenDisc(true));
  EXPECT_EQ(acc.GetState(), common::kOpened);
  EXPECT_EQ(acc.GetTrackCount(false), 12);
  EXPECT_EQ(acc.CdromIndex(), 1);
  // A refresh always takes the state back to listed.
  acc.RefreshList(false, false);
  EXPECT_EQ(acc.GetState(), common::kListed);
}

TEST_F(CdromDrivesTest, ADataDiscOpensOnlyWithoutTheContentTest) {
  fakes::FakePlaylistPtr data = fakes::MakeDisc(2);
  AddCdDrive(L'E', data);
  files.AddFile(L"E:\\song.wma");
  acc.RefreshList(true, true);
  EXPECT_FALSE(acc.OpenDisc(true));
  EXPECT_EQ(acc.GetTrackCount(false), 0);
  EXPECT_EQ(acc.GetState(), common::kListed);

  EXPECT_TRUE(acc.OpenDisc(false));
  EXPECT_EQ(acc.GetTrackCount(false), 2);
  EXPECT_EQ(acc.GetState(), common::kListed);
  EXPECT_EQ(acc.GetTrackCount(true), 2);
}

TEST_F(CdromDrivesTest, ADriveTheEngineDoesNotKnowDoesNotOpen) {
  AddCdDrive(L'E', fakes::MakeDisc(3));
  drives.AddDrive(L'F', os::DriveType::CdRom, L"GHOST");
  acc.RefreshList(true, true);
  combo.Select(1);
  EXPECT_FALSE(acc.OpenDisc(true));
  EXPECT_EQ(acc.CdromIndex(), -1);

  // Nor does one without the engine's collection of drives.
  combo.Select(0);
  player->DropCdromCollection();
  EXPECT_FALSE(acc.OpenDisc(true));
  EXPECT_EQ(acc.CdromIndex(), -1);
}

TEST_F(CdromDrivesTest, MoreItemsThanAnAudioCdHoldsAreRefused) {
  AddCdDrive(L'E', fakes::MakeDisc(100));
  acc.RefreshList(true, true);
  EXPECT_FALSE(acc.OpenDisc(true));
  EXPECT_FALSE(acc.OpenDisc(false));
  EXPECT_EQ(acc.GetTrackCount(false), 0);
  EXPECT_NE(acc.GetState(), common::kOpened);
}

TEST_F(CdromDrivesTest, EjectAndStopRipOfTheSelectedDrive) {
  struct Case {
    const wchar_t* version;
    bool canStop;
  };
  const Case cases[] = {{L"11.0.5721.5145", true}, {L"10.00.00.3646", false}, {L"", false}};
  AddCdDrive(L'D', nullptr);
  AddCdDrive(L'E', fakes::MakeDisc(3));
  for (const Case& c : cases) {
    player = std::make_shared<fakes::FakePlayer>(&files);
    player->SetVersion(c.version);
    player->Drives().AddDrive(L"D:", fakes::MakeNoDisc());
    fakes::FakeCdromPtr cdrom = player->Drives().AddDrive(L"E:", fakes::MakeDisc(3));
    context.BindPlayer(player);
    acc.RefreshList(true, true);
    combo.Select(1);
    ASSERT_TRUE(acc.OpenDisc(true));
    EXPECT_EQ(acc.StopRip(), c.canStop) << c.version;
    EXPECT_EQ(cdrom->RipFace()->Stops(), c.canStop ? 1 : 0) << c.version;
    EXPECT_TRUE(acc.Eject());
    EXPECT_EQ(cdrom->Ejects(), 1);
    EXPECT_EQ(player->Drives().Drives()[0]->Ejects(), 0);
  }
}

}  // namespace
