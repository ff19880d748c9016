// The UI thread reads the library while a rip worker adds tracks.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "native/mediaengine/library/engine_library_fixture.h"

namespace library_test {
namespace {

TEST_F(LibraryTest, ReadersSeeWholeItemsWhileAWorkerAdds) {
  constexpr int kTracks = 60;
  Open();  // the fake file system locks each call, as the real one is thread-safe
  wmp::PlaylistPtr list;
  ASSERT_EQ(playlists->NewPlaylist(L"Ripped", &list), wmp::kOk);

  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int track = 1; track <= kTracks; ++track) {
      mediaengine::RippedTrack ripped;
      ripped.url = L"C:\\Music\\" + std::to_wstring(track) + L".wma";
      ripped.title = L"Track " + std::to_wstring(track);
      ripped.trackNumber = track;
      ripped.toc = kToc;
      wmp::MediaPtr item;
      if (wmp::Failed(library->AddRipped(ripped, &item))) {
        ADD_FAILURE() << "track " << track;
        break;
      }
      // Progress texts of changing length, as a rip reports them.
      for (int percent = 0; percent <= 100; percent += 25) {
        item->SetItemInfo(L"Status", L"Ripping (" + std::to_wstring(percent) + L"%)" +
                                         std::wstring(static_cast<std::size_t>(percent), L'.'));
      }
      list->AppendItem(item.get());
    }
    done = true;
  });

  std::vector<std::thread> readers;
  std::atomic<int> inconsistent{0}, rounds{0};
  for (int r = 0; r < 2; ++r) {
    readers.emplace_back([&] {
      long seen = 0;
      while (!done) {
        wmp::PlaylistPtr disc;
        if (wmp::Failed(media->GetByAttribute(L"TOC", kToc, &disc))) ++inconsistent;
        const long count = CountOf(*disc);
        if (count < seen) ++inconsistent;  // an item never disappears
        seen = count;
        for (long i = 0; i < count; ++i) {
          wmp::MediaPtr item;
          disc->Item(i, &item);
          // A track is never seen half-entered: its name matches its number.
          if (Text(*item, L"Title") != L"Track " + Text(*item, L"WM/TrackNumber")) ++inconsistent;
          const std::wstring status = Text(*item, L"Status");
          if (!status.empty() && status.rfind(L"Ripping (", 0) != 0) ++inconsistent;
        }
        CountOf(*list);
        ++rounds;
      }
    });
  }
  worker.join();
  for (std::thread& reader : readers) reader.join();

  EXPECT_EQ(inconsistent, 0);
  EXPECT_GT(rounds, 0);
  EXPECT_EQ(CountOf(*list), kTracks);
  // Everything reached the disk as well.
  media.reset();
  playlists.reset();
  library.reset();
  library = OpenLibrary(files);
  EXPECT_EQ(report.outcome, mediaengine::LoadOutcome::kLoaded);
  EXPECT_EQ(report.items, static_cast<std::size_t>(kTracks + 1));
}

}  // namespace
}  // namespace library_test
