#include "fakes/fake_clock.h"

namespace fakes {
namespace {
constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kEpochDifference = 11'644'473'600;  // 1601 → 1970, seconds
}  // namespace

os::FileTime FileTimeOfUnixSeconds(std::int64_t seconds) {
  return static_cast<os::FileTime>((seconds + kEpochDifference) * kTicksPerSecond);
}

os::FileTime FakeClock::ToLocalFileTime(os::FileTime utc) {
  return static_cast<os::FileTime>(static_cast<std::int64_t>(utc) + offset_ * kTicksPerSecond);
}

std::int64_t FakeClock::LocalCalendarToSeconds(const os::CalendarTime& local) {
  if (local.year < 1970) return -1;
  const os::FileTime asUtc = os::FileTimeOfCalendar(local);
  return static_cast<std::int64_t>(asUtc / kTicksPerSecond) - kEpochDifference - offset_;
}

void FakeClock::Wait(std::uint32_t milliseconds) {
  waits_.push_back(milliseconds);
  pendingMilliseconds_ += milliseconds;
  now_ += pendingMilliseconds_ / 1000;
  pendingMilliseconds_ %= 1000;
}

}  // namespace fakes
