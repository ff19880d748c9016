#pragma once
// Copies one file onto a player so that the player holds either the whole,
// verified file or nothing: the bytes go to a temporary name, are flushed,
// read back and compared with the source, and only then renamed into place.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
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

class FileCopier {
 public:
  explicit FileCopier(os::IFileSystem& files, std::uint32_t chunkBytes = kDefaultChunkBytes);

  // Pieces of a quarter megabyte: measured under Wine, writing 1-MB pieces
  // took about three times as long and a whole synchronisation about a sixth
  // longer; each piece is still a whole number of sectors for the uncached
  // read-back.
  static constexpr std::uint32_t kDefaultChunkBytes = 256u << 10;

  // Copies `source` to `target` by way of `temporary`; an existing `target`
  // is replaced only with `replace`, else the copy fails. `stop` is looked
  // at between chunks; `copied` is told the bytes written so far. On any
  // outcome but Copied the temporary file is deleted (as far as the device
  // still answers) and `target` is untouched.
  CopyResult Copy(const std::wstring& source, const std::wstring& temporary,
                  const std::wstring& target, bool replace, const std::atomic<bool>& stop,
                  const std::function<void(std::uint64_t)>& copied);

  // True when both files can be read and hold the same bytes; with
  // `deviceBytes` `b` is read past the system's cache, as its device stores it.
  bool SameContent(const std::wstring& a, const std::wstring& b, bool deviceBytes = false);

 private:
  CopyResult WriteTemporary(const std::wstring& source, const std::wstring& temporary,
                            const std::atomic<bool>& stop,
                            const std::function<void(std::uint64_t)>& copied);

  os::IFileSystem& files_;
  std::vector<std::uint8_t> first_;
  SectorAlignedBuffer second_;
};

}  // namespace mediaengine
