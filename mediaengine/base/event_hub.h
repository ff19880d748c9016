#pragma once
// The player's connection point: the advised sinks and the raising of events
// through the event queue, so sinks are always called on the player's thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "mediaengine/base/event_queue.h"
#include "engine/model/events.h"

namespace mediaengine {

class EventHub {
 public:
  explicit EventHub(EventQueue& queue) : queue_(queue) {}
  ~EventHub() { Close(); }
  EventHub(const EventHub&) = delete;
  EventHub& operator=(const EventHub&) = delete;

  wmp::HResult Advise(wmp::PlayerEventsPtr sink, std::uint32_t* cookie);
  wmp::HResult Unadvise(std::uint32_t cookie);
  // Stops all delivery, also of events already queued (the player closed).
  void Close();

  // Queues one event for every sink advised when it is delivered. Callable
  // from any thread; `event` must capture its arguments by value (keep
  // objects alive with shared_ptr captures).
  void Raise(std::function<void(wmp::IPlayerEvents&)> event);

 private:
  void Deliver(const std::function<void(wmp::IPlayerEvents&)>& event);

  EventQueue& queue_;
  std::mutex mutex_;
  std::map<std::uint32_t, wmp::PlayerEventsPtr> sinks_;
  std::uint32_t nextCookie_ = 1;
  std::shared_ptr<std::atomic<bool>> open_ = std::make_shared<std::atomic<bool>>(true);
};

}  // namespace mediaengine
