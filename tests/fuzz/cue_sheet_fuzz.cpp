// Cue sheets: whatever parses names one file beside the sheet, numbers its
// tracks in order and lays out on an image into tracks that the .cda writer
// and reader agree on.
#include "fuzz/fuzz_check.h"
#include "mediaengine/disc/cd_audio.h"
#include "mediaengine/disc/cda_file.h"
#include "mediaengine/disc/cue_sheet.h"
#include "mediaengine/disc/disc_layout.h"
#include "os/file_names.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  mediaengine::CueSheet sheet;
  mediaengine::CueError error;
  if (!mediaengine::ParseCueSheet(fuzz::Bytes(data, size), &sheet, &error)) {
    FUZZ_CHECK(!error.reason.empty());
    return 0;
  }
  FUZZ_CHECK(os::IsPlainFileName(sheet.fileName));
  FUZZ_CHECK(!sheet.tracks.empty());
  for (std::size_t i = 0; i < sheet.tracks.size(); ++i) {
    const mediaengine::CueTrack& track = sheet.tracks[i];
    FUZZ_CHECK(track.number == static_cast<int>(i) + 1);
    FUZZ_CHECK(!track.hasIndex0 || track.index0 <= track.index1);
    FUZZ_CHECK(i == 0 || sheet.tracks[i - 1].index1 < track.index1);
    FUZZ_CHECK(track.title.size() <= 2 * mediaengine::kMaxCdTextChars);
  }

  // An image a little longer than the last track's start; its size comes
  // from the last byte so that short and cut images are tried too.
  const std::uint64_t sectors = sheet.tracks.back().index1 + 1 + (size ? data[size - 1] % 8 : 0);
  const std::uint64_t imageBytes = sectors * mediaengine::kSectorBytes - (size > 1 && data[0] == 'R');
  mediaengine::DiscLayout layout;
  if (!mediaengine::LayOutDisc(sheet, imageBytes, &layout, &error)) return 0;
  FUZZ_CHECK(layout.tracks.size() == sheet.tracks.size());
  FUZZ_CHECK(mediaengine::AddressOf(layout.leadOutLba) <= mediaengine::kMaxAddress);
  std::uint64_t covered = 0;
  for (const mediaengine::DiscSegment& segment : layout.segments) {
    FUZZ_CHECK(segment.discStart == covered);
    covered += segment.sectors;
  }
  FUZZ_CHECK(covered == layout.leadOutLba);
  for (std::size_t i = 0; i < layout.tracks.size(); ++i) {
    const mediaengine::TrackExtent& extent = layout.tracks[i];
    FUZZ_CHECK(extent.lengthSectors > 0);
    mediaengine::CdaTrack cda{static_cast<std::uint16_t>(i + 1), 1, extent.startLba, extent.lengthSectors};
    const auto bytes = mediaengine::BuildCdaFile(cda);
    mediaengine::CdaTrack back;
    FUZZ_CHECK(mediaengine::ParseCdaFile(bytes.data(), bytes.size(), &back) && back == cda);
  }
  FUZZ_CHECK(!mediaengine::TocText(layout).empty());
  return 0;
}
