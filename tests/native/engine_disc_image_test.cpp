#include "disc/disc_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "disc/cd_audio.h"
#include "fakes/fake_file_system.h"
#include "os/text_encoding.h"

namespace {

using engine::DiscImage;
using engine::DiscProblem;
using engine::DiscStatus;

constexpr std::uint32_t kSector = engine::kSectorBytes;
constexpr std::uint32_t kImageSectors = 200;

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
// INDEX 01 at 85); track 3 behind 5 sectors of PREGAP silence at 150.
const char kCue[] =
    "REM GENRE \"Jazz\"\n"
    "PERFORMER \"木琴合奏団\"\n"
    "TITLE \"マリンバの午後\"\n"
    "FILE \"demo.bin\" BINARY\n"
    "TRACK 01 AUDIO\n  TITLE \"朝\"\n  INDEX 01 00:00:00\n"
    "TRACK 02 AUDIO\n  PERFORMER \"ゲスト\"\n  INDEX 00 00:01:00\n  INDEX 01 00:01:10\n"
    "TRACK 03 AUDIO\n  TITLE \"  \"\n  PREGAP 00:00:05\n  INDEX 01 00:02:00\n";

class DiscImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files_.AddDrive(L'D');
    files_.AddFile(L"D:\\Track01.cda", "not read");
    files_.AddFile(L"D:\\demo.cue", kCue);
    files_.AddFile(L"D:\\demo.bin", image_);
  }

  std::shared_ptr<const DiscImage> Open(DiscProblem* problem) {
    return DiscImage::Open(files_, L"D:\\", problem);
  }

  // The whole track, read in chunks of `frames`.
  std::string ReadTrack(const DiscImage& disc, int number, std::uint32_t frames) {
    DiscProblem problem;
    auto reader = disc.OpenTrack(number, &problem);
    EXPECT_TRUE(reader) << os::Utf8FromWide(problem.reason);
    if (!reader) return {};
    std::string pcm;
    std::vector<std::uint8_t> chunk;
    while (!reader->Finished()) {
      EXPECT_TRUE(reader->Read(frames, &chunk)) << os::Utf8FromWide(reader->Problem().reason);
      if (chunk.empty()) break;
      EXPECT_LE(chunk.size(), frames * 4u);
      pcm.append(chunk.begin(), chunk.end());
    }
    EXPECT_TRUE(reader->Read(frames, &chunk));
    EXPECT_TRUE(chunk.empty());
    EXPECT_EQ(reader->FramesRead(), reader->TotalFrames());
    return pcm;
  }

  fakes::FakeFileSystem files_;
  std::string image_ = Image(kImageSectors);
};

TEST_F(DiscImageTest, DescribesTheDiscWithFallbacks) {
  DiscProblem problem;
  auto disc = Open(&problem);
  ASSERT_TRUE(disc) << os::Utf8FromWide(problem.reason);
  EXPECT_EQ(problem.status, DiscStatus::Ok);
  EXPECT_EQ(disc->CuePath(), L"D:\\demo.cue");
  EXPECT_EQ(disc->ImagePath(), L"D:\\demo.bin");
  EXPECT_EQ(disc->Album(), L"マリンバの午後");
  EXPECT_EQ(disc->AlbumArtist(), L"木琴合奏団");
  EXPECT_EQ(disc->Genre(), L"Jazz");

  ASSERT_EQ(disc->Tracks().size(), 3u);
  const engine::DiscTrack* one = disc->Track(1);
  const engine::DiscTrack* two = disc->Track(2);
  const engine::DiscTrack* three = disc->Track(3);
  ASSERT_TRUE(one && two && three);
  EXPECT_EQ(disc->Track(0), nullptr);
  EXPECT_EQ(disc->Track(4), nullptr);
  EXPECT_EQ(one->title, L"朝");
  EXPECT_EQ(one->artist, L"木琴合奏団");  // from the disc
  EXPECT_EQ(two->title, L"トラック 2");   // no TITLE
  EXPECT_EQ(two->artist, L"ゲスト");
  EXPECT_EQ(three->title, L"トラック 3");  // a blank TITLE
  // 85 sectors up to track 2; 70 up to track 3 (which starts at 150 + 5);
  // 50 to the lead-out at 205.
  EXPECT_EQ(one->lengthSectors, 85u);
  EXPECT_EQ(two->startLba, 85u);
  EXPECT_EQ(two->lengthSectors, 70u);
  EXPECT_EQ(three->startLba, 155u);
  EXPECT_EQ(three->lengthSectors, 50u);
  EXPECT_DOUBLE_EQ(three->Seconds(), 50.0 / 75.0);
  EXPECT_EQ(three->Frames(), 50u * 588u);
  // 150 = 0x96, 235 = 0xEB, 305 = 0x131, lead-out 355 = 0x163.
  EXPECT_EQ(disc->Toc(), L"3+96+EB+131+163");

  const engine::CdaTrack cda = disc->Cda(2);
  EXPECT_EQ(cda.trackNumber, 2);
  EXPECT_EQ(cda.serial, disc->Serial());
  EXPECT_EQ(cda.startLba, 85u);
  EXPECT_EQ(cda.lengthSectors, 70u);
  EXPECT_EQ(disc->Cda(4).trackNumber, 0);
}

TEST_F(DiscImageTest, UnknownAlbumAndArtistUseTheEngineTexts) {
  files_.AddFile(L"D:\\demo.cue",
                 "FILE \"demo.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                 "TRACK 02 AUDIO\nPERFORMER \"ゲスト\"\nINDEX 01 00:01:00\n");
  DiscProblem problem;
  auto disc = Open(&problem);
  ASSERT_TRUE(disc);
  EXPECT_EQ(disc->Album(), engine::kUnknownAlbum);
  EXPECT_EQ(disc->Album(), L"アルバム情報なし");
  EXPECT_EQ(disc->AlbumArtist(), L"アーティスト情報なし");
  EXPECT_EQ(disc->Track(1)->artist, L"アーティスト情報なし");
  EXPECT_EQ(disc->Track(1)->title, L"トラック 1");
  EXPECT_EQ(disc->Track(2)->artist, L"ゲスト");
  EXPECT_EQ(std::wstring(engine::kNoDiscPlaylistName), L"ドライブにディスクがありません");
}

TEST_F(DiscImageTest, ReadsExactlyTheBytesOfEachTrack) {
  DiscProblem problem;
  auto disc = Open(&problem);
  ASSERT_TRUE(disc);
  const std::string one = image_.substr(0, 85 * kSector);
  // Track 2 ends with the PREGAP silence of track 3.
  const std::string two = image_.substr(85 * kSector, 65 * kSector) + std::string(5 * kSector, '\0');
  const std::string three = image_.substr(150 * kSector);
  for (std::uint32_t frames : {1u, 587u, 588u, 1000u, 1u << 20}) {
    EXPECT_TRUE(ReadTrack(*disc, 1, frames) == one) << frames;
    EXPECT_TRUE(ReadTrack(*disc, 2, frames) == two) << frames;
    EXPECT_TRUE(ReadTrack(*disc, 3, frames) == three) << frames;
  }
  EXPECT_FALSE(disc->OpenTrack(0, &problem));
  EXPECT_EQ(problem.status, DiscStatus::ReadError);
  EXPECT_FALSE(disc->OpenTrack(4, &problem));
}

TEST_F(DiscImageTest, ReportsDiscsThatCannotBeUsed) {
  struct Case {
    const char* why;
    void (*damage)(fakes::FakeFileSystem&, const std::string& image);
    DiscStatus status;
    const wchar_t* path;
    int line;
  };
  const Case cases[] = {
      {"empty drive", [](fakes::FakeFileSystem& f, const std::string&) { f.SetDriveReady(L'D', false); },
       DiscStatus::NoMedium, L"D:\\", 0},
      {"no cue sheet", [](fakes::FakeFileSystem& f, const std::string&) { f.Delete(L"D:\\demo.cue"); },
       DiscStatus::NoCueSheet, L"D:\\", 0},
      {"only a folder and a longer extension",
       [](fakes::FakeFileSystem& f, const std::string&) {
         f.Delete(L"D:\\demo.cue");
         f.AddFolder(L"D:\\folder.cue");
         f.AddFile(L"D:\\x.cuex", kCue);
       },
       DiscStatus::NoCueSheet, L"D:\\", 0},
      {"missing image", [](fakes::FakeFileSystem& f, const std::string&) { f.Delete(L"D:\\demo.bin"); },
       DiscStatus::MissingImage, L"D:\\demo.bin", 0},
      {"image cut inside a sector",
       [](fakes::FakeFileSystem& f, const std::string& image) {
         f.AddFile(L"D:\\demo.bin", image.substr(0, image.size() - 100));
       },
       DiscStatus::DamagedImage, L"D:\\demo.bin", 0},
      {"image ends where track 3 starts",
       [](fakes::FakeFileSystem& f, const std::string& image) {
         f.AddFile(L"D:\\demo.bin", image.substr(0, 150 * kSector));
       },
       DiscStatus::DamagedImage, L"D:\\demo.bin", 12},
      {"empty image", [](fakes::FakeFileSystem& f, const std::string&) { f.AddFile(L"D:\\demo.bin", ""); },
       DiscStatus::DamagedImage, L"D:\\demo.bin", 0},
      {"broken sheet",
       [](fakes::FakeFileSystem& f, const std::string&) {
         f.AddFile(L"D:\\demo.cue", "FILE \"demo.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 0:00\n");
       },
       DiscStatus::BadCueSheet, L"D:\\demo.cue", 3},
      {"huge sheet",
       [](fakes::FakeFileSystem& f, const std::string&) {
         f.AddFile(L"D:\\demo.cue", std::string(kCue) + std::string(2 << 20, '\n'));
       },
       DiscStatus::BadCueSheet, L"D:\\demo.cue", 0},
      {"the first sheet is broken, a later one is not",
       [](fakes::FakeFileSystem& f, const std::string&) {
         f.AddFile(L"D:\\a.cue", "TITLE \"x\"\nBOGUS\n");
         f.AddFile(L"D:\\b.cue", kCue);
       },
       DiscStatus::BadCueSheet, L"D:\\a.cue", 2},
  };
  for (const Case& c : cases) {
    fakes::FakeFileSystem files;
    files.AddDrive(L'D');
    files.AddFile(L"D:\\demo.cue", kCue);
    files.AddFile(L"D:\\demo.bin", image_);
    c.damage(files, image_);
    DiscProblem problem;
    EXPECT_FALSE(DiscImage::Open(files, L"D:\\", &problem)) << c.why;
    EXPECT_EQ(problem.status, c.status) << c.why;
    EXPECT_EQ(problem.path, c.path) << c.why;
    EXPECT_EQ(problem.line, c.line) << c.why;
    EXPECT_FALSE(problem.reason.empty()) << c.why;
  }
}

// Passes everything to a fake file system, except that streams of the image
// stop delivering after `limit` bytes: with an error, or as a short read.
class FailingFiles : public os::IFileSystem {
 public:
  FailingFiles(fakes::FakeFileSystem& inner, std::uint64_t limit, os::ErrorCode error)
      : inner_(inner), limit_(limit), error_(error) {}

  os::ErrorCode FindFiles(const std::wstring& p, std::vector<os::FindEntry>* e) override {
    return inner_.FindFiles(p, e);
  }
  std::uint32_t GetAttributes(const std::wstring& p) override { return inner_.GetAttributes(p); }
  os::ErrorCode CreateFolder(const std::wstring& p) override { return inner_.CreateFolder(p); }
  os::ErrorCode RemoveFolder(const std::wstring& p) override { return inner_.RemoveFolder(p); }
  os::ErrorCode Move(const std::wstring& f, const std::wstring& t, bool r) override {
    return inner_.Move(f, t, r);
  }
  os::ErrorCode Delete(const std::wstring& p) override { return inner_.Delete(p); }
  os::ErrorCode GetFreeClusters(const std::wstring& r, os::DiskClusters* c) override {
    return inner_.GetFreeClusters(r, c);
  }
  os::ErrorCode GetFreeBytes(const std::wstring& r, os::DiskBytes* b) override {
    return inner_.GetFreeBytes(r, b);
  }
  os::ErrorCode Open(const std::wstring& path, os::OpenMode mode,
                     std::unique_ptr<os::IFileStream>* stream) override {
    const os::ErrorCode result = inner_.Open(path, mode, stream);
    if (result == os::kSuccess && path.size() > 4 && path.substr(path.size() - 4) == L".bin") {
      *stream = std::make_unique<Stream>(std::move(*stream), limit_, error_);
    }
    return result;
  }

 private:
  class Stream : public os::IFileStream {
   public:
    Stream(std::unique_ptr<os::IFileStream> inner, std::uint64_t limit, os::ErrorCode error)
        : inner_(std::move(inner)), limit_(limit), error_(error) {}
    os::ErrorCode Read(void* buffer, std::uint32_t size, std::uint32_t* done) override {
      const std::uint64_t allowed = position_ < limit_ ? limit_ - position_ : 0;
      if (size > allowed && error_ != os::kSuccess) return error_;
      const os::ErrorCode result =
          inner_->Read(buffer, static_cast<std::uint32_t>(std::min<std::uint64_t>(size, allowed)), done);
      position_ += *done;
      return result;
    }
    os::ErrorCode Write(const void* b, std::uint32_t s) override { return inner_->Write(b, s); }
    os::ErrorCode Seek(std::uint64_t offset) override {
      position_ = offset;
      return inner_->Seek(offset);
    }
    std::uint64_t Size() const override { return inner_->Size(); }
    os::ErrorCode Flush() override { return inner_->Flush(); }

   private:
    std::unique_ptr<os::IFileStream> inner_;
    std::uint64_t limit_;
    os::ErrorCode error_;
    std::uint64_t position_ = 0;
  };

  fakes::FakeFileSystem& inner_;
  std::uint64_t limit_;
  os::ErrorCode error_;
};

TEST_F(DiscImageTest, AReadErrorInsideATrackIsReported) {
  constexpr os::ErrorCode kCrcError = 23;  // what a scratched disc gives
  for (os::ErrorCode error : {kCrcError, os::kSuccess}) {
    // The image gives out 10 sectors into track 2.
    FailingFiles files(files_, 95ull * kSector, error);
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
    EXPECT_FALSE(reader->Read(1, &chunk));  // stays failed

    // Track 1 lies before the fault and reads completely.
    EXPECT_EQ(ReadTrack(*disc, 1, 4096).size(), 85u * kSector);
  }
}

TEST_F(DiscImageTest, NoticesAnImageThatChangedAfterOpening) {
  DiscProblem problem;
  auto disc = Open(&problem);
  ASSERT_TRUE(disc);
  files_.AddFile(L"D:\\demo.bin", image_.substr(0, 190 * kSector));
  EXPECT_FALSE(disc->OpenTrack(1, &problem));
  EXPECT_EQ(problem.status, DiscStatus::DamagedImage);
  files_.Delete(L"D:\\demo.bin");
  EXPECT_FALSE(disc->OpenTrack(1, &problem));
  EXPECT_EQ(problem.status, DiscStatus::MissingImage);
}

TEST_F(DiscImageTest, TellsTheSameDiscFromAnother) {
  DiscProblem problem;
  auto first = Open(&problem);
  auto again = Open(&problem);
  ASSERT_TRUE(first && again);
  EXPECT_TRUE(first->SameDisc(*again));

  std::string retitled = kCue;
  retitled.replace(retitled.find("朝"), std::string("朝").size(), "夜");
  files_.AddFile(L"D:\\demo.cue", retitled);
  auto other = Open(&problem);
  ASSERT_TRUE(other);
  EXPECT_EQ(other->Toc(), first->Toc());
  EXPECT_FALSE(first->SameDisc(*other));
}

}  // namespace
