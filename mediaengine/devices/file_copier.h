#pragma once
// Copies one file onto a player so that the player holds either the whole,
// verified file or nothing: the bytes go to a temporary name, are flushed,
// read back and compared with the source, and only then renamed into place;
// a pool of threads runs several such copies at once.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "os/file_system.h"

namespace mediaengine {

enum class CopyOutcome {
  Copied,
  Stopped,       // asked to stop; nothing left behind
  SourceFailed,  // the source could not be read
  DeviceFull,
  ReadOnly,      // the device or the file there refuses writing
  WriteFailed,   // any other failure on the device
  VerifyFailed,  // the copy read back differs from the source
};

struct CopyResult {
  CopyOutcome outcome = CopyOutcome::Copied;
  os::ErrorCode error = os::kSuccess;
};

// Memory for reading a copy back, aligned for any sector size: an uncached
// read of whole sectors goes straight into it instead of by way of the
// stream's own buffer, which saves copying every byte once more.
class SectorAlignedBuffer {
 public:
  static constexpr std::size_t kAlignment = 4096;

  explicit SectorAlignedBuffer(std::size_t size) : memory_(size + kAlignment), size_(size) {}

  std::uint8_t* data() {
    const auto address = reinterpret_cast<std::uintptr_t>(memory_.data());
    return memory_.data() + (kAlignment - address % kAlignment) % kAlignment;
  }
  std::size_t size() const { return size_; }

 private:
  std::vector<std::uint8_t> memory_;
  std::size_t size_;
};

// What a failed write on the device means.
CopyOutcome OutcomeOfWriteError(os::ErrorCode error);

// The bytes of a copy in order: once for writing, once more for the check.
// Either a file held whole in memory (read once), or a file read piece by
// piece into a buffer (read again for the check).
class CopySource {
 public:
  // `bytes` is the caller's memory, kept from copy to copy.
  explicit CopySource(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

  // Holds the whole of `path` in memory.
  os::ErrorCode Load(os::IFileSystem& files, const std::wstring& path);
  // Reads `path` as the copy goes.
  void Stream(os::IFileSystem& files, const std::wstring& path);

  // Starts a pass from the first byte.
  os::ErrorCode Rewind();
  // Bytes in all (streaming: after Rewind).
  std::uint64_t Size() const;
  // The next `size` bytes, fewer only at the end (none there); valid until
  // the next call.
  os::ErrorCode Next(std::uint32_t size, const std::uint8_t** piece, std::uint32_t* got);

 private:
  std::vector<std::uint8_t>& bytes_;
  os::IFileSystem* files_ = nullptr;  // set while streaming
  std::wstring path_;
  std::unique_ptr<os::IFileStream> stream_;
  std::size_t offset_ = 0;
};

// The one way a file goes onto a player: the bytes of `source` go to
// `temporary` in pieces of `chunkBytes` and are flushed, then read back past
// the system's cache into `scratch` and compared, and only then renamed to
// `target` (an existing one is replaced only with `replace`, else the copy
// fails). `stopped` is asked between pieces; `copied` is told the bytes
// written so far. On any outcome but Copied the temporary file is deleted
// (as far as the device still answers) and `target` is untouched.
CopyResult VerifiedCopy(os::IFileSystem& files, CopySource& source, const std::wstring& temporary,
                        const std::wstring& target, bool replace, std::uint32_t chunkBytes,
                        SectorAlignedBuffer& scratch, const std::function<bool()>& stopped,
                        const std::function<void(std::uint64_t)>& copied = nullptr);

// A copy from a source file read piece by piece, for files too big to hold.
class FileCopier {
 public:
  explicit FileCopier(os::IFileSystem& files, std::uint32_t chunkBytes = kDefaultChunkBytes);

  // Pieces of a quarter megabyte: measured under Wine, writing 1-MB pieces
  // took about three times as long and a whole synchronisation about a sixth
  // longer; each piece is still a whole number of sectors for the uncached
  // read-back.
  static constexpr std::uint32_t kDefaultChunkBytes = 256u << 10;

  // VerifiedCopy of `source`; `stop` is looked at between chunks.
  CopyResult Copy(const std::wstring& source, const std::wstring& temporary,
                  const std::wstring& target, bool replace, const std::atomic<bool>& stop,
                  const std::function<void(std::uint64_t)>& copied);

  // True when both files can be read and hold the same bytes; with
  // `deviceBytes` `b` is read past the system's cache, as its device stores it.
  bool SameContent(const std::wstring& a, const std::wstring& b, bool deviceBytes = false);

 private:
  os::IFileSystem& files_;
  const std::uint32_t chunkBytes_;
  std::vector<std::uint8_t> piece_;
  SectorAlignedBuffer scratch_;
};

// Helper threads that copy files onto a player, several at once, so that one
// file's flush (which waits for the device) overlaps the reading, writing
// and checking of the next ones. Each copy is read whole from the source and
// goes through VerifiedCopy, checked against the bytes it was written from.
// A device keeps its pool for its lifetime; the threads start when the
// device is readied for synchronising (or as copies wait for one) and keep
// their buffers for the next copy.
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
