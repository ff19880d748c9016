#pragma once
// Lets the tracks of a disc be encoded side by side (one per worker thread)
// while they still finish in disc order: a track waits for its turn before
// it goes into the library, only the first unfinished track shows its
// progress, and once something fails or the rip is stopped no further track
// is started or taken in.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

namespace mediaengine {

class RipOrder {
 public:
  // `show` (track, percent) is called under the order's lock, so what it
  // shows can never overtake a later status of the same track.
  RipOrder(int trackCount, std::function<void(int, int)> show);

  // The next track to encode (from 1), or 0 when none is left or it halted.
  int Take();
  // Records a track's percent and shows it when the track is the first
  // unfinished one.
  void Report(int number, int percent);
  // Blocks until every earlier track is done; false when it halted instead.
  bool WaitTurn(int number);
  // The track is done (taken in, failed or given up). When it was its turn
  // and nothing halted, the next track becomes the first unfinished one and,
  // if it has started, shows 0 and then its last percent.
  void Done(int number);
  // Something failed or the rip was stopped: no more tracks are handed out,
  // nothing more is shown and tracks waiting for their turn give up.
  void Halt();
  bool Halted() const { return halted_; }

 private:
  const int count_;
  const std::function<void(int, int)> show_;
  std::mutex mutex_;
  std::condition_variable turn_;
  int nextToTake_ = 1;
  int front_ = 1;  // first track not yet done
  std::vector<int> percent_;
  std::atomic<bool> halted_{false};
};

}  // namespace mediaengine
