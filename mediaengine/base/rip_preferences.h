#pragma once
// The rip preferences the engine honours, read from the current user's
// media player preferences when a rip starts, and the file names they give.
#include <cstdint>
#include <string>

#include "os/registry.h"

namespace mediaengine {

struct RipPreferences {
  std::wstring recordPath;      // CDRecordPath: root of the ripped library
  std::wstring fileDetail;      // CDRecordFileDetail: "*Field;*Field;Field;..."
  std::wstring fileSeparator;   // CDRecordFileSeparator
  std::uint32_t wmaRate = 0;    // WMARecordRate, bits per second
};

// Fills what the registry holds; values that are missing or of another
// type keep the defaults (music folder given by the caller, track number and
// title, one space, 64 kbit/s).
RipPreferences ReadRipPreferences(os::IRegistry& registry, const std::wstring& musicFolder);

// The bit-rate class the engine encodes in: 128000 for rates of 128 kbit/s
// and above, 64000 otherwise.
std::uint32_t RateClassOf(std::uint32_t wmaRate);

struct TrackNaming {
  std::wstring trackNumber;  // two digits, "01"
  std::wstring title;
  std::wstring artist;
  std::wstring album;
  std::wstring genre;
  std::wstring bitrate;      // "64kbps"
};

// File name (without folder, with ".wma") from the starred fields of the
// detail pattern, joined by the separator, made safe for the file system.
std::wstring RipFileName(const std::wstring& fileDetail, const std::wstring& separator,
                         const TrackNaming& track);

// A folder or file name safe on the file system: characters Windows forbids
// become "_", trailing dots and spaces go, and an empty result becomes "_".
std::wstring SafeFileName(const std::wstring& name);

}  // namespace mediaengine
