#pragma once
// Where a cue sheet's tracks lie on the disc, as a drive's table of contents
// shows them: each track starts at its INDEX 01 and runs to the next track's
// start (so a pregap belongs to the track before it, as on a pressed CD), the
// last one to the lead-out. PREGAP and POSTGAP silence shifts everything after
// it, because the disc has it and the image file does not.
#include <cstdint>
#include <string>
#include <vector>

#include "mediaengine/disc/cue_sheet.h"

namespace mediaengine {

struct TrackExtent {
  int number = 0;
  std::uint32_t startLba = 0;       // INDEX 01 on the disc
  std::uint32_t lengthSectors = 0;  // up to the next start or the lead-out
};

// A run of disc sectors: sectors of the image file, or silence.
struct DiscSegment {
  std::uint32_t discStart = 0;
  std::uint32_t sectors = 0;
  bool silence = false;
  std::uint32_t fileStart = 0;  // first image sector, when not silence
};

struct DiscLayout {
  std::vector<TrackExtent> tracks;
  std::uint32_t leadOutLba = 0;
  std::uint64_t imageBytes = 0;
  // In disc order, without gaps, covering sectors 0 .. leadOutLba - 1.
  std::vector<DiscSegment> segments;
};

// Lays the sheet's tracks out over an image of `imageBytes`. Fails, naming
// the TRACK line where one track is at fault, when the image is not a whole
// number of sectors, a track starts at or beyond its end, or the disc would be
// longer than a CD can address.
bool LayOutDisc(const CueSheet& sheet, std::uint64_t imageBytes, DiscLayout* layout,
                CueError* error);

// The media player's "TOC" text: uppercase hex joined by "+": the track
// count, each track's address (LBA + 150), the lead-out address.
std::wstring TocText(const DiscLayout& layout);

// The volume serial Windows gives an audio CD: the sum of each track's start
// address packed as minute << 16 | second << 8 | frame; a disc of fewer than
// three tracks also adds the first start's frame number and the sectors from
// that start to the lead-out, so that short discs differ more.
std::uint32_t AudioCdSerial(const DiscLayout& layout);

}  // namespace mediaengine
