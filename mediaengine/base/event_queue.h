#pragma once
// Work handed from engine worker threads to the thread that owns the player.
// Workers Post; the owner thread runs what is queued when it is woken (a
// window message on Win32, an explicit Drain in native tests). Events thus
// reach sinks one at a time, on the player's thread, in the order posted.
#include <deque>
#include <functional>
#include <mutex>

namespace mediaengine {

class EventQueue {
 public:
  using Task = std::function<void()>;

  // Called after each Post from any thread; must only schedule a Drain.
  void SetWakeUp(std::function<void()> wakeUp);
  void Post(Task task);
  // Runs every task queued so far, including ones posted while draining.
  // Returns how many ran. Re-entrant calls (a sink that pumps messages)
  // return at once; the outer drain carries on. An exception of a task passes
  // to the caller; the tasks behind it stay queued for the next Drain.
  int Drain();
  bool Empty() const;

 private:
  mutable std::mutex mutex_;
  std::deque<Task> tasks_;
  std::function<void()> wakeUp_;
  bool draining_ = false;
};

}  // namespace mediaengine
