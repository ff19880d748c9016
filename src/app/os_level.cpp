#include "app/os_level.h"

namespace app {
namespace {

constexpr std::uint32_t kPlatformWin9x = 1;  // VER_PLATFORM_WIN32_WINDOWS
constexpr std::uint32_t kPlatformNt = 2;     // VER_PLATFORM_WIN32_NT

// The 9x family keeps major.minor in the high word of the build number.
constexpr std::uint32_t kBuildWindows98 = 0x040A;  // 4.10
constexpr std::uint32_t kBuildWindowsMe = 0x045A;  // 4.90

std::int32_t ClassifyWin9x(const os::OsVersion& version) {
  if (version.major != 4) return kOsLevelUnsupported;
  const std::uint32_t highWord = (version.build >> 16) & 0xFFFF;
  if (highWord == kBuildWindows98) {
    // Second Edition says so with " A " as its service-pack text.
    const bool secondEdition = version.servicePack.size() >= 2 && version.servicePack[1] == L'A';
    return secondEdition ? kOsLevelWindows98SE : kOsLevelWindows98;
  }
  if (highWord == kBuildWindowsMe) return kOsLevelWindowsMe;
  return kOsLevelUnsupported;
}

std::int32_t ClassifyNt(const os::OsVersion& version) {
  if (version.major < 5) return kOsLevelUnsupported;
  if (version.major > 5) return kOsLevelLaterNt;
  switch (version.minor) {
    case 0:
      return kOsLevelWindows2000;
    case 1:
      return kOsLevelWindowsXP;
    case 2:
      return kOsLevelServer2003;
    default:
      return kOsLevelLaterNt;
  }
}

}  // namespace

std::int32_t ClassifyOs(const os::OsVersion& version) {
  switch (version.platformId) {
    case kPlatformWin9x:
      return ClassifyWin9x(version);
    case kPlatformNt:
      return ClassifyNt(version);
    default:
      return kOsLevelUnsupported;
  }
}

std::int32_t ClassifyOs(os::ISystem& system) { return ClassifyOs(system.Version()); }

bool IsAcceptedOsLevel(std::int32_t level) {
  return level == kOsLevelWindowsXP || level == kOsLevelServer2003 || level == kOsLevelLaterNt;
}

}  // namespace app
