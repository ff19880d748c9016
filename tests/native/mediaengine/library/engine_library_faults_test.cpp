// The library file under faults: a store cut short at any length is set
// aside and the ripped files stay; a save cut short at any byte leaves the
// old store or the new one; the engine says when it started empty; calls
// made while the engine still reads its library see all of it, and a read
// that fails half-way never leaves a part to be taken for the whole.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "mediaengine/library/library_file.h"
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
    player_->LibraryLoad();  // the warning is queued by the time the load has ended
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

// A store of `count` tracks of one album, as the library writes it.
std::string StoreOf(int count) {
  std::vector<mediaengine::LibraryRecord> records(static_cast<std::size_t>(count));
  std::vector<const mediaengine::LibraryRecord*> listed;
  for (int i = 0; i < count; ++i) {
    mediaengine::LibraryRecord& record = records[static_cast<std::size_t>(i)];
    record.id = static_cast<mediaengine::ItemId>(i + 1);
    record.url = L"C:\\Music\\Band\\Album\\" + std::to_wstring(i) + L" Track.wma";
    record.durationMs = 200000;
    mediaengine::SetAttributeValue(record, wmp::attr::kTitle, L"Track " + std::to_wstring(i));
    mediaengine::SetAttributeValue(record, wmp::attr::kAlbumTitle, L"Album");
    mediaengine::SetAttributeValue(record, wmp::attr::kMediaType, wmp::kMediaTypeAudio);
    mediaengine::SetAttributeValue(record, wmp::attr::kToc, kToc);
    listed.push_back(&record);
  }
  return mediaengine::SerializeLibrary(static_cast<mediaengine::ItemId>(count + 1), listed);
}

TEST_F(EngineLibraryWarningTest, CallsMadeWhileTheLibraryLoadsSeeAllOfItOrNone) {
  constexpr long kItems = 600;
  const std::string store = StoreOf(kItems);
  ASSERT_GT(store.size(), 1u << 16) << "read in more than one piece";
  const std::wstring storePath = L"C:\\Library\\library.txt";
  const std::wstring added = L"C:\\Music\\added.mp3";
  auto count = [](const wmp::PlaylistPtr& list) { return list ? CountOf(*list) : -1L; };
  const struct {
    const char* what;
    std::function<long()> call;
    long whole;   // what it gives once the whole library is read
    long failed;  // ... when the read failed half-way: an empty library
  } calls[] = {
      {"all items", [&] {
         wmp::PlaylistPtr all;
         media_->GetAll(&all);
         return count(all);
       }, kItems, 0},
      {"the disc's tracks by TOC", [&] {
         wmp::PlaylistPtr found;
         media_->GetByAttribute(L"TOC", kToc, &found);
         return count(found);
       }, kItems, 0},
      {"a file added, then all items", [&] {
         wmp::MediaPtr item;
         EXPECT_EQ(media_->Add(added, &item), wmp::kOk);
         wmp::PlaylistPtr all;
         media_->GetAll(&all);
         return count(all);
       }, kItems + 1, 1},
  };
  for (const bool readFails : {false, true}) {
    for (const auto& c : calls) {
      SCOPED_TRACE(std::string(c.what) + (readFails ? ", the read failing" : ""));
      if (player_) player_->Close();
      files_.Locked([&](os::IFileSystem& fs) {
        fs.Delete(added);
        fake_.AddFile(storePath, store);
        fake_.AddFile(added, "mp3");
        return 0;
      });
      auto gate = std::make_shared<device_test::Gate>();
      files_.OnOpen(storePath, [gate] { gate->Arrive(); }, readFails ? 1u << 16 : UINT64_MAX);
      StartPlayer();
      ASSERT_TRUE(gate->WaitForArrival()) << "the load runs on its own";
      // The call is made while the load is held; it goes on once the load ends.
      std::thread opener([gate] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        gate->Open();
      });
      const long got = c.call();
      opener.join();
      files_.OnOpen(L"", nullptr);
      EXPECT_EQ(got, readFails ? c.failed : c.whole);
      EXPECT_EQ(player_->LibraryLoad().outcome,
                readFails ? LoadOutcome::kNotSaving : LoadOutcome::kLoaded);
      player_->Close();
      const std::string kept = Content(storePath);
      if (readFails) {
        EXPECT_EQ(kept, store) << "a library read in part never replaces the file";
      } else {
        mediaengine::LibraryContents contents;
        mediaengine::LibraryParseError error;
        ASSERT_TRUE(mediaengine::ParseLibrary(kept, L"C:\\Library\\Playlists", &contents, &error));
        EXPECT_EQ(static_cast<long>(contents.records.size()), c.whole) << "written back whole";
      }
    }
  }
}

}  // namespace
}  // namespace library_test
