#include "os/win32/win32_clock.h"

#include <windows.h>

#include <ctime>

namespace os::win32 {

std::int64_t Win32Clock::SecondsSince1970() { return static_cast<std::int64_t>(std::time(nullptr)); }

FileTime Win32Clock::ToLocalFileTime(FileTime utc) {
  FILETIME in, out;
  in.dwLowDateTime = static_cast<DWORD>(utc);
  in.dwHighDateTime = static_cast<DWORD>(utc >> 32);
  if (!FileTimeToLocalFileTime(&in, &out)) return utc;
  return (static_cast<std::uint64_t>(out.dwHighDateTime) << 32) | out.dwLowDateTime;
}

std::int64_t Win32Clock::LocalCalendarToSeconds(const CalendarTime& local) {
  std::tm tm = {};
  tm.tm_year = local.year - 1900;
  tm.tm_mon = local.month - 1;
  tm.tm_mday = local.day;
  tm.tm_hour = local.hour;
  tm.tm_min = local.minute;
  tm.tm_sec = local.second;
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(_mktime64(&tm));
}

void Win32Clock::Wait(std::uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace os::win32
