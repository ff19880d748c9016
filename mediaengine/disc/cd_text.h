#pragma once
// CD-TEXT as a drive returns it (READ TOC format 5): 18-byte packs of a pack
// type (0x80 title, 0x81 performer, 0x8F size and character code), a track
// number, a sequence number, block and character position, 12 bytes of text
// and a CRC. Text runs across packs, one NUL-terminated string per track from
// the pack's track number on (track 0 is the album); a lone TAB repeats the
// track before. Only the first block (the first language) is read.
//
// A pack that fails its CRC is ignored, and so is every text that had a part
// in it: the disc then shows the placeholders there, never a garbled title.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mediaengine/disc/cd_audio.h"

namespace mediaengine {

constexpr std::size_t kCdTextPackBytes = 18;

struct CdText {
  // Index 0 is the album; 1..99 the tracks by their number on the disc.
  std::array<std::wstring, kMaxTracks + 1> titles;
  std::array<std::wstring, kMaxTracks + 1> performers;
  int badPacks = 0;  // packs ignored for their CRC
};

// CRC-16 CCITT (polynomial 0x1021, start 0) of a pack's first 16 bytes,
// inverted, as the pack stores it big-endian in its last two.
std::uint16_t CdTextPackCrc(const std::uint8_t* pack);

// Reads the drive's CD-TEXT data (Length[2] big-endian, two reserved bytes,
// then packs). Character codes 0x00 ISO-8859-1 and 0x01 ASCII are read here;
// 0x80 MS-JIS (double-byte) through `decodeMsJis`.
CdText ParseCdText(const std::vector<std::uint8_t>& data,
                   const std::function<std::wstring(const std::string&)>& decodeMsJis);

}  // namespace mediaengine
