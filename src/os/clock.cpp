#include "os/clock.h"

namespace os {
namespace {

constexpr std::uint64_t kTicksPerMillisecond = 10'000;
constexpr std::uint64_t kTicksPerDay = 864'000'000'000ULL;

// Days from 1601-01-01 to the date (civil calendar, after H. Hinnant).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const std::int64_t daysSince1970 = era * 146097 + static_cast<std::int64_t>(doe) - 719468;
  return daysSince1970 + 134774;  // 1601-01-01 .. 1970-01-01
}

}  // namespace

CalendarTime CalendarOfFileTime(FileTime time) {
  const std::int64_t days = static_cast<std::int64_t>(time / kTicksPerDay) - 134774;
  std::uint64_t rest = time % kTicksPerDay;
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  CalendarTime out;
  out.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  out.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  out.year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (out.month <= 2));
  const std::uint64_t ms = rest / kTicksPerMillisecond;
  out.milliseconds = static_cast<int>(ms % 1000);
  out.second = static_cast<int>((ms / 1000) % 60);
  out.minute = static_cast<int>((ms / 60000) % 60);
  out.hour = static_cast<int>(ms / 3600000);
  return out;
}

FileTime FileTimeOfCalendar(const CalendarTime& t) {
  const std::int64_t days = DaysFromCivil(t.year, static_cast<unsigned>(t.month),
                                          static_cast<unsigned>(t.day));
  const std::uint64_t ms = ((static_cast<std::uint64_t>(t.hour) * 60 + t.minute) * 60 + t.second) *
                               1000 + t.milliseconds;
  return static_cast<std::uint64_t>(days) * kTicksPerDay + ms * kTicksPerMillisecond;
}

}  // namespace os
