#include "mediaengine/cdrom/rip_order.h"

namespace mediaengine {

RipOrder::RipOrder(int trackCount, std::function<void(int, int)> show)
    : count_(trackCount),
      show_(std::move(show)),
      percent_(static_cast<std::size_t>(trackCount > 0 ? trackCount : 0) + 1, 0) {}

int RipOrder::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (halted_ || nextToTake_ > count_) return 0;
  return nextToTake_++;
}

void RipOrder::Report(int number, int percent) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (number < 1 || number > count_) return;
  percent_[static_cast<std::size_t>(number)] = percent;
  if (number == front_ && !halted_) show_(number, percent);
}

bool RipOrder::WaitTurn(int number) {
  std::unique_lock<std::mutex> lock(mutex_);
  turn_.wait(lock, [&] { return halted_ || front_ >= number; });
  return front_ == number && !halted_;
}

void RipOrder::Done(int number) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (number != front_) return;
  ++front_;
  turn_.notify_all();
  if (halted_ || front_ > count_ || front_ >= nextToTake_) return;
  // Shown from its start, as a track ripped alone would be.
  const int percent = percent_[static_cast<std::size_t>(front_)];
  show_(front_, 0);
  if (percent > 0) show_(front_, percent);
}

void RipOrder::Halt() {
  std::lock_guard<std::mutex> lock(mutex_);
  halted_ = true;
  turn_.notify_all();
}

}  // namespace mediaengine
