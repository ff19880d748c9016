#include "fakes/fake_clock.h"

namespace fakes {
namespace {
constexpr std::int64_t kTicksPerSecond = os::kFileTimeTicksPerSecond;
constexpr std::int64_t kEpochDifference = os::kSecondsFrom1601To1970;
}  // namespace

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
