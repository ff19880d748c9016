#pragma once
// A clock the test sets: UTC seconds, a fixed local offset, and waits that
// are recorded and advance the time instead of blocking.
#include <cstdint>
#include <vector>

#include "os/clock.h"

namespace fakes {

class FakeClock : public os::IClock {
 public:
  void SetNow(std::int64_t secondsSince1970) { now_ = secondsSince1970; }
  // Local time = UTC + offset (no daylight saving).
  void SetLocalOffset(std::int64_t seconds) { offset_ = seconds; }
  const std::vector<std::uint32_t>& Waits() const { return waits_; }

  std::int64_t SecondsSince1970() override { return now_; }
  os::FileTime ToLocalFileTime(os::FileTime utc) override;
  std::int64_t LocalCalendarToSeconds(const os::CalendarTime& local) override;
  void Wait(std::uint32_t milliseconds) override;

 private:
  std::int64_t now_ = 1'700'000'000;
  std::int64_t offset_ = 0;
  std::int64_t pendingMilliseconds_ = 0;
  std::vector<std::uint32_t> waits_;
};

}  // namespace fakes
