// The library file under faults: a store cut short at any length is set
// aside and the ripped files stay; a save cut short at any byte leaves the
// old store or the new one; the engine says when it started empty.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "native/mediaengine/library/engine_library_fixture.h"
#include "mediaengine/player/player.h"
#include "native/mediaengine/devices/engine_device_fixture.h"

namespace library_test {
namespace {

using mediaengine::LoadOutcome;

std::uint64_t UsedOn(fakes::FakeFileSystem& files, wchar_t letter) {
  os::ErrorCode error = os::kSuccess;
  return files.UsedBytes(*files.DriveOf(std::wstring{letter, L':', L'\\'}, &error));
}

TEST_F(LibraryTest, AStoreCutShortAtAnyLengthIsSetAsideAndTheRipsStay) {
  Open();
  Rip(1);
  Rip(2);
  wmp::PlaylistPtr list;
  ASSERT_EQ(playlists->NewPlaylist(L"List", &list), wmp::kOk);
  const std::string valid = files.Content(kLibraryFile);
  const std::string rip1 = files.Content(TrackFile(1));
  const std::wstring aside = kFolder + L"\\library.damaged-1";
  for (std::size_t cut = 0; cut < valid.size(); ++cut) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    media.reset();
    playlists.reset();
    library.reset();
    files.Delete(aside);
    files.AddFile(kLibraryFile, valid.substr(0, cut));
    Open();
    ASSERT_EQ(report.outcome, LoadOutcome::kDamagedSetAside);
    EXPECT_EQ(report.setAsidePath, aside);
    EXPECT_EQ(files.Content(aside), valid.substr(0, cut)) << "kept as it was, for the user";
    wmp::PlaylistPtr all;
    ASSERT_EQ(media->GetAll(&all), wmp::kOk);
    EXPECT_EQ(CountOf(*all), 0);
    // The rips whose entries were lost are still on the disk.
    EXPECT_EQ(files.Content(TrackFile(1)), rip1);
    EXPECT_TRUE(files.Exists(TrackFile(2)));
  }
}

TEST_F(LibraryTest, ASaveCutShortAtAnyByteLeavesTheOldStoreOrTheNewOne) {
  auto begin = [&] {
    media.reset();
    playlists.reset();
    library.reset();
    files = fakes::FakeFileSystem();
    files.AddDrive(L'C');
    Open();
    Rip(1);
  };
  begin();
  const std::string old = files.Content(kLibraryFile);
  Rip(2);
  const std::string renewed = files.Content(kLibraryFile);
  ASSERT_NE(old, renewed);

  for (std::size_t room = 0; room <= renewed.size(); ++room) {
    SCOPED_TRACE("room for " + std::to_string(room) + " bytes");
    begin();
    // The rip's own file is there before the store is written.
    files.AddFile(TrackFile(2), std::string(1002, 'a'));
    files.AddDrive(L'C', UsedOn(files, L'C') + room);
    mediaengine::RippedTrack track;
    track.url = TrackFile(2);
    track.title = L"Track 2";
    track.artist = L"Artist";
    track.albumTitle = L"Album";
    track.albumArtist = L"Album Artist";
    track.genre = L"Pop";
    track.trackNumber = 2;
    track.toc = kToc;
    track.durationSeconds = 202.25;
    track.bitrate = 64000;
    track.fileSize = 1002;
    wmp::MediaPtr item;
    ASSERT_EQ(library->AddRipped(track, &item), wmp::kOk);
    const bool fits = room >= renewed.size();
    EXPECT_EQ(files.Content(kLibraryFile), fits ? renewed : old);
    EXPECT_FALSE(files.Exists(kLibraryFile + L".tmp")) << "no half-written store is left";
    EXPECT_EQ(library->LastSaveResult(), fits ? wmp::kOk : wmp::kDiskFull);
    Reopen();
    EXPECT_EQ(report.outcome, LoadOutcome::kLoaded);
    EXPECT_EQ(report.items, fits ? 2u : 1u);
  }
}

class EngineLibraryWarningTest : public device_test::EngineDeviceTest {};

TEST_F(EngineLibraryWarningTest, TheEngineSaysWhenItStartsWithAnEmptyLibrary) {
  const struct {
    const char* what;
    std::string store;  // empty: none
    std::vector<std::wstring> events;
  } cases[] = {
      {"no store yet", "", {}},
      {"a sound store", "marimba-library\t1\nnext\t1\nend\t0\n", {}},
      {"a damaged store",
       "marimba-library\t1\nnext\t1\nitem\t1\t0\tC:\\\\x.wma\n",
       {L"warning " + std::to_wstring(mediaengine::kWarningLibrarySetAside)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (player_) player_->Close();  // it writes its library as it closes
    files_.Locked([&](os::IFileSystem& fs) {
      fs.Delete(L"C:\\Library\\library.txt");
      fs.Delete(L"C:\\Library\\library.damaged-1");
      if (!c.store.empty()) fake_.AddFile(L"C:\\Library\\library.txt", c.store);
      return 0;
    });
    StartPlayer();
    std::vector<std::wstring> warnings;
    for (const auto& event : Drain()) {
      if (event.rfind(L"warning", 0) == 0) warnings.push_back(event);
    }
    EXPECT_EQ(warnings, c.events);
    if (!c.events.empty()) {
      EXPECT_NE(events_->lastWarning.find(L"library.damaged-1"), std::wstring::npos)
          << "the text names where the damaged file went";
      EXPECT_TRUE(Exists(L"C:\\Library\\library.damaged-1"));
    }
  }
}

}  // namespace
}  // namespace library_test
