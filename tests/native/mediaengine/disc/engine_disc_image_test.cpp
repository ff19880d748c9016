#include "mediaengine/disc/disc_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/model/placeholders.h"
#include "mediaengine/disc/cd_audio.h"
#include "fakes/fake_file_system.h"
#include "os/text_encoding.h"

namespace {

using mediaengine::DiscImage;
using mediaengine::DiscProblem;
using mediaengine::DiscStatus;

constexpr std::uint32_t kSector = mediaengine::kSectorBytes;

// Bytes that differ from sector to sector and within a sector, so a read
// from the wrong place cannot match.
std::string Image(std::uint32_t sectors) {
  std::string bytes(static_cast<std::size_t>(sectors) * kSector, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
  }
  return bytes;
}

// Track 1 at sector 0; track 2 with a pregap in the file (INDEX 00 at 75,
// INDEX 01 at 85); track 3 (line 12) behind 5 sectors of PREGAP at 150.
const char kCue[] =
    "REM GENRE \"Jazz\"\nPERFORMER \"木琴合奏団\"\nTITLE \"マリンバの午後\"\n"
    "FILE \"demo.bin\" BINARY\n"
    "TRACK 01 AUDIO\n  TITLE \"朝\"\n  INDEX 01 00:00:00\n"
    "TRACK 02 AUDIO\n  PERFORMER \"ゲスト\"\n  INDEX 00 00:01:00\n  INDEX 01 00:01:10\n"
    "TRACK 03 AUDIO\n  TITLE \"  \"\n  PREGAP 00:00:05\n  INDEX 01 00:02:00\n";
const std::string kImage = Image(200);

void AddDisc(fakes::FakeFileSystem& files) {
  files.AddDrive(L'D');
  files.AddFile(L"D:\\Track01.cda", "not read");
  files.AddFile(L"D:\\demo.cue", kCue);
  files.AddFile(L"D:\\demo.bin", kImage);
}

// The whole track, read in chunks of `frames`.
std::string ReadTrack(const DiscImage& disc, int number, std::uint32_t frames) {
  DiscProblem problem;
  auto reader = disc.OpenTrack(number, &problem);
  if (!reader) return "open failed";
  std::string pcm;
  std::vector<std::uint8_t> chunk;
  while (reader->Read(frames, &chunk) && !chunk.empty()) {
    if (chunk.size() > frames * 4u) return "chunk too large";
    pcm.append(chunk.begin(), chunk.end());
  }
  return reader->Finished() ? pcm : "not finished";
}

TEST(DiscImageTest, DescribesTheDiscWithFallbacks) {
  fakes::FakeFileSystem files;
  AddDisc(files);
  DiscProblem problem;
  auto disc = DiscImage::Open(files, L"D:", &problem);
  ASSERT_TRUE(disc) << os::Utf8FromWide(problem.reason);
  EXPECT_EQ(disc->CuePath(), L"D:\\demo.cue");
  EXPECT_EQ(disc->ImagePath(), L"D:\\demo.bin");
  EXPECT_EQ(disc->Album(), L"マリンバの午後");
  EXPECT_EQ(disc->AlbumArtist(), L"木琴合奏団");
  EXPECT_EQ(disc->Genre(), L"Jazz");
  ASSERT_EQ(disc->Tracks().size(), 3u);
  EXPECT_EQ(disc->Track(0), nullptr);
  EXPECT_EQ(disc->Track(4), nullptr);
  const mediaengine::DiscTrack& one = *disc->Track(1);
  const mediaengine::DiscTrack& two = *disc->Track(2);
  const mediaengine::DiscTrack& three = *disc->Track(3);
  EXPECT_EQ(one.title, L"朝");
  EXPECT_EQ(one.artist, L"木琴合奏団");  // from the disc
  EXPECT_EQ(two.title, L"トラック 2");   // no TITLE
  EXPECT_EQ(two.artist, L"ゲスト");
  EXPECT_EQ(three.title, L"トラック 3");  // a blank TITLE
  // 85 sectors up to track 2; 70 up to track 3 (150 + 5); 50 to the lead-out.
  EXPECT_EQ(one.lengthSectors, 85u);
  EXPECT_EQ(two.startLba, 85u);
  EXPECT_EQ(two.lengthSectors, 70u);
  EXPECT_EQ(three.startLba, 155u);
  EXPECT_EQ(three.lengthSectors, 50u);
  EXPECT_DOUBLE_EQ(three.Seconds(), 50.0 / 75.0);
  // 150 = 0x96, 235 = 0xEB, 305 = 0x131, lead-out 355 = 0x163.
  EXPECT_EQ(disc->Toc(), L"3+96+EB+131+163");
  const mediaengine::CdaTrack expected{2, disc->Serial(), 85, 70};
  EXPECT_EQ(disc->Cda(2), expected);
  EXPECT_EQ(disc->Cda(4).trackNumber, 0);
}

TEST(DiscImageTest, UnknownAlbumAndArtistUseTheEngineTexts) {
  fakes::FakeFileSystem files;
  AddDisc(files);
  files.AddFile(L"D:\\demo.cue",
                "FILE \"demo.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                "TRACK 02 AUDIO\nPERFORMER \"ゲスト\"\nINDEX 01 00:01:00\n");
  DiscProblem problem;
  auto disc = DiscImage::Open(files, L"D:\\", &problem);
  ASSERT_TRUE(disc);
  EXPECT_EQ(disc->Album(), L"アルバム情報なし");
  EXPECT_EQ(disc->AlbumArtist(), L"アーティスト情報なし");
  EXPECT_EQ(disc->Track(1)->artist, L"アーティスト情報なし");
  EXPECT_EQ(disc->Track(1)->title, L"トラック 1");
  EXPECT_EQ(disc->Track(2)->artist, L"ゲスト");
  EXPECT_EQ(std::wstring(wmp::kNoDiscPlaylistName), L"ドライブにディスクがありません");
}

TEST(DiscImageTest, ReadsExactlyTheBytesOfEachTrack) {
  fakes::FakeFileSystem files;
  AddDisc(files);
  DiscProblem problem;
  auto disc = DiscImage::Open(files, L"D:\\", &problem);
  ASSERT_TRUE(disc);
  const std::string one = kImage.substr(0, 85 * kSector);
  // Track 2 ends with the PREGAP silence of track 3.
  const std::string two =
      kImage.substr(85 * kSector, 65 * kSector) + std::string(5 * kSector, '\0');
  const std::string three = kImage.substr(150 * kSector);
  for (std::uint32_t frames : {1u, 587u, 1000u, 1u << 20}) {
    EXPECT_TRUE(ReadTrack(*disc, 1, frames) == one) << frames;
    EXPECT_TRUE(ReadTrack(*disc, 2, frames) == two) << frames;
    EXPECT_TRUE(ReadTrack(*disc, 3, frames) == three) << frames;
  }
  EXPECT_FALSE(disc->OpenTrack(0, &problem));
  EXPECT_FALSE(disc->OpenTrack(4, &problem));
  EXPECT_EQ(problem.status, DiscStatus::ReadError);
}

TEST(DiscImageTest, ReportsDiscsThatCannotBeUsed) {
  using Files = fakes::FakeFileSystem;
  struct Case {
    const char* why;
    void (*damage)(Files&);
    DiscStatus status;
    const wchar_t* path;
    int line;
  };
  const Case cases[] = {
      {"empty drive", [](Files& f) { f.SetDriveReady(L'D', false); }, DiscStatus::NoMedium, L"D:\\",
       0},
      {"no cue sheet", [](Files& f) { f.Delete(L"D:\\demo.cue"); }, DiscStatus::NoCueSheet, L"D:\\",
       0},
      {"only a folder and a longer extension",
       [](Files& f) {
         f.Delete(L"D:\\demo.cue");
         f.AddFolder(L"D:\\folder.cue");
         f.AddFile(L"D:\\x.cuex", kCue);
       },
       DiscStatus::NoCueSheet, L"D:\\", 0},
      {"missing image", [](Files& f) { f.Delete(L"D:\\demo.bin"); }, DiscStatus::MissingImage,
       L"D:\\demo.bin", 0},
      {"image cut inside a sector",
       [](Files& f) { f.AddFile(L"D:\\demo.bin", kImage.substr(0, kImage.size() - 100)); },
       DiscStatus::DamagedImage, L"D:\\demo.bin", 0},
      {"image ends where track 3 starts",
       [](Files& f) { f.AddFile(L"D:\\demo.bin", kImage.substr(0, 150 * kSector)); },
       DiscStatus::DamagedImage, L"D:\\demo.bin", 12},
      {"broken sheet",
       [](Files& f) {
         f.AddFile(L"D:\\demo.cue", "FILE \"demo.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 0:00\n");
       },
       DiscStatus::BadCueSheet, L"D:\\demo.cue", 3},
      {"huge sheet",
       [](Files& f) { f.AddFile(L"D:\\demo.cue", kCue + std::string(2 << 20, '\n')); },
       DiscStatus::BadCueSheet, L"D:\\demo.cue", 0},
      {"the first sheet is broken, a later one is not",
       [](Files& f) {
         f.AddFile(L"D:\\a.cue", "TITLE x\nBOGUS\n");
         f.AddFile(L"D:\\b.cue", kCue);
       },
       DiscStatus::BadCueSheet, L"D:\\a.cue", 2},
  };
  for (const Case& c : cases) {
    Files files;
    AddDisc(files);
    c.damage(files);
    DiscProblem problem;
    EXPECT_FALSE(DiscImage::Open(files, L"D:\\", &problem)) << c.why;
    EXPECT_EQ(problem.status, c.status) << c.why;
    EXPECT_EQ(problem.path, c.path) << c.why;
    EXPECT_EQ(problem.line, c.line) << c.why;
    EXPECT_FALSE(problem.reason.empty()) << c.why;
  }
}

// Streams of the image stop after `limit` bytes: with an error, or as a
// short read.
class FailingFiles : public fakes::FakeFileSystem {
 public:
  FailingFiles(std::uint64_t limit, os::ErrorCode error) : limit_(limit), error_(error) {}
  os::ErrorCode Open(const std::wstring& path, os::OpenMode mode,
                     std::unique_ptr<os::IFileStream>* stream) override {
    const os::ErrorCode result = FakeFileSystem::Open(path, mode, stream);
    if (result == os::kSuccess && path == L"D:\\demo.bin") {
      *stream = std::make_unique<Stream>(std::move(*stream), limit_, error_);
    }
    return result;
  }

 private:
  struct Stream : os::IFileStream {
    Stream(std::unique_ptr<os::IFileStream> in, std::uint64_t end, os::ErrorCode fault)
        : inner(std::move(in)), limit(end), error(fault) {}
    os::ErrorCode Read(void* buffer, std::uint32_t size, std::uint32_t* done) override {
      const std::uint64_t allowed = position < limit ? limit - position : 0;
      if (size > allowed && error != os::kSuccess) return error;
      const auto result = inner->Read(
          buffer, static_cast<std::uint32_t>(std::min<std::uint64_t>(size, allowed)), done);
      position += *done;
      return result;
    }
    os::ErrorCode Write(const void*, std::uint32_t) override { return os::kErrorAccessDenied; }
    os::ErrorCode Seek(std::uint64_t offset) override { return inner->Seek(position = offset); }
    std::uint64_t Size() const override { return inner->Size(); }
    os::ErrorCode Flush() override { return os::kSuccess; }
    std::unique_ptr<os::IFileStream> inner;
    std::uint64_t limit, position = 0;
    os::ErrorCode error;
  };
  std::uint64_t limit_;
  os::ErrorCode error_;
};

TEST(DiscImageTest, AReadErrorInsideATrackIsReported) {
  constexpr os::ErrorCode kCrcError = 23;  // what a scratched disc gives
  for (os::ErrorCode error : {kCrcError, os::kSuccess}) {
    FailingFiles files(95ull * kSector, error);  // 10 sectors into track 2
    AddDisc(files);
    DiscProblem problem;
    auto disc = DiscImage::Open(files, L"D:\\", &problem);
    ASSERT_TRUE(disc);
    auto reader = disc->OpenTrack(2, &problem);
    ASSERT_TRUE(reader);
    std::vector<std::uint8_t> chunk;
    EXPECT_TRUE(reader->Read(5 * 588, &chunk));
    EXPECT_EQ(chunk.size(), 5u * kSector);
    EXPECT_FALSE(reader->Read(10 * 588, &chunk)) << error;
    EXPECT_TRUE(chunk.empty());
    EXPECT_EQ(reader->Problem().status, DiscStatus::ReadError);
    EXPECT_EQ(reader->Problem().error, error);
    EXPECT_EQ(reader->FramesRead(), 5u * 588u);
    EXPECT_FALSE(reader->Read(1, &chunk));                       // stays failed
    EXPECT_EQ(ReadTrack(*disc, 1, 4096).size(), 85u * kSector);  // before the fault
  }
}

TEST(DiscImageTest, NoticesADiscThatChanged) {
  fakes::FakeFileSystem files;
  AddDisc(files);
  DiscProblem problem;
  auto first = DiscImage::Open(files, L"D:\\", &problem);
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->SameDisc(*DiscImage::Open(files, L"D:\\", &problem)));
  std::string retitled = kCue;
  retitled.replace(retitled.find("朝"), std::string("朝").size(), "夜");
  files.AddFile(L"D:\\demo.cue", retitled);
  EXPECT_FALSE(first->SameDisc(*DiscImage::Open(files, L"D:\\", &problem)));

  files.AddFile(L"D:\\demo.bin", kImage.substr(0, 190 * kSector));
  EXPECT_FALSE(first->OpenTrack(1, &problem));
  EXPECT_EQ(problem.status, DiscStatus::DamagedImage);
  files.Delete(L"D:\\demo.bin");
  EXPECT_FALSE(first->OpenTrack(1, &problem));
  EXPECT_EQ(problem.status, DiscStatus::MissingImage);
}

}  // namespace
