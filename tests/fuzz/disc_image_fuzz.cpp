// A disc in a drive: the first two bytes give the image's length in sectors,
// the rest is the cue sheet. Whatever opens reads, track by track, exactly
// the image sectors and the silence its layout says, and nothing is read
// outside the drive's root.
#include <memory>
#include <vector>

#include "fakes/fake_file_system.h"
#include "fuzz/fuzz_check.h"
#include "mediaengine/disc/cd_audio.h"
#include "mediaengine/disc/cue_sheet.h"
#include "mediaengine/disc/disc_image.h"
#include "os/file_names.h"

namespace {

using mediaengine::kSectorBytes;

// Bytes that differ within and between sectors, so a misplaced read shows.
char ImageByte(std::uint64_t i) { return static_cast<char>((i * 2654435761u) >> 13); }

// Reading whole discs of more sectors than this would slow the fuzzer down
// without finding more.
constexpr std::uint32_t kMaxReadSectors = 1500;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint32_t imageSectors = (data[0] | (data[1] << 8)) % 400;
  const std::string cue = fuzz::Bytes(data + 2, size - 2);

  fakes::FakeFileSystem files;
  files.AddDrive(L'D');
  files.AddDrive(L'C');
  files.AddFile(L"D:\\disc.cue", cue);
  mediaengine::CueSheet sheet;
  mediaengine::CueError cueError;
  std::string image;
  if (mediaengine::ParseCueSheet(cue, &sheet, &cueError)) {
    FUZZ_CHECK(os::IsPlainFileName(sheet.fileName));
    image.resize(std::size_t{imageSectors} * kSectorBytes);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = ImageByte(i);
    files.AddFile(L"D:\\" + sheet.fileName, image);
  }

  mediaengine::DiscProblem problem;
  const auto disc = mediaengine::DiscImage::Open(files, L"D:\\", &problem);
  if (!disc) {
    FUZZ_CHECK(problem.status != mediaengine::DiscStatus::Ok && !problem.reason.empty());
    return 0;
  }
  FUZZ_CHECK(disc->ImagePath() == L"D:\\" + sheet.fileName);
  FUZZ_CHECK(disc->SameDisc(*disc));
  const mediaengine::DiscLayout& layout = disc->Layout();
  FUZZ_CHECK(disc->Tracks().size() == layout.tracks.size());
  for (const mediaengine::DiscTrack& track : disc->Tracks()) {
    const mediaengine::CdaTrack cda = disc->Cda(track.number);
    const auto bytes = mediaengine::BuildCdaFile(cda);
    mediaengine::CdaTrack back;
    FUZZ_CHECK(mediaengine::ParseCdaFile(bytes.data(), bytes.size(), &back) && back == cda);
  }
  if (layout.leadOutLba > kMaxReadSectors) return 0;

  // The disc as its layout describes it, sector by sector.
  std::string expected;
  for (const mediaengine::DiscSegment& segment : layout.segments) {
    const std::size_t bytes = std::size_t{segment.sectors} * kSectorBytes;
    if (segment.silence) {
      expected.append(bytes, '\0');
    } else {
      FUZZ_CHECK(std::uint64_t{segment.fileStart} + segment.sectors <= imageSectors);
      expected.append(image, std::size_t{segment.fileStart} * kSectorBytes, bytes);
    }
  }
  FUZZ_CHECK(expected.size() == std::size_t{layout.leadOutLba} * kSectorBytes);

  std::vector<std::uint8_t> chunk;
  for (const mediaengine::DiscTrack& track : disc->Tracks()) {
    auto reader = disc->OpenTrack(track.number, &problem);
    FUZZ_CHECK(reader != nullptr);
    std::string pcm;
    // Odd chunk sizes cross sector and segment edges.
    const std::uint32_t frames = 1 + data[track.number % size] * 7u;
    while (reader->Read(frames, &chunk) && !chunk.empty()) {
      FUZZ_CHECK(chunk.size() <= frames * 4u);
      pcm.append(chunk.begin(), chunk.end());
    }
    FUZZ_CHECK(reader->Finished());
    FUZZ_CHECK(pcm.size() == track.PcmBytes());
    FUZZ_CHECK(pcm == expected.substr(std::size_t{track.startLba} * kSectorBytes, pcm.size()));
  }
  FUZZ_CHECK(!disc->OpenTrack(0, &problem) && !disc->OpenTrack(100, &problem));
  return 0;
}
