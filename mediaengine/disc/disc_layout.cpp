#include "mediaengine/disc/disc_layout.h"

#include <cstdio>

#include "mediaengine/disc/cd_audio.h"
#include "os/text_encoding.h"

namespace mediaengine {
namespace {

bool Fail(int line, const std::string& reason, CueError* error) {
  error->line = line;
  error->reason = os::WideFromUtf8(reason);
  return false;
}

std::string TimeText(std::uint32_t sectors) {
  const Msf msf = MsfOf(sectors);
  char text[32];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", static_cast<unsigned>(msf.minute),
                static_cast<unsigned>(msf.second), static_cast<unsigned>(msf.frame));
  return text;
}

std::wstring Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
  return os::WideFromUtf8(text);
}

}  // namespace

bool LayOutDisc(const CueSheet& sheet, std::uint64_t imageBytes, DiscLayout* layout,
                CueError* error) {
  if (imageBytes == 0) return Fail(0, "the image file is empty", error);
  if (imageBytes % kSectorBytes != 0) {
    return Fail(0,
                "the image holds " + std::to_string(imageBytes) + " bytes, not a whole number of " +
                    std::to_string(kSectorBytes) + "-byte sectors: it is truncated or damaged",
                error);
  }
  if (sheet.tracks.empty()) return Fail(0, "the sheet has no tracks", error);
  if (sheet.tracks.size() > static_cast<std::size_t>(kMaxTracks)) {
    return Fail(sheet.tracks[kMaxTracks].line, "a disc holds at most 99 tracks", error);
  }
  // Anything longer than a CD can address is refused before the sums below.
  const std::uint64_t imageSectors64 = imageBytes / kSectorBytes;
  if (imageSectors64 > kMaxAddress) {
    return Fail(0, "the image is longer than a CD can hold", error);
  }
  const std::uint32_t imageSectors = static_cast<std::uint32_t>(imageSectors64);

  DiscLayout result;
  result.imageBytes = imageBytes;
  std::uint64_t discPos = 0;
  std::uint32_t fileCursor = 0;
  auto addFile = [&](std::uint32_t fileEnd) {
    if (fileEnd > fileCursor) {
      result.segments.push_back(
          {static_cast<std::uint32_t>(discPos), fileEnd - fileCursor, false, fileCursor});
      discPos += fileEnd - fileCursor;
      fileCursor = fileEnd;
    }
  };
  // Gaps are below 1000 minutes each, so even 99 tracks of them stay far
  // inside 32 bits; the length is judged once, at the end.
  auto addSilence = [&](std::uint32_t sectors) {
    if (sectors > 0) {
      result.segments.push_back({static_cast<std::uint32_t>(discPos), sectors, true, 0});
    }
    discPos += sectors;
  };

  for (std::size_t i = 0; i < sheet.tracks.size(); ++i) {
    const CueTrack& track = sheet.tracks[i];
    const std::uint32_t first = track.hasIndex0 ? track.index0 : track.index1;
    if (track.index1 >= imageSectors) {
      return Fail(track.line,
                  "track " + std::to_string(track.number) + " starts at " + TimeText(track.index1) +
                      " but the image ends at " + TimeText(imageSectors) + ": it is truncated",
                  error);
    }
    // The parser keeps this order; a hand-made sheet might not.
    if (first > track.index1 || first < fileCursor ||
        (i > 0 && track.index1 <= sheet.tracks[i - 1].index1)) {
      return Fail(track.line, "track " + std::to_string(track.number) + " is out of order", error);
    }
    addFile(first);  // the rest of the track before, or audio ahead of the first track
    addSilence(track.pregapSectors);
    const std::uint64_t start = discPos + (track.index1 - first);
    result.tracks.push_back({track.number, static_cast<std::uint32_t>(start), 0});
    const bool last = i + 1 == sheet.tracks.size();
    const CueTrack* next = last ? nullptr : &sheet.tracks[i + 1];
    const std::uint32_t fileEnd =
        last ? imageSectors : (next->hasIndex0 ? next->index0 : next->index1);
    if (fileEnd > imageSectors) {
      return Fail(next->line,
                  "track " + std::to_string(next->number) + " starts beyond the end of the image",
                  error);
    }
    addFile(fileEnd);
    addSilence(track.postgapSectors);
  }
  if (AddressOf(0) + discPos > kMaxAddress) {
    return Fail(0, "the disc is longer than a CD can hold", error);
  }
  result.leadOutLba = static_cast<std::uint32_t>(discPos);
  for (std::size_t i = 0; i < result.tracks.size(); ++i) {
    const std::uint32_t end =
        i + 1 < result.tracks.size() ? result.tracks[i + 1].startLba : result.leadOutLba;
    result.tracks[i].lengthSectors = end - result.tracks[i].startLba;
  }
  *layout = std::move(result);
  return true;
}

std::wstring TocText(const DiscLayout& layout) {
  std::wstring text = Hex(static_cast<std::uint32_t>(layout.tracks.size()));
  for (const TrackExtent& track : layout.tracks) text += L"+" + Hex(AddressOf(track.startLba));
  text += L"+" + Hex(AddressOf(layout.leadOutLba));
  return text;
}

std::uint32_t AudioCdSerial(const DiscLayout& layout) {
  std::uint32_t serial = 0;
  for (const TrackExtent& track : layout.tracks) {
    const Msf msf = MsfOf(AddressOf(track.startLba));
    serial += (msf.minute << 16) | (msf.second << 8) | msf.frame;
  }
  if (!layout.tracks.empty() && layout.tracks.size() < 3) {
    const std::uint32_t first = layout.tracks.front().startLba;
    serial += MsfOf(AddressOf(first)).frame + (layout.leadOutLba - first);
  }
  return serial;
}

}  // namespace mediaengine
