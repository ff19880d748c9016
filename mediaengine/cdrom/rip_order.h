#pragma once
// Lets a disc be ripped by several threads in batches (runs of a track's
// codec frames) while it is still read and written in order: a batch is
// read while the order's reading lock is held, so the disc is read from one
// place at a time, front to back; batches are coded side by side and each
// waits for its turn to be written, so tracks finish and enter the library
// in disc order. Once something fails or the rip is stopped no further
// batch is read or written.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace mediaengine {

class RipOrder {
 public:
  // The next batch's number (from 1), once `read` has filled it; 0 when
  // `read` finds nothing left or the order halted.
  int Take(const std::function<bool()>& read);
  // Blocks until every earlier batch is done; false when it halted instead.
  bool WaitTurn(int batch);
  // The batch is done (written or given up): the next one may be written.
  void Done(int batch);
  // Something failed or the rip was stopped: nothing more is read, and
  // batches waiting for their turn give up.
  void Halt();
  bool Halted() const { return halted_; }

 private:
  std::mutex reading_;
  int taken_ = 0;
  std::mutex mutex_;
  std::condition_variable turn_;
  int front_ = 1;  // first batch not yet done
  std::atomic<bool> halted_{false};
};

}  // namespace mediaengine
