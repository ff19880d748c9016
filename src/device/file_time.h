#pragma once
// A file time as the transfer's time window compares it.
#include <cstdint>

#include "os/clock.h"

namespace device {

// The UTC file time in local time, as seconds since 1970 through the local
// calendar; 0 for a local year before 1900, -1 when the calendar cannot say.
std::int64_t LocalSecondsOfFileTime(os::IClock& clock, os::FileTime utc);

}  // namespace device
