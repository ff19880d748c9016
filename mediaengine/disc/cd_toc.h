#pragma once
// A drive's table of contents (the CDROM_TOC of IOCTL_CDROM_READ_TOC) and the
// audio tracks it holds. On an enhanced CD (audio session, then a data
// session) the last audio track ends 11,400 sectors before the data track,
// where the first session's lead-out and the second's lead-in lie.
#include <cstdint>
#include <string>
#include <vector>

namespace mediaengine {

// Lead-out, lead-in and pregap between the sessions of an enhanced CD.
constexpr std::uint32_t kSessionGapSectors = 11400;

struct TocEntry {
  int number = 0;  // as on the disc, 1..99
  bool data = false;
  std::uint32_t startLba = 0;
};

struct CdToc {
  std::vector<TocEntry> entries;  // in disc order
  std::uint32_t leadOutLba = 0;
};

// The audio part of a table of contents, as the engine lists it.
struct AudioTracks {
  std::vector<std::uint32_t> starts;
  std::vector<std::uint32_t> lengths;
  std::vector<int> discNumbers;  // each one's number on the disc
};

// Reads CDROM_TOC bytes: Length[2] (big-endian, bytes after it), first and
// last track, 8-byte entries (Control in the low and Adr in the high four bits
// of the second byte, number in
// the third, address 0,M,S,F in the last four) ending with the lead-out 0xAA.
// False, with `reason`, when the bytes do not hold a sound table.
bool ParseCdromToc(const std::vector<std::uint8_t>& bytes, CdToc* toc, std::string* reason);

// The audio tracks with their lengths; empty for a data-only disc.
AudioTracks AudioTracksOf(const CdToc& toc);

}  // namespace mediaengine
