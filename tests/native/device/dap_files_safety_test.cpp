// The file step on a player drive loses nothing: it finds the folders the
// engine named by the shared rule, keeps files of other tracks, leaves no
// empty folders when nothing came.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "native/device/dap_fixture.h"
#include "mediaengine/devices/sync_job.h"
#include "os/text_encoding.h"

namespace dap_test {
namespace {

class FilesSafetyTest : public PlayerFilesFixture {
 public:
  // A file on the player the engine reads these tags from.
  fakes::FakeMedia& TaggedFile(const std::wstring& path, const std::string& content,
                               const std::wstring& title, double seconds) {
    files.AddFile(path, content);
    files.SetCreationTime(path, os::FileTimeOfSecondsSince1970(kStart + 10));
    fakes::FakeMediaPtr item = player->Library().FindByUrl(path);  // from an earlier case
    if (!item) item = player->Library().AddFile(path, title);
    item->Set(L"Title", title).Set(L"Album", L"Album").Set(L"WM/AlbumArtist", L"Artist");
    item->Set(L"WM/TrackNumber", L"1").SetSeconds(seconds);
    return *item;
  }

  // Takes the tracks and the Music folder of the previous case off the drive.
  void RemoveTracks(const std::wstring& folder) {
    std::vector<os::FindEntry> entries;
    files.FindFiles(folder + L"\\*.*", &entries);
    for (const auto& entry : entries) {
      const std::wstring path = folder + L"\\" + entry.name;
      if (entry.IsDotEntry()) continue;
      if (entry.IsFolder()) {
        RemoveTracks(path);
        files.RemoveFolder(path);
      } else if (os::EndsWithNoCase(entry.name, L".wma")) {
        files.Delete(path);
      }
    }
  }

};

TEST_F(FilesSafetyTest, MovingInKeepsAFileOfAnotherTrackAndReplacesOnlyTheSameTrack) {
  const std::wstring folder = L"F:\\Music\\Artist\\Album\\";
  const struct {
    const char* what;
    std::wstring title;  // of the file already in the album folder
    double seconds;
    bool replaced;
  } cases[] = {
      {"another track of the same name", L"Other", 200.0, false},
      {"the same track, 0.5 s longer (another bit rate)", L"Track 01", 200.5, true},
      {"the same title but another length", L"Track 01", 230.0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RemoveTracks(L"F:");
    Transfer(1);
    TaggedFile(folder + L"01 Track 01.wma", "already there", c.title, c.seconds);
    TaggedFile(L"F:\\01 Track 01.wma", "new copy", L"Track 01", 200.0);
    ASSERT_TRUE(dap.CollectTransferredFiles());
    dap.MoveIntoMusicFolder();
    EXPECT_FALSE(files.Exists(L"F:\\01 Track 01.wma")) << "moved out of the root";
    EXPECT_EQ(files.Content(folder + L"01 Track 01.wma"), c.replaced ? "new copy" : "already there");
    EXPECT_EQ(files.Exists(folder + L"01 Track 01 (2).wma"), !c.replaced);
    if (!c.replaced) {
      EXPECT_EQ(files.Content(folder + L"01 Track 01 (2).wma"), "new copy");
    }
    ASSERT_TRUE(dap.FinishSync());
  }
}

TEST_F(FilesSafetyTest, ModelTwoFindsTheFoldersTheEngineSynchronisedInto) {
  mediaengine::DeviceDescription engineDevice;
  engineDevice.root = L"F:\\";
  engineDevice.syncFolder = mediaengine::SyncFolder::Music;
  const struct {
    std::wstring artist;
    std::wstring album;
  } cases[] = {
      {L"AC/DC", L"Live: 1977?"},
      {L"CON", L"Aux."},
      {L"Tabs\tand dots...", L"  "},
      {std::wstring(80, L'長'), L"普通"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(os::Utf8FromWide(c.artist + L" / " + c.album));
    RemoveTracks(L"F:");
    Transfer(2, c.artist, c.album);
    const std::wstring folder = mediaengine::SyncFolderPath(engineDevice, c.artist, c.album);
    files.AddFile(folder + L"01 Track 01.wma", "one");
    files.AddFile(folder + L"02 Track 02.wma", "two");
    files.AddFile(L"F:\\02 Track 02.wma", "another track of that name");
    dap.MoveOutOfMusicFolder();
    EXPECT_EQ(files.Content(L"F:\\01 Track 01.wma"), "one");
    EXPECT_EQ(files.Content(L"F:\\02 Track 02.wma"), "another track of that name");
    EXPECT_EQ(files.Content(L"F:\\02 Track 02 (2).wma"), "two");
    EXPECT_FALSE(files.Exists(L"F:\\Music")) << "every folder emptied and removed";
    ASSERT_TRUE(dap.FinishSync());
  }
}

TEST_F(FilesSafetyTest, AMoveThatBringsNothingLeavesNoEmptyFolders) {
  Transfer(1, L"New Artist", L"New Album");
  files.AddFile(L"F:\\01 Track 01.wma", "audio");
  files.SetCreationTime(L"F:\\01 Track 01.wma", os::FileTimeOfSecondsSince1970(kStart + 10));
  ASSERT_TRUE(dap.CollectTransferredFiles());
  files.Delete(L"F:\\01 Track 01.wma");  // gone before the move (the player was pulled)
  dap.MoveIntoMusicFolder();
  EXPECT_FALSE(files.Exists(L"F:\\Music"));

  // A folder that was there before stays, even when empty.
  files.AddFolder(L"F:\\Music\\New Artist");
  dap.MoveIntoMusicFolder();
  EXPECT_TRUE(files.Exists(L"F:\\Music\\New Artist"));
  EXPECT_FALSE(files.Exists(L"F:\\Music\\New Artist\\New Album"));
}

}  // namespace
}  // namespace dap_test
