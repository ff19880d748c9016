// One synchronisation run on its own, over the fakes: files too big to hold
// are copied in chunks and checked against the source, a stop or a bad copy
// mid-file leaves nothing, and left-over copies are swept away.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "mediaengine/devices/sync_job.h"
#include "fakes/fake_file_system.h"
#include "native/mediaengine/devices/engine_device_shared.h"

namespace device_test {
namespace {

std::string Pattern(std::size_t size, int seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + seed) % 253);
  return bytes;
}

class EngineDeviceCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_.AddDrive(L'C');
    fake_.AddDrive(L'F');
    fake_.AddFile(L"C:\\Music\\a.wma", Pattern(30'000, 1));
    fake_.AddFile(L"C:\\Music\\b.wma", Pattern(45'000, 2));
    device_.kind = mediaengine::DeviceKind::Folder;
    device_.key = L"test";
    device_.root = L"F:\\";
  }

  mediaengine::SyncReport Run(std::vector<std::wstring> sources, std::uint64_t wholeFileLimit) {
    std::vector<mediaengine::SyncItem> items;
    for (const auto& source : sources) items.push_back({nullptr, source});
    mediaengine::SyncJob job(files_, device_, std::move(items), nullptr, 4096, wholeFileLimit);
    return job.Run(stop_, [this](long percent) { percents_.push_back(percent); });
  }

  std::vector<std::wstring> Listing() {
    std::vector<os::FindEntry> entries;
    fake_.FindFiles(L"F:\\*.*", &entries);
    std::vector<std::wstring> names;
    for (const auto& entry : entries) names.push_back(entry.name);
    return names;
  }

  fakes::FakeFileSystem fake_;
  SharedFileSystem files_{fake_};
  mediaengine::DeviceDescription device_;
  std::atomic<bool> stop_{false};
  std::vector<long> percents_;
};

TEST_F(EngineDeviceCopyTest, BigFilesAreCopiedInChunksAndTheProgressRises) {
  const auto report = Run({L"C:\\Music\\a.wma", L"C:\\Music\\b.wma"}, 0);
  EXPECT_EQ(report.end, mediaengine::SyncEnd::Completed);
  EXPECT_EQ(Listing(), (std::vector<std::wstring>{L"a.wma", L"b.wma"}));
  EXPECT_EQ(fake_.Content(L"F:\\b.wma"), Pattern(45'000, 2));
  ASSERT_GT(percents_.size(), 5u) << "reported chunk by chunk";
  EXPECT_TRUE(std::is_sorted(percents_.begin(), percents_.end()));
  EXPECT_EQ(percents_.front(), 0);
  EXPECT_EQ(percents_.back(), 99) << "a run reports 100 only through its caller";
}

TEST_F(EngineDeviceCopyTest, AStopMidFileLeavesNeitherTheFileNorItsCopy) {
  files_.OnWritten(L"F:\\~MarimbaSync", 30'000 + 8192, [this](const std::wstring&) { stop_ = true; });
  const auto report = Run({L"C:\\Music\\a.wma", L"C:\\Music\\b.wma"}, 0);
  EXPECT_EQ(report.end, mediaengine::SyncEnd::Stopped);
  EXPECT_EQ(Listing(), std::vector<std::wstring>{L"a.wma"});
}

TEST_F(EngineDeviceCopyTest, ABigFileThatReadsBackWrongIsNotKept) {
  files_.CorruptWritesTo(L"F:\\~MarimbaSync");
  const auto report = Run({L"C:\\Music\\b.wma"}, 0);
  EXPECT_EQ(report.end, mediaengine::SyncEnd::ItemFailed);
  EXPECT_EQ(report.failure, mediaengine::CopyOutcome::VerifyFailed);
  EXPECT_TRUE(Listing().empty());
}

TEST_F(EngineDeviceCopyTest, AMissingSourceIsTheItemsFaultNotTheDevices) {
  for (std::uint64_t limit : {std::uint64_t{0}, mediaengine::SyncJob::kWholeFileLimit}) {
    const auto report = Run({L"C:\\Music\\a.wma", L"C:\\Music\\gone.wma", L"C:\\Music\\b.wma"}, limit);
    EXPECT_EQ(report.end, mediaengine::SyncEnd::ItemFailed) << limit;
    EXPECT_EQ(report.failure, mediaengine::CopyOutcome::SourceFailed) << limit;
    EXPECT_EQ(Listing(), std::vector<std::wstring>{L"a.wma"}) << "nothing after the failed item";
  }
}

TEST_F(EngineDeviceCopyTest, ManyFilesInFlightAllArriveWhole) {
  std::vector<std::wstring> sources;
  for (int i = 0; i < 40; ++i) {
    const std::wstring path = L"C:\\Many\\" + std::to_wstring(i) + L".wma";
    fake_.AddFile(path, Pattern(1'000 + static_cast<std::size_t>(i) * 997, i));
    sources.push_back(path);
  }
  const auto report = Run(sources, mediaengine::SyncJob::kWholeFileLimit);
  EXPECT_EQ(report.end, mediaengine::SyncEnd::Completed);
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(fake_.Content(L"F:\\" + std::to_wstring(i) + L".wma"),
              Pattern(1'000 + static_cast<std::size_t>(i) * 997, i)) << i;
  }
  EXPECT_EQ(Listing().size(), 40u);
  EXPECT_TRUE(std::is_sorted(percents_.begin(), percents_.end()));
}

TEST_F(EngineDeviceCopyTest, OnlyLeftOverCopiesAreSwept) {
  fake_.AddFile(L"F:\\~MarimbaSync-3.tmp", "cut");
  fake_.AddFile(L"F:\\~MarimbaSync-12.tmp", "cut");
  fake_.AddFile(L"F:\\~MarimbaSync notes.txt", "kept");
  fake_.AddFile(L"F:\\song.tmp", "kept");
  mediaengine::SweepTemporaryCopies(files_, L"F:\\");
  EXPECT_EQ(Listing(), (std::vector<std::wstring>{L"song.tmp", L"~MarimbaSync notes.txt"}));
}

}  // namespace
}  // namespace device_test
