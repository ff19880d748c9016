// Files on a player drive after a transfer: which ones it brought, and the
// album folder they go into (or come out of).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/device/dap_fixture.h"
#include "device/file_time.h"

namespace dap_test {
namespace {

TEST(SanitizeFolderNameTest, ReplacesEveryCharacterAFolderNameCannotHold) {
  const std::vector<std::pair<std::wstring, std::wstring>> cases = {
      {L"AC/DC", L"AC-DC"},
      {L"What?<2>|x", L"What-[2]Ix"},
      {L"a\\b:c*d\"e", L"a b-c-d'e"},
      {L"//::", L"----"},
      {L"Plain Name", L"Plain Name"},
      {L"", L""},
  };
  for (const auto& [text, expected] : cases) {
    std::wstring name = text;
    device::CDAPAcc::SanitizeFolderName(name);
    EXPECT_EQ(name, expected) << "for " << std::string(text.begin(), text.end());
  }
}

TEST(LocalSecondsOfFileTimeTest, GoesThroughLocalTimeAndStopsBefore1900) {
  fakes::FakeClock clock;
  clock.SetLocalOffset(9 * 3600);
  // The local calendar turns local time back into the same moment.
  EXPECT_EQ(device::LocalSecondsOfFileTime(clock, os::FileTimeOfSecondsSince1970(1'700'000'000)),
            1'700'000'000);
  const os::FileTime in1899 = os::FileTimeOfCalendar(os::CalendarTime{1899, 12, 31, 12, 0, 0, 0});
  EXPECT_EQ(device::LocalSecondsOfFileTime(clock, in1899), 0);
  EXPECT_EQ(device::LocalSecondsOfFileTime(clock, 0), 0);
}

class FilesTest : public PlayerFilesFixture {
 public:
  // A file on the player created at `created` (seconds since 1970).
  void PlayerFile(const std::wstring& name, std::int64_t created) {
    files.AddFile(L"F:\\" + name, "audio");
    files.SetCreationTime(L"F:\\" + name, os::FileTimeOfSecondsSince1970(created));
  }
};

TEST_F(FilesTest, TransferredFilesAreFoundByNameTitleTagsAndTime) {
  Transfer(3);
  PlayerFile(L"01 Track 01.wma", kStart + 10);   // the same name
  PlayerFile(L"02 Track.wma", kStart + 20);      // contained in "02 Track 02.wma"
  PlayerFile(L"Old.wma", kStart - 3600);         // before the transfer
  PlayerFile(L"Later.wma", kStart + 120);        // after the check
  PlayerFile(L".wma", kStart + 10);              // no name before the extension
  PlayerFile(L"notes.txt", kStart + 10);
  files.AddFolder(L"F:\\Folder.wma");
  // An older file that carries the album's tags belongs to it anyway.
  PlayerFile(L"Tagged.wma", kStart - 86400);
  player->Library().AddFile(L"F:\\Tagged.wma")
      ->Set(L"Album", L"Album").Set(L"WM/AlbumArtist", L"Artist");
  // Same album, another artist: only the time could count, and it is too old.
  PlayerFile(L"Other.wma", kStart - 86400);
  player->Library().AddFile(L"F:\\Other.wma")
      ->Set(L"Album", L"Album").Set(L"WM/AlbumArtist", L"Someone");

  ASSERT_TRUE(dap.CollectTransferredFiles());
  std::vector<std::wstring> found = dap.Transfer().transferredFiles;
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::wstring>{L"01 Track 01.wma", L"02 Track.wma", L"Tagged.wma"}));
  EXPECT_EQ(dap.Transfer().syncEnd, kStart + 60);
  // A matched source name is used up.
  EXPECT_EQ(dap.Transfer().sourceFiles, std::vector<std::wstring>{L"03 Track 03.wma"});
}

TEST_F(FilesTest, NothingFoundOrNoDriveSelectedIsFalse) {
  Transfer(2);
  PlayerFile(L"Old.wma", kStart - 10);
  EXPECT_FALSE(dap.CollectTransferredFiles());
  combo.SetText(L"ORBIT Lumina");
  EXPECT_FALSE(dap.CollectTransferredFiles());
}

TEST_F(FilesTest, FilesMoveIntoSanitisedArtistAndAlbumFolders) {
  Partner(*device, 1, L'F');
  hasTrackList = false;
  fakes::FakePlaylistPtr source = RippedAlbum(2);
  for (const auto& item : source->Items()) {
    item->Set(L"WM/AlbumArtist", L"AC/DC").Set(L"Album", L"What?<2>|x");
  }
  ASSERT_TRUE(dap.PrepareSync(source.get(), Checks()));
  clock.SetNow(kStart);
  ASSERT_TRUE(dap.StartSync());
  PlayerFile(L"01 Track 01.wma", kStart);
  PlayerFile(L"02 Track 02.wma", kStart);
  files.AddFolder(L"F:\\Music\\AC-DC");  // left by an earlier transfer
  ASSERT_TRUE(dap.CollectTransferredFiles());
  dap.MoveIntoMusicFolder();
  EXPECT_TRUE(files.Exists(L"F:\\Music\\AC-DC\\What-[2]Ix\\01 Track 01.wma"));
  EXPECT_TRUE(files.Exists(L"F:\\Music\\AC-DC\\What-[2]Ix\\02 Track 02.wma"));
  EXPECT_FALSE(files.Exists(L"F:\\01 Track 01.wma"));
}

TEST_F(FilesTest, AnAlbumThatCannotNameAFolderUsesThePcFolderName) {
  for (const std::wstring title : {L"..", L"", L" . "}) {
    SCOPED_TRACE(std::string(title.begin(), title.end()));
    Partner(*device, 1, L'F');
    hasTrackList = false;
    fakes::FakePlaylistPtr source = RippedAlbum(1);
    source->At(0)->Set(L"Album", title);
    ASSERT_TRUE(dap.PrepareSync(source.get(), Checks()));
    clock.SetNow(kStart);
    ASSERT_TRUE(dap.StartSync());
    PlayerFile(L"01 Track 01.wma", kStart);
    ASSERT_TRUE(dap.CollectTransferredFiles());
    dap.MoveIntoMusicFolder();
    // The ripped file's folder: C:\Music\Artist\Album.
    EXPECT_TRUE(files.Exists(L"F:\\Music\\Artist\\Album\\01 Track 01.wma"));
    files.Delete(L"F:\\Music\\Artist\\Album\\01 Track 01.wma");
    ASSERT_TRUE(dap.FinishSync());
  }
}

TEST_F(FilesTest, ModelTwoMovesTheAlbumBackToTheRootAndRemovesEmptyFolders) {
  Transfer(3);
  for (const wchar_t* name : {L"01 Track 01.wma", L"02 Track 02.wma", L"03 Track 03.wma"}) {
    files.AddFile(std::wstring(L"F:\\Music\\Artist\\Album\\") + name, "audio");
  }
  dap.MoveOutOfMusicFolder();
  EXPECT_TRUE(files.Exists(L"F:\\01 Track 01.wma"));
  EXPECT_TRUE(files.Exists(L"F:\\02 Track 02.wma"));
  EXPECT_TRUE(files.Exists(L"F:\\03 Track 03.wma"));
  EXPECT_FALSE(files.Exists(L"F:\\Music"));
}

}  // namespace
}  // namespace dap_test
