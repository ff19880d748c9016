#include "mediaengine/base/event_queue.h"

namespace mediaengine {

void EventQueue::SetWakeUp(std::function<void()> wakeUp) {
  std::lock_guard<std::mutex> lock(mutex_);
  wakeUp_ = std::move(wakeUp);
}

void EventQueue::Post(Task task) {
  std::function<void()> wakeUp;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
    wakeUp = wakeUp_;
  }
  if (wakeUp) wakeUp();
}

int EventQueue::Drain() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (draining_) return 0;
    draining_ = true;
  }
  // A task that throws ends this drain, not the queue: the flag is cleared on
  // the way out, so the next drain runs the tasks after it.
  struct DrainingReset {
    EventQueue* queue;
    ~DrainingReset() {
      std::lock_guard<std::mutex> lock(queue->mutex_);
      queue->draining_ = false;
    }
  } reset{this};
  int ran = 0;
  for (;;) {
    Task task;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (tasks_.empty()) return ran;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
    ++ran;
  }
}

bool EventQueue::Empty() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return tasks_.empty();
}

}  // namespace mediaengine
