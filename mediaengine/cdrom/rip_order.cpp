#include "mediaengine/cdrom/rip_order.h"

namespace mediaengine {

int RipOrder::Take(const std::function<bool()>& read) {
  std::lock_guard<std::mutex> lock(reading_);
  if (halted_ || !read()) return 0;
  return ++taken_;
}

RipOrder::Turn RipOrder::HandIn(int batch, const std::function<void()>& park) {
  std::unique_lock<std::mutex> lock(mutex_);
  turn_.wait(lock, [&] {
    return halted_ || front_ == batch || static_cast<int>(parked_.size()) < parkable_;
  });
  if (halted_) return Turn::Halted;
  if (front_ == batch) return Turn::Write;
  park();
  parked_.insert(batch);
  return Turn::Parked;
}

int RipOrder::Done(int batch, const std::function<void(int)>& unpark) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (batch != front_) return 0;
  ++front_;
  turn_.notify_all();
  if (halted_ || parked_.erase(front_) == 0) return 0;
  if (unpark) unpark(front_);
  return front_;
}

void RipOrder::Halt() {
  std::lock_guard<std::mutex> lock(mutex_);
  halted_ = true;
  turn_.notify_all();
}

}  // namespace mediaengine
