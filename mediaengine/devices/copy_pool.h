#pragma once
// Helper threads that copy files onto a player, several at once, so that one
// file's flush (which waits for the device) overlaps the reading, writing
// and checking of the next ones. Each copy is read whole from the source and
// goes through VerifiedCopy, checked against the bytes it was written from. A device keeps its pool for its lifetime; the threads
// start when the device is readied for synchronising (or as copies wait for
// one) and keep their buffers for the next copy.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "mediaengine/devices/file_copier.h"
#include "os/file_system.h"

namespace mediaengine {

class CopyPool {
 public:
  struct Copy {
    std::size_t item = 0;  // the run's number for it
    std::wstring source;
    std::wstring temporary;
    std::wstring target;
    bool replace = false;  // the target holds the same track, which makes way
  };
  // Told once a handed copy is settled: Copied when the target holds it,
  // else why not. Called on a helper thread, one call at a time.
  using Settled = std::function<void(std::size_t item, std::uint64_t bytes, const CopyResult&)>;

  static constexpr int kThreads = 4;

  CopyPool(os::IFileSystem& files, std::uint32_t chunkBytes, int threads = kThreads);
  ~CopyPool();
  CopyPool(const CopyPool&) = delete;
  CopyPool& operator=(const CopyPool&) = delete;

  // Starts the threads that are not running yet, so that a run does not
  // wait for them.
  void StartThreads();
  // Starts a run: copies are written while `stop` is not set (one under way
  // when it is set is given up, Stopped), and settle through `settled`.
  void Begin(const std::atomic<bool>& stop, Settled settled);
  // Waits until another copy may be handed (a few wait besides the running ones).
  void WaitForRoom();
  void Hand(Copy copy);
  // Waits until every handed copy is settled.
  void WaitUntilIdle();
  // Waits until every handed copy is settled and ends the run.
  void End();

 private:
  void Work();
  std::uint64_t Run(const Copy& copy, std::vector<std::uint8_t>& bytes,
                    SectorAlignedBuffer& scratch, CopyResult* result);

  os::IFileSystem& files_;
  const std::uint32_t chunkBytes_;
  const std::size_t maxThreads_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Copy> waiting_;
  std::size_t busy_ = 0;
  bool closing_ = false;
  const std::atomic<bool>* stop_ = nullptr;
  Settled settled_;
  std::mutex settledMutex_;
  std::vector<std::thread> threads_;
};

}  // namespace mediaengine
