#pragma once
// Which Windows the tool runs on, as the one number the start-up and the
// settings store decide by.
#include <cstdint>

#include "os/system.h"

namespace app {

constexpr std::int32_t kOsLevelUnsupported = 0;
constexpr std::int32_t kOsLevelWindows98 = 6;
constexpr std::int32_t kOsLevelWindows98SE = 7;
constexpr std::int32_t kOsLevelWindowsMe = 8;
constexpr std::int32_t kOsLevelWindows2000 = 9;
constexpr std::int32_t kOsLevelWindowsXP = 10;
constexpr std::int32_t kOsLevelServer2003 = 11;  // also XP x64
constexpr std::int32_t kOsLevelLaterNt = 255;

// Level of the version record (OSVERSIONINFO fields).
std::int32_t ClassifyOs(const os::OsVersion& version);
// Level of the running system.
std::int32_t ClassifyOs(os::ISystem& system);
// XP, Server 2003 and every later NT version.
bool IsAcceptedOsLevel(std::int32_t level);

}  // namespace app
