// The UI thread reads the library while a rip worker adds tracks.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "engine_library_fixture.h"

namespace library_test {
namespace {

// The fake file system is not thread-safe; the real one is. One lock makes
// the fake behave like it for this test.
class LockedFileSystem : public os::IFileSystem {
 public:
  explicit LockedFileSystem(os::IFileSystem& inner) : inner_(inner) {}
  os::ErrorCode FindFiles(const std::wstring& pattern, std::vector<os::FindEntry>* entries) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return inner_.FindFiles(pattern, entries);
  }
  std::uint32_t GetAttributes(const std::wstring& path) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return inner_.GetAttributes(path);
  }
  os::ErrorCode CreateFolder(const std::wstring& path) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return inner_.CreateFolder(path);
  }
  os::ErrorCode RemoveFolder(const std::wstring& path) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return inner_.RemoveFolder(path);
  }
  os::ErrorCode Move(const std::wstring& from, const std::wstring& to, bool replace) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return inner_.Move(from, to, replace);
  }
  os::ErrorCode Delete(const std::wstring& path) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return inner_.Delete(path);
  }
  os::ErrorCode GetFreeClusters(const std::wstring& root, os::DiskClusters* clusters) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return inner_.GetFreeClusters(root, clusters);
  }
  os::ErrorCode GetFreeBytes(const std::wstring& root, os::DiskBytes* bytes) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return inner_.GetFreeBytes(root, bytes);
  }
  // Whole-file reads and writes: the stream is used by one caller and the
  // lock covers its whole life.
  os::ErrorCode Open(const std::wstring& path, os::OpenMode mode,
                     std::unique_ptr<os::IFileStream>* stream) override {
    std::unique_lock<std::mutex> lock(mutex_);
    std::unique_ptr<os::IFileStream> inner;
    const os::ErrorCode error = inner_.Open(path, mode, &inner);
    if (error) return error;
    *stream = std::make_unique<LockedStream>(std::move(inner), std::move(lock));
    return os::kSuccess;
  }

 private:
  class LockedStream : public os::IFileStream {
   public:
    LockedStream(std::unique_ptr<os::IFileStream> inner, std::unique_lock<std::mutex> lock)
        : inner_(std::move(inner)), lock_(std::move(lock)) {}
    os::ErrorCode Read(void* buffer, std::uint32_t size, std::uint32_t* done) override {
      return inner_->Read(buffer, size, done);
    }
    os::ErrorCode Write(const void* buffer, std::uint32_t size) override {
      return inner_->Write(buffer, size);
    }
    os::ErrorCode Seek(std::uint64_t offset) override { return inner_->Seek(offset); }
    std::uint64_t Size() const override { return inner_->Size(); }
    os::ErrorCode Flush() override { return inner_->Flush(); }

   private:
    std::unique_ptr<os::IFileStream> inner_;
    std::unique_lock<std::mutex> lock_;
  };

  os::IFileSystem& inner_;
  std::mutex mutex_;
};

TEST_F(LibraryTest, ReadersSeeWholeItemsWhileAWorkerAdds) {
  constexpr int kTracks = 60;
  LockedFileSystem locked(files);
  library = OpenLibrary(locked);
  media = library->MediaCollection();
  playlists = library->PlaylistCollection();
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
