#pragma once
// The 44-byte TrackNN.cda files that Windows shows in the root of an audio
// CD: a RIFF "CDDA" header with the track's number, the disc serial and the
// track's start and length, both as sector counts and as minute/second/frame.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace mediaengine {

constexpr std::size_t kCdaFileBytes = 44;

struct CdaTrack {
  std::uint16_t trackNumber = 0;  // from 1
  std::uint32_t serial = 0;       // the disc's volume serial
  std::uint32_t startLba = 0;
  std::uint32_t lengthSectors = 0;

  bool operator==(const CdaTrack& other) const {
    return trackNumber == other.trackNumber && serial == other.serial &&
           startLba == other.startLba && lengthSectors == other.lengthSectors;
  }
};

// The file's bytes. The start's minute/second/frame include the 150-sector
// lead-in; the length's do not. Minutes are a byte: CD addresses stay below 100.
std::array<std::uint8_t, kCdaFileBytes> BuildCdaFile(const CdaTrack& track);

// False unless `size` is 44 and the header, the version, a track number of
// 1..99, a length of at least one sector that ends within 99:59:74, and both
// minute/second/frame fields agree with the sector counts.
bool ParseCdaFile(const std::uint8_t* data, std::size_t size, CdaTrack* track);

// "Track01.cda" for track 1.
std::wstring CdaFileName(int trackNumber);

}  // namespace mediaengine
