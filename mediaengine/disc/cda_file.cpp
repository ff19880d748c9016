#include "mediaengine/disc/cda_file.h"

#include <cstring>

#include "mediaengine/disc/cd_audio.h"

namespace mediaengine {
namespace {

constexpr std::uint32_t kRiffBodyBytes = 36;
constexpr std::uint32_t kFormatBytes = 24;
constexpr std::uint16_t kCdaVersion = 1;

void Put16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint16_t Get16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

std::uint32_t Get32(const std::uint8_t* at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

// Frame, second, minute, then a zero byte.
void PutMsf(std::uint8_t* at, std::uint32_t sectors) {
  const Msf msf = MsfOf(sectors);
  at[0] = static_cast<std::uint8_t>(msf.frame);
  at[1] = static_cast<std::uint8_t>(msf.second);
  at[2] = static_cast<std::uint8_t>(msf.minute);
  at[3] = 0;
}

bool MsfMatches(const std::uint8_t* at, std::uint64_t sectors) {
  if (sectors > 0xFFFFFFFFu) return false;
  std::uint8_t expected[4];
  PutMsf(expected, static_cast<std::uint32_t>(sectors));
  return MsfOf(static_cast<std::uint32_t>(sectors)).minute <= 0xFF &&
         std::memcmp(at, expected, sizeof expected) == 0;
}

}  // namespace

std::array<std::uint8_t, kCdaFileBytes> BuildCdaFile(const CdaTrack& track) {
  std::array<std::uint8_t, kCdaFileBytes> bytes{};
  std::uint8_t* p = bytes.data();
  std::memcpy(p, "RIFF", 4);
  Put32(p + 4, kRiffBodyBytes);
  std::memcpy(p + 8, "CDDA", 4);
  std::memcpy(p + 12, "fmt ", 4);
  Put32(p + 16, kFormatBytes);
  Put16(p + 20, kCdaVersion);
  Put16(p + 22, track.trackNumber);
  Put32(p + 24, track.serial);
  Put32(p + 28, track.startLba);
  Put32(p + 32, track.lengthSectors);
  PutMsf(p + 36, AddressOf(track.startLba));
  PutMsf(p + 40, track.lengthSectors);
  return bytes;
}

bool ParseCdaFile(const std::uint8_t* data, std::size_t size, CdaTrack* track) {
  if (!data || size != kCdaFileBytes) return false;
  if (std::memcmp(data, "RIFF", 4) != 0 || Get32(data + 4) != kRiffBodyBytes ||
      std::memcmp(data + 8, "CDDA", 4) != 0 || std::memcmp(data + 12, "fmt ", 4) != 0 ||
      Get32(data + 16) != kFormatBytes || Get16(data + 20) != kCdaVersion) {
    return false;
  }
  CdaTrack parsed;
  parsed.trackNumber = Get16(data + 22);
  parsed.serial = Get32(data + 24);
  parsed.startLba = Get32(data + 28);
  parsed.lengthSectors = Get32(data + 32);
  // A track of a real disc: numbered 1..99, not empty, and ending where a
  // CD can still address it.
  const std::uint64_t end =
      std::uint64_t{kLeadInSectors} + parsed.startLba + parsed.lengthSectors;
  if (parsed.trackNumber < 1 || parsed.trackNumber > kMaxTracks || parsed.lengthSectors == 0 ||
      end > std::uint64_t{kMaxAddress} + 1 ||
      !MsfMatches(data + 36, static_cast<std::uint64_t>(parsed.startLba) + kLeadInSectors) ||
      !MsfMatches(data + 40, parsed.lengthSectors)) {
    return false;
  }
  *track = parsed;
  return true;
}

std::wstring CdaFileName(int trackNumber) {
  std::wstring name = L"Track";
  if (trackNumber >= 0 && trackNumber < 10) name += L'0';
  return name + std::to_wstring(trackNumber) + L".cda";
}

}  // namespace mediaengine
