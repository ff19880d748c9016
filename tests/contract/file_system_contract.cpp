// What every file-system port must do the way the platform does it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "contract/subjects.h"
#include "os/clock.h"
#include "os/text_encoding.h"

namespace {

using os::ErrorCode;

class FileSystemContract : public ::testing::Test {
 protected:
  void SetUp() override {
    subject_ = contract::MakeFileSystem();
    ASSERT_TRUE(subject_.files);
    created_.push_back(subject_.scratch);
  }
  void TearDown() override {
    for (const std::wstring& path : created_) RemoveTree(path);
  }

  os::IFileSystem& fs() { return *subject_.files; }
  std::wstring Scratch(const std::wstring& name) { return subject_.scratch + L"\\" + name; }

  void Write(const std::wstring& path, const std::string& content) {
    std::unique_ptr<os::IFileStream> stream;
    ASSERT_EQ(fs().Open(path, os::OpenMode::CreateAlways, &stream), os::kSuccess) << "open";
    ASSERT_EQ(stream->Write(content.data(), static_cast<std::uint32_t>(content.size())),
              os::kSuccess);
  }
  std::string Read(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    if (!os::ReadFileHead(fs(), path, 1 << 20, &bytes)) return "<unreadable>";
    return std::string(bytes.begin(), bytes.end());
  }
  std::vector<std::wstring> Names(const std::wstring& pattern, ErrorCode* result = nullptr) {
    std::vector<os::FindEntry> entries;
    const ErrorCode rc = fs().FindFiles(pattern, &entries);
    if (result) *result = rc;
    std::vector<std::wstring> names;
    for (const auto& entry : entries) names.push_back(entry.name);
    return names;
  }
  void RemoveTree(const std::wstring& path) {
    std::vector<os::FindEntry> entries;
    if (fs().FindFiles(path + L"\\*.*", &entries) == os::kSuccess) {
      for (const auto& entry : entries) {
        if (entry.IsDotEntry()) continue;
        if (entry.IsFolder()) {
          RemoveTree(path + L"\\" + entry.name);
        } else {
          fs().Delete(path + L"\\" + entry.name);
        }
      }
    }
    fs().RemoveFolder(path);
    fs().Delete(path);
  }

  contract::FileSystemSubject subject_;
  std::vector<std::wstring> created_;
};

const std::vector<std::wstring> kMixedNames = {L"zeta.txt", L"Alpha.txt", L"beta.txt",
                                               L"10.txt",   L"9.txt",     L"_x.txt"};

TEST_F(FileSystemContract, ListsAFolderWithDotEntriesInNameOrder) {
  const std::wstring folder = Scratch(L"order");
  ASSERT_EQ(fs().CreateFolder(folder), os::kSuccess);
  for (const auto& name : kMixedNames) Write(folder + L"\\" + name, "x");
  ASSERT_EQ(fs().CreateFolder(folder + L"\\Sub"), os::kSuccess);

  std::vector<os::FindEntry> entries;
  ASSERT_EQ(fs().FindFiles(folder + L"\\*.*", &entries), os::kSuccess);
  std::vector<std::wstring> names;
  for (const auto& entry : entries) names.push_back(entry.name);
  const std::vector<std::wstring> expected = {L".",      L"..",       L"10.txt",
                                              L"9.txt",  L"Alpha.txt", L"beta.txt",
                                              L"Sub",    L"zeta.txt", L"_x.txt"};
  EXPECT_EQ(names, expected);
  for (const auto& entry : entries) {
    const bool folderEntry = entry.IsDotEntry() || entry.name == L"Sub";
    EXPECT_EQ(entry.IsFolder(), folderEntry) << os::Utf8FromWide(entry.name);
  }
  EXPECT_EQ(Names(folder + L"\\*.TXT").size(), kMixedNames.size()) << "matching ignores case";
  EXPECT_EQ(Names(folder + L"\\?.txt"), std::vector<std::wstring>{L"9.txt"});
}

TEST_F(FileSystemContract, ListsADriveRootWithoutDotEntries) {
  const std::wstring root = subject_.removableRoot;
  const std::vector<std::wstring> ours = {L"mcz.bin", L"MCA.bin", L"mcb"};
  for (const auto& name : ours) {
    if (name == L"mcb") {
      ASSERT_EQ(fs().CreateFolder(root + name), os::kSuccess);
    } else {
      Write(root + name, "data");
    }
    created_.push_back(root + name);
  }
  ErrorCode rc = os::kSuccess;
  const std::vector<std::wstring> all = Names(root + L"*.*", &rc);
  ASSERT_EQ(rc, os::kSuccess);
  EXPECT_EQ(std::count(all.begin(), all.end(), L"."), 0);
  EXPECT_EQ(std::count(all.begin(), all.end(), L".."), 0);
  std::vector<std::wstring> listed;
  for (const auto& name : all) {
    if (std::find(ours.begin(), ours.end(), name) != ours.end()) listed.push_back(name);
  }
  EXPECT_EQ(listed, (std::vector<std::wstring>{L"MCA.bin", L"mcb", L"mcz.bin"}));
}

TEST_F(FileSystemContract, ReportsMissingMatchesAndFolders) {
  ErrorCode rc = os::kSuccess;
  EXPECT_TRUE(Names(Scratch(L"*.none"), &rc).empty());
  EXPECT_EQ(rc, os::kErrorFileNotFound);
  Names(Scratch(L"missing\\*.*"), &rc);
  EXPECT_EQ(rc, os::kErrorPathNotFound);
  EXPECT_FALSE(fs().Exists(Scratch(L"missing")));
  EXPECT_EQ(fs().GetAttributes(Scratch(L"missing")), os::kInvalidAttributes);
  EXPECT_EQ(fs().Delete(Scratch(L"missing.txt")), os::kErrorFileNotFound);
  EXPECT_EQ(fs().CreateFolder(Scratch(L"missing\\child")), os::kErrorPathNotFound);
  std::unique_ptr<os::IFileStream> stream;
  EXPECT_EQ(fs().Open(Scratch(L"missing.txt"), os::OpenMode::Read, &stream),
            os::kErrorFileNotFound);
}

TEST_F(FileSystemContract, MovesWithAndWithoutReplace) {
  const std::wstring a = Scratch(L"a.wma"), b = Scratch(L"b.wma");
  Write(a, "new");
  Write(b, "old");
  EXPECT_EQ(fs().Move(a, b, false), os::kErrorAlreadyExists);
  EXPECT_EQ(Read(b), "old");
  EXPECT_EQ(fs().Move(a, b, true), os::kSuccess);
  EXPECT_EQ(Read(b), "new");
  EXPECT_FALSE(fs().Exists(a));
  EXPECT_EQ(fs().Move(a, b, true), os::kErrorFileNotFound);

  ASSERT_EQ(fs().CreateFolder(Scratch(L"Music")), os::kSuccess);
  EXPECT_EQ(fs().Move(b, Scratch(L"Music\\b.wma"), false), os::kSuccess);
  EXPECT_EQ(Read(Scratch(L"Music\\B.WMA")), "new") << "names compare without case";
  EXPECT_EQ(fs().Move(Scratch(L"Music\\b.wma"), Scratch(L"None\\b.wma"), false),
            os::kErrorPathNotFound);
}

TEST_F(FileSystemContract, AReadOnlyFileIsNeitherReplacedNorDeleted) {
  const std::wstring a = Scratch(L"a.wma"), b = Scratch(L"b.wma");
  Write(a, "new");
  Write(b, "old");
  ASSERT_TRUE(subject_.setAttributes);
  subject_.setAttributes(b, os::kAttributeReadOnly);
  EXPECT_TRUE(fs().GetAttributes(b) & os::kAttributeReadOnly);
  EXPECT_EQ(fs().Move(a, b, true), os::kErrorAccessDenied);
  EXPECT_EQ(Read(b), "old");
  EXPECT_TRUE(fs().Exists(a));
  EXPECT_EQ(fs().Delete(b), os::kErrorAccessDenied);
  std::unique_ptr<os::IFileStream> stream;
  EXPECT_EQ(fs().Open(b, os::OpenMode::CreateAlways, &stream), os::kErrorAccessDenied);
  stream.reset();
  EXPECT_EQ(Read(b), "old");
  subject_.setAttributes(b, os::kAttributeArchive);
  EXPECT_EQ(fs().Move(a, b, true), os::kSuccess);
  EXPECT_EQ(Read(b), "new");
}

TEST_F(FileSystemContract, RemovesAFolderOnlyWhenEmpty) {
  const std::wstring folder = Scratch(L"Album");
  ASSERT_EQ(fs().CreateFolder(folder), os::kSuccess);
  EXPECT_EQ(fs().CreateFolder(folder), os::kErrorAlreadyExists);
  EXPECT_NE(fs().GetAttributes(folder) & os::kAttributeDirectory, 0u);
  Write(folder + L"\\01.wma", "x");
  EXPECT_EQ(fs().RemoveFolder(folder), os::kErrorDirNotEmpty);
  EXPECT_TRUE(fs().Exists(folder + L"\\01.wma"));
  ASSERT_EQ(fs().Delete(folder + L"\\01.wma"), os::kSuccess);
  EXPECT_EQ(fs().RemoveFolder(folder), os::kSuccess);
  EXPECT_FALSE(fs().Exists(folder));
}

TEST_F(FileSystemContract, WritesReadsAndReadsOnlyTheHead) {
  const std::wstring path = Scratch(L"WMPInfo.xml");
  Write(path, "first line\r\nsecond line\r\n");
  EXPECT_EQ(Read(path), "first line\r\nsecond line\r\n");
  std::vector<std::uint8_t> head;
  ASSERT_TRUE(os::ReadFileHead(fs(), path, 5, &head));
  EXPECT_EQ(std::string(head.begin(), head.end()), "first");
  Write(path, "");
  EXPECT_EQ(Read(path), "") << "CreateAlways truncates";
  std::vector<os::FindEntry> entries;
  ASSERT_EQ(fs().FindFiles(path, &entries), os::kSuccess);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].size, 0u);
}

TEST_F(FileSystemContract, GivesNewFilesTheirCreationTime) {
  const std::int64_t before = subject_.clock->SecondsSince1970();
  const std::wstring path = Scratch(L"created.wma");
  Write(path, "x");
  const std::int64_t after = subject_.clock->SecondsSince1970();
  std::vector<os::FindEntry> entries;
  ASSERT_EQ(fs().FindFiles(path, &entries), os::kSuccess);
  ASSERT_EQ(entries.size(), 1u);
  const std::int64_t created =
      static_cast<std::int64_t>(entries[0].creationTime / 10'000'000) - 11'644'473'600;
  EXPECT_GE(created, before - 2);
  EXPECT_LE(created, after + 2);
}

TEST_F(FileSystemContract, ReportsFreeSpaceOfADriveRoot) {
  os::DiskClusters clusters;
  ASSERT_EQ(fs().GetFreeClusters(subject_.removableRoot, &clusters), os::kSuccess);
  EXPECT_GT(clusters.sectorsPerCluster, 0u);
  EXPECT_GT(clusters.bytesPerSector, 0u);
  EXPECT_GT(clusters.totalClusters, 0u);
  EXPECT_LE(clusters.freeClusters, clusters.totalClusters);
  os::DiskBytes bytes;
  ASSERT_EQ(fs().GetFreeBytes(subject_.removableRoot, &bytes), os::kSuccess);
  EXPECT_GT(bytes.total, 0u);
  EXPECT_LE(bytes.totalFree, bytes.total);
  EXPECT_LE(bytes.freeToCaller, bytes.total);
}

// The read-back of copies on a player: whole sectors are read past the cache,
// the caller still gets exactly the bytes asked for, from any offset.
TEST_F(FileSystemContract, ReadsPastTheCacheAnySizeFromAnyOffset) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{511},
                                 std::size_t{4096}, std::size_t{4097},
                                 std::size_t{(1u << 20) + 3}}) {
    SCOPED_TRACE("size " + std::to_string(size));
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<char>((i * 7 + size) % 251);
    const std::wstring path = Scratch(L"uncached.bin");
    Write(path, content);
    std::unique_ptr<os::IFileStream> stream;
    ASSERT_EQ(fs().Open(path, os::OpenMode::ReadUncached, &stream), os::kSuccess);
    EXPECT_EQ(stream->Size(), size);
    std::string back(size + 100, '\0');
    std::size_t got = 0;
    // Odd-sized reads, so that they straddle the sectors.
    for (;;) {
      std::uint32_t done = 0;
      const auto want = static_cast<std::uint32_t>(std::min<std::size_t>(1000, back.size() - got));
      ASSERT_EQ(stream->Read(&back[got], want, &done), os::kSuccess);
      got += done;
      if (done < want) break;
    }
    EXPECT_EQ(back.substr(0, got), content);
    if (size > 10) {
      ASSERT_EQ(stream->Seek(size - 10), os::kSuccess);
      std::uint32_t done = 0;
      char tail[32] = {};
      ASSERT_EQ(stream->Read(tail, sizeof tail, &done), os::kSuccess);
      EXPECT_EQ(std::string(tail, done), content.substr(size - 10));
    }
    EXPECT_NE(stream->Write("x", 1), os::kSuccess) << "read-only";
  }
}

// Whole sectors into sector-aligned memory, as the copies' read-back asks for
// them, mixed with reads that are not: each read gives the file's bytes from
// where the last one ended, up to the end of the file.
TEST_F(FileSystemContract, ReadsPastTheCacheIntoAlignedMemory) {
  struct Case {
    const char* name;
    std::size_t size;
    std::vector<std::uint32_t> reads;  // sizes asked for, in turn
  };
  const std::vector<Case> cases = {
      {"whole sectors to an end inside a sector", 3 * 4096 + 100, {8192, 8192}},
      {"an end on a sector boundary", 2 * 4096, {4096, 4096, 4096}},
      {"unaligned first, then whole sectors", 5 * 4096 + 7, {1000, 8192, 8192, 8192}},
      {"more than the stream's own buffer", (3u << 20) + 5, {1u << 20, 2u << 20, 4096}},
      {"unaligned, then across the stream's blocks", (3u << 20) + 5, {1000, 2u << 20, 1u << 20}},
      {"empty", 0, {4096}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string content(c.size, '\0');
    for (std::size_t i = 0; i < c.size; ++i) content[i] = static_cast<char>((i * 13 + 5) % 253);
    const std::wstring path = Scratch(L"aligned.bin");
    Write(path, content);
    std::unique_ptr<os::IFileStream> stream;
    ASSERT_EQ(fs().Open(path, os::OpenMode::ReadUncached, &stream), os::kSuccess);
    std::vector<char> memory((4u << 20) + 4096);
    char* aligned = memory.data() + (4096 - reinterpret_cast<std::uintptr_t>(memory.data()) % 4096);
    std::size_t position = 0;
    for (const std::uint32_t want : c.reads) {
      std::uint32_t done = 0;
      ASSERT_EQ(stream->Read(aligned, want, &done), os::kSuccess);
      const std::size_t expected = std::min<std::size_t>(want, c.size - position);
      ASSERT_EQ(done, expected) << "at " << position;
      EXPECT_EQ(std::string(aligned, done), content.substr(position, done)) << "at " << position;
      position += done;
    }
    EXPECT_EQ(position, c.size);
    stream.reset();
    fs().Delete(path);
  }
}

}  // namespace
