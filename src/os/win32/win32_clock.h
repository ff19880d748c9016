#pragma once
// The clock port over the C runtime and kernel32.
#include "os/clock.h"

namespace os::win32 {

class Win32Clock : public IClock {
 public:
  std::int64_t SecondsSince1970() override;
  FileTime ToLocalFileTime(FileTime utc) override;
  std::int64_t LocalCalendarToSeconds(const CalendarTime& local) override;
  void Wait(std::uint32_t milliseconds) override;
};

}  // namespace os::win32
