#pragma once
// Units of Red Book audio: a sector of 2352 bytes holds 588 stereo frames of
// 16-bit little-endian samples; 75 sectors make a second. Addresses on a
// disc count 150 sectors (two seconds of lead-in) ahead of the logical
// sector numbers (LBA).
#include <cstdint>

namespace mediaengine {

constexpr std::uint32_t kSectorBytes = 2352;
constexpr std::uint32_t kFrameBytes = 4;  // one stereo frame: left, right int16
constexpr std::uint32_t kFramesPerSector = kSectorBytes / kFrameBytes;
constexpr std::uint32_t kSectorsPerSecond = 75;
constexpr std::uint32_t kSampleRate = kFramesPerSector * kSectorsPerSecond;  // 44100
constexpr std::uint32_t kLeadInSectors = 150;
// 99:59:74, the largest address minutes/seconds/frames can express.
constexpr std::uint32_t kMaxAddress = (99 * 60 + 59) * kSectorsPerSecond + 74;
constexpr int kMaxTracks = 99;

// Minutes, seconds and frames (sectors) of a sector count.
struct Msf {
  std::uint32_t minute = 0;
  std::uint32_t second = 0;
  std::uint32_t frame = 0;
};

inline Msf MsfOf(std::uint32_t sectors) {
  Msf msf;
  msf.minute = sectors / (60 * kSectorsPerSecond);
  msf.second = sectors / kSectorsPerSecond % 60;
  msf.frame = sectors % kSectorsPerSecond;
  return msf;
}

// The address the table of contents shows for a logical sector.
inline std::uint32_t AddressOf(std::uint32_t lba) { return lba + kLeadInSectors; }

}  // namespace mediaengine
