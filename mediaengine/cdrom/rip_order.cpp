#include "mediaengine/cdrom/rip_order.h"

namespace mediaengine {

int RipOrder::Take(const std::function<bool()>& read) {
  std::lock_guard<std::mutex> lock(reading_);
  if (halted_ || !read()) return 0;
  return ++taken_;
}

bool RipOrder::WaitTurn(int batch) {
  std::unique_lock<std::mutex> lock(mutex_);
  turn_.wait(lock, [&] { return halted_ || front_ >= batch; });
  return front_ == batch && !halted_;
}

void RipOrder::Done(int batch) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (batch != front_) return;
  ++front_;
  turn_.notify_all();
}

void RipOrder::Halt() {
  std::lock_guard<std::mutex> lock(mutex_);
  halted_ = true;
  turn_.notify_all();
}

}  // namespace mediaengine
