#pragma once
// Clock port: wall time, the local-time conversion of file times, and the
// blocking waits the tool makes on its user-interface thread.
#include <cstdint>

#include "os/file_system.h"

namespace os {

// SYSTEMTIME fields.
struct CalendarTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int milliseconds = 0;
};

class IClock {
 public:
  virtual ~IClock() = default;
  // time(): seconds since 1970-01-01 UTC.
  virtual std::int64_t SecondsSince1970() = 0;
  // FileTimeToLocalFileTime.
  virtual FileTime ToLocalFileTime(FileTime utc) = 0;
  // mktime over a local calendar time: seconds since 1970; -1 when it cannot
  // be represented.
  virtual std::int64_t LocalCalendarToSeconds(const CalendarTime& local) = 0;
  // Sleep: blocks the calling thread.
  virtual void Wait(std::uint32_t milliseconds) = 0;
};

// FileTimeToSystemTime: pure calendar arithmetic (proleptic Gregorian).
CalendarTime CalendarOfFileTime(FileTime time);
// The inverse, for tests and fakes.
FileTime FileTimeOfCalendar(const CalendarTime& time);

constexpr std::int64_t kFileTimeTicksPerSecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

// The FILETIME of a time() value.
constexpr FileTime FileTimeOfSecondsSince1970(std::int64_t seconds) {
  return static_cast<FileTime>((seconds + kSecondsFrom1601To1970) * kFileTimeTicksPerSecond);
}

}  // namespace os
