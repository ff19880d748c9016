#pragma once
// Lets a disc be ripped by several threads in batches (runs of a track's
// codec frames) while it is still read and written in order: a batch is
// read while the order's reading lock is held, so the disc is read from one
// place at a time, front to back; batches are coded side by side and
// written in the order they were read, so tracks finish and enter the
// library in disc order. A batch coded before its turn is parked (up to a
// few), and the thread that writes the batch before it writes it too: the
// thread that coded it goes on to the next one instead of waiting (a
// track's short last batch would otherwise leave its thread idle while the
// other codes a whole one). Once something fails or the rip is stopped no
// further batch is read or written.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>

namespace mediaengine {

class RipOrder {
 public:
  // At most `parkable` batches wait coded for their turn.
  explicit RipOrder(int parkable = 0) : parkable_(parkable) {}

  // The next batch's number (from 1), once `read` has filled it; 0 when
  // `read` finds nothing left or the order halted.
  int Take(const std::function<bool()>& read);

  enum class Turn {
    Write,   // every earlier batch is done: the caller writes this one
    Parked,  // `park` kept it (called under the order's lock): the caller goes on
    Halted,  // given up: nothing is written any more
  };
  // Hands in a coded batch; blocks while it is neither its turn nor is
  // there room to park it.
  Turn HandIn(int batch, const std::function<void()>& park);
  // The batch is done (written or given up): the next one may be written.
  // Returns the next batch when it is parked (`unpark` gets its number under
  // the order's lock) for the caller to write now, else 0.
  int Done(int batch, const std::function<void(int)>& unpark = nullptr);
  // Something failed or the rip was stopped: nothing more is read, and
  // batches waiting for their turn give up.
  void Halt();
  bool Halted() const { return halted_; }

 private:
  const int parkable_;
  std::mutex reading_;
  int taken_ = 0;
  std::mutex mutex_;
  std::condition_variable turn_;
  int front_ = 1;        // first batch not yet done
  std::set<int> parked_;
  std::atomic<bool> halted_{false};
};

}  // namespace mediaengine
