#include "mediaengine/disc/cd_toc.h"

#include "mediaengine/disc/cd_audio.h"

namespace mediaengine {
namespace {

constexpr std::size_t kHeaderBytes = 4;
constexpr std::size_t kEntryBytes = 8;
constexpr int kLeadOut = 0xAA;
constexpr std::uint8_t kDataControl = 0x04;

bool Fail(std::string* reason, const std::string& text) {
  *reason = text;
  return false;
}

}  // namespace

bool ParseCdromToc(const std::vector<std::uint8_t>& bytes, CdToc* toc, std::string* reason) {
  if (bytes.size() < kHeaderBytes) return Fail(reason, "the table is shorter than its header");
  const std::size_t length = static_cast<std::size_t>(bytes[0]) << 8 | bytes[1];
  const std::size_t end = length + 2;
  if (end > bytes.size() || end < kHeaderBytes) {
    return Fail(reason, "the table's length is beyond what the drive returned");
  }
  CdToc result;
  bool leadOut = false;
  for (std::size_t at = kHeaderBytes; at + kEntryBytes <= end; at += kEntryBytes) {
    const std::uint8_t control = bytes[at + 1] & 0x0F;  // Control:4 below Adr:4
    const int number = bytes[at + 2];
    const std::uint32_t minute = bytes[at + 5], second = bytes[at + 6], frame = bytes[at + 7];
    if (second >= 60 || frame >= kSectorsPerSecond) {
      return Fail(reason, "an address is not minutes, seconds and frames");
    }
    const std::uint32_t address = (minute * 60 + second) * kSectorsPerSecond + frame;
    if (address < kLeadInSectors) return Fail(reason, "an address lies inside the lead-in");
    const std::uint32_t lba = address - kLeadInSectors;
    if (number == kLeadOut) {
      result.leadOutLba = lba;
      leadOut = true;
      break;
    }
    if (number < 1 || number > kMaxTracks) return Fail(reason, "a track number is not 1..99");
    if (!result.entries.empty() && (number <= result.entries.back().number ||
                                    lba <= result.entries.back().startLba)) {
      return Fail(reason, "the tracks are not in order");
    }
    result.entries.push_back({number, (control & kDataControl) != 0, lba});
  }
  if (!leadOut) return Fail(reason, "the table has no lead-out");
  if (result.entries.empty()) return Fail(reason, "the table has no tracks");
  if (result.leadOutLba <= result.entries.back().startLba) {
    return Fail(reason, "the lead-out lies before the last track");
  }
  *toc = std::move(result);
  return true;
}

AudioTracks AudioTracksOf(const CdToc& toc) {
  AudioTracks audio;
  for (std::size_t i = 0; i < toc.entries.size(); ++i) {
    const TocEntry& entry = toc.entries[i];
    if (entry.data) continue;
    const bool last = i + 1 == toc.entries.size();
    std::uint32_t end = last ? toc.leadOutLba : toc.entries[i + 1].startLba;
    // Audio followed by data: the data is a second session.
    if (!last && toc.entries[i + 1].data && end - entry.startLba > kSessionGapSectors) {
      end -= kSessionGapSectors;
    }
    audio.starts.push_back(entry.startLba);
    audio.lengths.push_back(end - entry.startLba);
    audio.discNumbers.push_back(entry.number);
  }
  return audio;
}

}  // namespace mediaengine
