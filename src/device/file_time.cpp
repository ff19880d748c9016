#include "device/file_time.h"

namespace device {

namespace {
// The calendar conversion counts years from here.
constexpr int kFirstCalendarYear = 1900;
}  // namespace

std::int64_t LocalSecondsOfFileTime(os::IClock& clock, os::FileTime utc) {
  const os::CalendarTime local = os::CalendarOfFileTime(clock.ToLocalFileTime(utc));
  if (local.year < kFirstCalendarYear) return 0;
  return clock.LocalCalendarToSeconds(local);
}

}  // namespace device
