// Faults while the engine copies onto a player, injected through the fakes:
// a file already there under the same name, a device that fills up at any
// byte, a device pulled out at any file, a device that stores bad bytes
// behind the system's cache. Whatever happens, the player holds whole files
// only, no file of another track is replaced, and no temporary copy or empty
// folder of the run is left.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"
#include "mediaengine/codec/wma_encoder.h"
#include "mediaengine/devices/sync_job.h"
#include "native/mediaengine/devices/engine_device_shared.h"
#include "os/text_encoding.h"

namespace device_test {
namespace {

using mediaengine::CopyOutcome;
using mediaengine::SyncEnd;

std::string Pattern(std::size_t size, int seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 13 + seed) % 251);
  return bytes;
}

mediaengine::AsfTags Tags(const std::wstring& title, int track) {
  mediaengine::AsfTags tags;
  tags.title = title;
  tags.author = L"アーティスト情報なし";
  tags.albumArtist = L"アーティスト情報なし";
  tags.albumTitle = L"アルバム情報なし";
  tags.trackNumber = std::to_wstring(track);
  return tags;
}

class EngineDeviceFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(1ULL << 30); }

  void Reset(std::uint64_t playerBytes) {
    fake_ = std::make_unique<fakes::FakeFileSystem>();
    files_ = std::make_unique<SharedFileSystem>(*fake_);
    fake_->AddDrive(L'C');
    fake_->AddDrive(L'F', playerBytes);
    device_.kind = mediaengine::DeviceKind::Folder;
    device_.key = L"test";
    device_.root = L"F:\\";
    device_.syncFolder = mediaengine::SyncFolder::Root;
  }

  // A real .wma of `seconds` of silence with the tags of an unnamed disc's track.
  void WriteTrack(const std::wstring& path, const std::wstring& title, int track, double seconds,
                  std::uint32_t rate = mediaengine::kWmaRateClass64) {
    fake_->AddFolder(path.substr(0, path.find_last_of(L'\\')));
    mediaengine::WmaEncoder encoder;
    ASSERT_EQ(encoder.Open(*files_, path, Tags(title, track), rate), os::kSuccess);
    const auto frames = static_cast<std::size_t>(seconds * 44100);
    std::vector<std::int16_t> silence(2 * frames, 0);
    ASSERT_EQ(encoder.Write(silence.data(), frames), os::kSuccess);
    ASSERT_EQ(encoder.Finish(), os::kSuccess);
  }

  mediaengine::SyncReport Run(const std::vector<std::wstring>& sources,
                              std::uint64_t wholeFileLimit = mediaengine::SyncJob::kWholeFileLimit) {
    std::vector<mediaengine::SyncItem> items;
    for (const auto& source : sources) items.push_back({nullptr, source});
    mediaengine::SyncJob job(*files_, device_, std::move(items), nullptr, 4096, wholeFileLimit);
    return job.Run(stop_, [](long) {});
  }

  // Every file below `folder` (with its trailing backslash) by path; empty
  // folders are listed with the content "<empty folder>".
  std::map<std::wstring, std::string> Tree(const std::wstring& folder = L"F:\\") {
    std::map<std::wstring, std::string> tree;
    std::vector<os::FindEntry> entries;
    fake_->FindFiles(folder + L"*.*", &entries);
    bool any = false;
    for (const auto& entry : entries) {
      if (entry.IsDotEntry()) continue;
      any = true;
      if (entry.IsFolder()) {
        for (const auto& [path, content] : Tree(folder + entry.name + L"\\")) tree[path] = content;
      } else {
        tree[folder + entry.name] = fake_->Content(folder + entry.name);
      }
    }
    if (!any && folder != L"F:\\") tree[folder] = "<empty folder>";
    return tree;
  }

  std::unique_ptr<fakes::FakeFileSystem> fake_;
  std::unique_ptr<SharedFileSystem> files_;
  mediaengine::DeviceDescription device_;
  std::atomic<bool> stop_{false};
};

TEST_F(EngineDeviceFaultsTest, AFileOfAnotherTrackIsKeptAndOnlyTheSameTrackIsReplaced) {
  const std::wstring target = L"F:\\Music\\アーティスト情報なし\\アルバム情報なし\\01 トラック 1.wma";
  const struct {
    const char* what;
    double thereSeconds;  // a track of the same tags, this long, is there (0: `there` bytes)
    std::string there;
    bool readOnly;
    SyncEnd end;
    bool replaced;        // the file there now holds the source
    bool numbered;        // the source arrived as "01 トラック 1 (2).wma"
  } cases[] = {
      {"another disc's track of another length", 3.0, "", false, SyncEnd::Completed, false, true},
      {"a file that is no track", 0, "notes", false, SyncEnd::Completed, false, true},
      {"the same track at another bit rate", 1.6, "", false, SyncEnd::Completed, true, false},
      {"the same track, but read-only", 1.6, "", true, SyncEnd::ItemFailed, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Reset(1ULL << 30);
    device_.syncFolder = mediaengine::SyncFolder::Music;
    WriteTrack(L"C:\\Rips\\01 トラック 1.wma", L"トラック 1", 1, 1.5);
    if (c.thereSeconds > 0) {
      WriteTrack(target, L"トラック 1", 1, c.thereSeconds, mediaengine::kWmaRateClass128);
    } else {
      fake_->AddFile(target, c.there);
    }
    if (c.readOnly) fake_->SetAttributes(target, os::kAttributeReadOnly);
    const std::string before = fake_->Content(target);
    const std::string source = fake_->Content(L"C:\\Rips\\01 トラック 1.wma");

    const auto report = Run({L"C:\\Rips\\01 トラック 1.wma"});
    EXPECT_EQ(report.end, c.end);
    if (c.readOnly) {
      EXPECT_EQ(report.failure, CopyOutcome::ReadOnly);
    }
    EXPECT_EQ(fake_->Content(target), c.replaced ? source : before);
    const std::wstring second = L"F:\\Music\\アーティスト情報なし\\アルバム情報なし\\01 トラック 1 (2).wma";
    EXPECT_EQ(fake_->Exists(second), c.numbered);
    if (c.numbered) {
      EXPECT_EQ(fake_->Content(second), source);
    }
  }
}

TEST_F(EngineDeviceFaultsTest, TheVeryFileAlreadyThereIsNeitherCopiedNorNumbered) {
  fake_->AddFile(L"C:\\Rips\\a.mp3", Pattern(5000, 1));
  fake_->AddFile(L"F:\\a.mp3", Pattern(5000, 1));
  EXPECT_EQ(Run({L"C:\\Rips\\a.mp3"}).end, SyncEnd::Completed);
  EXPECT_EQ(Tree().size(), 1u);
}

TEST_F(EngineDeviceFaultsTest, AFolderOfTheFilesNameIsSteppedAround) {
  fake_->AddFile(L"C:\\Rips\\a.mp3", Pattern(5000, 1));
  fake_->AddFolder(L"F:\\a.mp3");
  fake_->AddFile(L"F:\\a.mp3\\inside", "kept");
  EXPECT_EQ(Run({L"C:\\Rips\\a.mp3"}).end, SyncEnd::Completed);
  EXPECT_EQ(fake_->Content(L"F:\\a (2).mp3"), Pattern(5000, 1));
  EXPECT_EQ(fake_->Content(L"F:\\a.mp3\\inside"), "kept");
}

TEST_F(EngineDeviceFaultsTest, NamesThePlayerCannotHoldAreMadeSafe) {
  device_.syncFolder = mediaengine::SyncFolder::Music;
  const std::wstring longName = std::wstring(300, L'x') + L".wma";
  fake_->AddFile(L"C:\\Rips\\CON.mp3", Pattern(100, 1));
  fake_->AddFile(L"C:\\Rips\\" + longName, Pattern(100, 2));
  EXPECT_EQ(Run({L"C:\\Rips\\CON.mp3", L"C:\\Rips\\" + longName}).end, SyncEnd::Completed);
  const std::wstring folder = L"F:\\Music\\アーティスト情報なし\\アルバム情報なし\\";
  EXPECT_EQ(fake_->Content(folder + L"CON_.mp3"), Pattern(100, 1));
  const auto tree = Tree();
  ASSERT_EQ(tree.size(), 2u);
  for (const auto& [path, content] : tree) {
    EXPECT_LE(os::Utf16Length(path), os::kMaxDevicePath);
  }
}

// The device fills up at every byte of the run in turn.
TEST_F(EngineDeviceFaultsTest, AFullDeviceAtAnyByteLeavesWholeFilesOnly) {
  const std::vector<std::pair<std::wstring, std::string>> sources = {
      {L"C:\\Rips\\1.mp3", Pattern(300, 1)},
      {L"C:\\Rips\\2.mp3", Pattern(450, 2)},
      {L"C:\\Rips\\3.mp3", Pattern(200, 3)},
  };
  const std::string kept = Pattern(50, 9);
  const std::uint64_t needed = 50 + 300 + 450 + 200;
  for (const bool big : {false, true}) {
    for (std::uint64_t capacity = 50; capacity <= needed; ++capacity) {
      SCOPED_TRACE((big ? "chunked, capacity " : "whole, capacity ") + std::to_string(capacity));
      Reset(capacity);
      device_.syncFolder = mediaengine::SyncFolder::Music;
      fake_->AddFile(L"F:\\Music\\kept.txt", kept);
      std::vector<std::wstring> paths;
      for (const auto& [path, content] : sources) {
        fake_->AddFile(path, content);
        paths.push_back(path);
      }
      const auto report = Run(paths, big ? 0 : mediaengine::SyncJob::kWholeFileLimit);
      if (capacity == needed) {
        EXPECT_EQ(report.end, SyncEnd::Completed);
      } else {
        ASSERT_EQ(report.end, SyncEnd::ItemFailed);
        EXPECT_EQ(report.failure, CopyOutcome::DeviceFull);
      }
      for (const auto& [path, content] : Tree()) {
        if (path == L"F:\\Music\\kept.txt") {
          EXPECT_EQ(content, kept);
          continue;
        }
        const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
        bool whole = false;
        for (const auto& [source, bytes] : sources) {
          whole |= source.substr(source.find_last_of(L'\\') + 1) == name && bytes == content;
        }
        EXPECT_TRUE(whole) << "not a whole copy: " << os::Utf8FromWide(path);
      }
    }
  }
}

// The device is pulled out at the start, and in the middle, of each file in
// turn; when it comes back the next connection sweeps the cut copies away.
TEST_F(EngineDeviceFaultsTest, ADeviceGoneAtAnyFileLeavesWholeFilesAfterTheNextSweep) {
  const std::vector<std::string> contents = {Pattern(3000, 1), Pattern(5000, 2), Pattern(4000, 3)};
  std::vector<std::uint64_t> cuts;
  std::uint64_t before = 0;
  for (const auto& content : contents) {
    cuts.push_back(before + 1);
    cuts.push_back(before + content.size() / 2);
    before += content.size();
  }
  for (const bool big : {false, true}) {
    for (const std::uint64_t cut : cuts) {
      SCOPED_TRACE((big ? "chunked, pulled at byte " : "whole, pulled at byte ") +
                   std::to_string(cut));
      Reset(1ULL << 30);
      device_.syncFolder = mediaengine::SyncFolder::Music;
      std::vector<std::wstring> paths;
      for (std::size_t i = 0; i < contents.size(); ++i) {
        paths.push_back(L"C:\\Rips\\" + std::to_wstring(i) + L".mp3");
        fake_->AddFile(paths.back(), contents[i]);
      }
      files_->OnWritten(L"F:\\", cut, [this](const std::wstring&) {
        files_->Locked([&](os::IFileSystem&) {
          fake_->SetDriveReady(L'F', false);
          return 0;
        });
      });
      const auto report = Run(paths, big ? 0 : mediaengine::SyncJob::kWholeFileLimit);
      EXPECT_EQ(report.end, SyncEnd::DeviceGone);

      fake_->SetDriveReady(L'F', true);
      mediaengine::SweepTemporaryCopies(*files_, L"F:\\");
      for (const auto& [path, content] : Tree()) {
        if (content == "<empty folder>") continue;  // made before the device went
        const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
        EXPECT_EQ(name.find(L"~MarimbaSync"), std::wstring::npos) << "a cut copy is left";
        const std::size_t index = static_cast<std::size_t>(std::stoi(os::Utf8FromWide(name)));
        ASSERT_LT(index, contents.size());
        EXPECT_EQ(content, contents[index]) << os::Utf8FromWide(path);
      }
    }
  }
}

TEST_F(EngineDeviceFaultsTest, AFailedFirstCopyLeavesNoEmptyFolders) {
  device_.syncFolder = mediaengine::SyncFolder::Music;
  fake_->AddFile(L"C:\\Rips\\1.mp3", Pattern(300, 1));
  files_->CorruptWritesTo(L"F:\\~MarimbaSync");
  EXPECT_EQ(Run({L"C:\\Rips\\1.mp3"}).end, SyncEnd::ItemFailed);
  EXPECT_FALSE(fake_->Exists(L"F:\\Music"));
  EXPECT_TRUE(Tree().empty());
}

// The bytes the device stores differ from those in the system's cache: only
// a read past the cache sees it, and the copy must not count.
TEST_F(EngineDeviceFaultsTest, TheReadBackSeesWhatTheDeviceStoresNotTheCache) {
  for (const bool big : {false, true}) {
    SCOPED_TRACE(big ? "chunked" : "whole");
    Reset(1ULL << 30);
    fake_->AddFile(L"C:\\Rips\\1.mp3", Pattern(30'000, 1));
    files_->StoreBadBytesUnder(L"F:\\~MarimbaSync");
    const auto report = Run({L"C:\\Rips\\1.mp3"}, big ? 0 : mediaengine::SyncJob::kWholeFileLimit);
    EXPECT_EQ(report.end, SyncEnd::ItemFailed);
    EXPECT_EQ(report.failure, CopyOutcome::VerifyFailed);
    EXPECT_TRUE(Tree().empty());
  }
}

}  // namespace
}  // namespace device_test
