#include "mediaengine/base/event_hub.h"

#include <vector>

namespace mediaengine {

wmp::HResult EventHub::Advise(wmp::PlayerEventsPtr sink, std::uint32_t* cookie) {
  if (!cookie) return wmp::kPointer;
  if (!sink) return wmp::kInvalidArg;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!*open_) return wmp::kFail;
  *cookie = nextCookie_++;
  sinks_[*cookie] = std::move(sink);
  return wmp::kOk;
}

wmp::HResult EventHub::Unadvise(std::uint32_t cookie) {
  std::lock_guard<std::mutex> lock(mutex_);
  return sinks_.erase(cookie) ? wmp::kOk : wmp::kInvalidArg;
}

void EventHub::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  *open_ = false;
  sinks_.clear();
}

void EventHub::Raise(std::function<void(wmp::IPlayerEvents&)> event) {
  std::shared_ptr<std::atomic<bool>> open;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!*open_) return;
    open = open_;
  }
  // The flag outlives the hub's closing, so a queued event of a closed
  // player is dropped instead of reaching a sink that was let go.
  queue_.Post([this, open, event = std::move(event)] {
    if (*open) Deliver(event);
  });
}

void EventHub::Deliver(const std::function<void(wmp::IPlayerEvents&)>& event) {
  std::vector<wmp::PlayerEventsPtr> sinks;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& entry : sinks_) sinks.push_back(entry.second);
  }
  for (const auto& sink : sinks) event(*sink);
}

}  // namespace mediaengine
