// TrackNN.cda: what parses is exactly what the writer writes for it, and a
// track the writer is given parses back exactly when a CD can hold it.
#include <cstring>

#include "fuzz/fuzz_check.h"
#include "mediaengine/disc/cd_audio.h"
#include "mediaengine/disc/cda_file.h"

using mediaengine::CdaTrack;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CdaTrack parsed;
  if (mediaengine::ParseCdaFile(data, size, &parsed)) {
    const auto built = mediaengine::BuildCdaFile(parsed);
    FUZZ_CHECK(size == built.size() && std::memcmp(built.data(), data, size) == 0);
  }

  // The same bytes taken as the fields of a track given to the writer.
  if (size >= 14) {
    CdaTrack track;
    track.trackNumber = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
    std::memcpy(&track.serial, data + 2, 4);
    std::memcpy(&track.startLba, data + 6, 4);
    std::memcpy(&track.lengthSectors, data + 10, 4);
    if (data[0] & 0x80) track.startLba %= mediaengine::kMaxAddress;  // mostly near real discs
    if (data[1] & 0x80) track.lengthSectors %= 4 * 60 * 75;
    const std::uint64_t end = std::uint64_t{mediaengine::kLeadInSectors} + track.startLba +
                              track.lengthSectors;
    const bool fits = track.trackNumber >= 1 && track.trackNumber <= mediaengine::kMaxTracks &&
                      track.lengthSectors > 0 && end <= mediaengine::kMaxAddress + 1ull;
    const auto bytes = mediaengine::BuildCdaFile(track);
    CdaTrack back;
    const bool read = mediaengine::ParseCdaFile(bytes.data(), bytes.size(), &back);
    FUZZ_CHECK(read == fits);
    FUZZ_CHECK(!read || back == track);
  }
  return 0;
}
