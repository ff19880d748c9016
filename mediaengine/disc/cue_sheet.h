#pragma once
// Cue sheets of audio CD images: one FILE "name" BINARY holding raw
// little-endian sectors and its AUDIO tracks, with CD-TEXT and the common REM
// fields.
//
// The text is read as UTF-8, with or without a byte-order mark. Cue sheets
// declare no encoding; UTF-8 carries Japanese CD-TEXT without depending on the
// reader's code page, so our discs are written that way and anything that is
// not valid UTF-8 is refused rather than guessed at; CD-TEXT that is not is
// left out instead, as a disc is never refused for its CD-TEXT alone.
#include <cstdint>
#include <string>
#include <vector>

namespace mediaengine {

// CD-TEXT fields hold at most this many characters.
constexpr std::size_t kMaxCdTextChars = 80;

struct CueTrack {
  int number = 0;      // TRACK nn: 1 for the first track, then one more each
  int line = 0;        // line of the TRACK command, for reports about the track
  std::wstring title;  // CD-TEXT; empty when the sheet gives none
  std::wstring performer;
  std::wstring songwriter;
  // Positions in sectors from the start of the image file.
  bool hasIndex0 = false;
  std::uint32_t index0 = 0;  // INDEX 00: start of a pregap held in the file
  std::uint32_t index1 = 0;  // INDEX 01: start of the track's audio
  // Silence that the disc has but the file does not: PREGAP before the
  // track's first index, POSTGAP after its audio.
  std::uint32_t pregapSectors = 0;
  std::uint32_t postgapSectors = 0;
};

struct CueSheet {
  // Disc CD-TEXT (given before the first TRACK).
  std::wstring title;
  std::wstring performer;
  std::wstring songwriter;
  // REM GENRE / DATE / DISCID / COMMENT before the first TRACK.
  std::wstring genre;
  std::wstring date;
  std::wstring discId;
  std::wstring comment;
  std::wstring catalog;   // CATALOG: 13 digits
  std::wstring fileName;  // FILE "name" BINARY: a name in the sheet's folder
  std::vector<CueTrack> tracks;
};

struct CueError {
  int line = 0;  // 1-based line of the sheet; 0 when no single line is at fault
  std::wstring reason;
};

// Parses the bytes of a cue sheet. On failure `sheet` is left as it was and
// `error` says which line is wrong and why.
bool ParseCueSheet(const std::string& text, CueSheet* sheet, CueError* error);

// "mm:ss:ff" (minutes, seconds below 60, frames below 75) as sectors.
bool ParseCueTime(const std::string& text, std::uint32_t* sectors);

}  // namespace mediaengine
