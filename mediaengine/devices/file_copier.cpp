#include "mediaengine/devices/file_copier.h"

#include <algorithm>
#include <cstring>

namespace mediaengine {
namespace {

// Reads until `size` bytes are in or the file ends.
os::ErrorCode ReadFully(os::IFileStream& stream, std::uint8_t* buffer, std::uint32_t size,
                        std::uint32_t* done) {
  *done = 0;
  while (*done < size) {
    std::uint32_t now = 0;
    const os::ErrorCode result = stream.Read(buffer + *done, size - *done, &now);
    if (result != os::kSuccess) return result;
    if (now == 0) break;
    *done += now;
  }
  return os::kSuccess;
}

CopyResult Write(os::IFileSystem& files, CopySource& source, const std::wstring& temporary,
                 std::uint32_t chunkBytes, const std::function<bool()>& stopped,
                 const std::function<void(std::uint64_t)>& copied) {
  os::ErrorCode error = source.Rewind();
  if (error != os::kSuccess) return {CopyOutcome::SourceFailed, error};
  std::unique_ptr<os::IFileStream> out;
  error = files.Open(temporary, os::OpenMode::CreateAlways, &out);
  if (error != os::kSuccess) return {OutcomeOfWriteError(error), error};
  for (std::uint64_t written = 0;;) {
    if (stopped()) return {CopyOutcome::Stopped, os::kSuccess};
    const std::uint8_t* piece = nullptr;
    std::uint32_t got = 0;
    error = source.Next(chunkBytes, &piece, &got);
    if (error != os::kSuccess) return {CopyOutcome::SourceFailed, error};
    if (got == 0) break;
    error = out->Write(piece, got);
    if (error != os::kSuccess) return {OutcomeOfWriteError(error), error};
    written += got;
    if (copied) copied(written);
  }
  error = out->Flush();
  if (error != os::kSuccess) return {OutcomeOfWriteError(error), error};
  if (stopped()) return {CopyOutcome::Stopped, os::kSuccess};
  return {};
}

// True when `back` holds the bytes of `expected`.
bool SameBytes(os::IFileStream& back, CopySource& expected, SectorAlignedBuffer& scratch) {
  if (expected.Rewind() != os::kSuccess || back.Size() != expected.Size()) return false;
  const std::uint64_t size = back.Size();
  for (std::uint64_t offset = 0; offset < size;) {
    // Whole sectors, the end of the file included, so that an uncached read
    // goes straight into the aligned memory.
    const std::uint64_t left = size - offset;
    const std::uint64_t sectors = (left + SectorAlignedBuffer::kAlignment - 1) /
                                  SectorAlignedBuffer::kAlignment * SectorAlignedBuffer::kAlignment;
    const auto want = static_cast<std::uint32_t>(std::min<std::uint64_t>(scratch.size(), sectors));
    const std::uint8_t* piece = nullptr;
    std::uint32_t got = 0, same = 0;
    if (back.Read(scratch.data(), want, &got) != os::kSuccess || got == 0 || got > left ||
        expected.Next(got, &piece, &same) != os::kSuccess || same != got ||
        std::memcmp(scratch.data(), piece, got) != 0) {
      return false;
    }
    offset += got;
  }
  return true;
}

}  // namespace

CopyOutcome OutcomeOfWriteError(os::ErrorCode error) {
  using namespace os;
  if (error == kErrorDiskFull || error == kErrorHandleDiskFull) return CopyOutcome::DeviceFull;
  if (error == kErrorAccessDenied || error == kErrorWriteProtect) return CopyOutcome::ReadOnly;
  return CopyOutcome::WriteFailed;
}

os::ErrorCode CopySource::Load(os::IFileSystem& files, const std::wstring& path) {
  files_ = nullptr;
  std::unique_ptr<os::IFileStream> stream;
  const os::ErrorCode error = files.Open(path, os::OpenMode::Read, &stream);
  if (error != os::kSuccess) return error;
  bytes_.resize(static_cast<std::size_t>(stream->Size()));
  std::uint32_t got = 0;
  const os::ErrorCode read =
      ReadFully(*stream, bytes_.data(), static_cast<std::uint32_t>(bytes_.size()), &got);
  if (read != os::kSuccess) return read;
  return got == bytes_.size() ? os::kSuccess : os::kErrorInvalidParameter;  // shorter than it said
}

void CopySource::Stream(os::IFileSystem& files, const std::wstring& path) {
  files_ = &files;
  path_ = path;
  stream_.reset();
}

os::ErrorCode CopySource::Rewind() {
  offset_ = 0;
  if (!files_) return os::kSuccess;
  stream_.reset();
  return files_->Open(path_, os::OpenMode::Read, &stream_);
}

std::uint64_t CopySource::Size() const {
  if (!files_) return bytes_.size();
  return stream_ ? stream_->Size() : 0;
}

os::ErrorCode CopySource::Next(std::uint32_t size, const std::uint8_t** piece,
                               std::uint32_t* got) {
  *piece = bytes_.data();
  if (files_) {
    if (!stream_) return os::kErrorInvalidHandle;
    if (bytes_.size() < size) bytes_.resize(size);
    return ReadFully(*stream_, bytes_.data(), size, got);
  }
  *got = static_cast<std::uint32_t>(std::min<std::size_t>(size, bytes_.size() - offset_));
  *piece += offset_;
  offset_ += *got;
  return os::kSuccess;
}

CopyResult VerifiedCopy(os::IFileSystem& files, CopySource& source, const std::wstring& temporary,
                        const std::wstring& target, bool replace, std::uint32_t chunkBytes,
                        SectorAlignedBuffer& scratch, const std::function<bool()>& stopped,
                        const std::function<void(std::uint64_t)>& copied) {
  CopyResult result = Write(files, source, temporary, chunkBytes, stopped, copied);
  if (result.outcome == CopyOutcome::Copied) {
    // What the device holds now, not what was handed to it nor what the
    // system's cache still holds of it.
    std::unique_ptr<os::IFileStream> back;
    if (files.Open(temporary, os::OpenMode::ReadUncached, &back) != os::kSuccess ||
        !SameBytes(*back, source, scratch)) {
      result = {CopyOutcome::VerifyFailed, os::kSuccess};
    }
  }
  if (result.outcome == CopyOutcome::Copied) {
    const os::ErrorCode moved = files.Move(temporary, target, replace);
    if (moved != os::kSuccess) result = {OutcomeOfWriteError(moved), moved};
  }
  if (result.outcome != CopyOutcome::Copied) files.Delete(temporary);
  return result;
}

FileCopier::FileCopier(os::IFileSystem& files, std::uint32_t chunkBytes)
    : files_(files), chunkBytes_(chunkBytes ? chunkBytes : kDefaultChunkBytes),
      piece_(chunkBytes_), scratch_(chunkBytes_) {}

CopyResult FileCopier::Copy(const std::wstring& source, const std::wstring& temporary,
                            const std::wstring& target, bool replace,
                            const std::atomic<bool>& stop,
                            const std::function<void(std::uint64_t)>& copied) {
  CopySource from(piece_);
  from.Stream(files_, source);
  return VerifiedCopy(files_, from, temporary, target, replace, chunkBytes_, scratch_,
                      [&stop] { return stop.load(); }, copied);
}

bool FileCopier::SameContent(const std::wstring& a, const std::wstring& b, bool deviceBytes) {
  CopySource expected(piece_);
  expected.Stream(files_, a);
  std::unique_ptr<os::IFileStream> back;
  const os::OpenMode mode = deviceBytes ? os::OpenMode::ReadUncached : os::OpenMode::Read;
  return files_.Open(b, mode, &back) == os::kSuccess && SameBytes(*back, expected, scratch_);
}


CopyPool::CopyPool(os::IFileSystem& files, std::uint32_t chunkBytes, int threads)
    : files_(files), chunkBytes_(chunkBytes ? chunkBytes : FileCopier::kDefaultChunkBytes),
      maxThreads_(static_cast<std::size_t>(std::max(threads, 1))) {}

CopyPool::~CopyPool() {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return waiting_.empty() && busy_ == 0; });
    closing_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void CopyPool::StartThreads() {
  std::lock_guard<std::mutex> lock(mutex_);
  while (threads_.size() < maxThreads_) threads_.emplace_back([this] { Work(); });
}

void CopyPool::Begin(const std::atomic<bool>& stop, Settled settled) {
  std::lock_guard<std::mutex> lock(mutex_);
  stop_ = &stop;
  std::lock_guard<std::mutex> settledLock(settledMutex_);
  settled_ = std::move(settled);
}

void CopyPool::WaitForRoom() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return waiting_.size() < maxThreads_; });
}

void CopyPool::Hand(Copy copy) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_.push_back(std::move(copy));
    if (waiting_.size() > threads_.size() - busy_ && threads_.size() < maxThreads_) {
      threads_.emplace_back([this] { Work(); });
    }
  }
  changed_.notify_all();
}

void CopyPool::WaitUntilIdle() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return waiting_.empty() && busy_ == 0; });
}

void CopyPool::End() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return waiting_.empty() && busy_ == 0; });
  stop_ = nullptr;
  std::lock_guard<std::mutex> settledLock(settledMutex_);
  settled_ = nullptr;
}

void CopyPool::Work() {
  // Kept from copy to copy, so their memory is reused.
  std::vector<std::uint8_t> bytes;
  // The read-back's pieces, as large as the written ones.
  SectorAlignedBuffer scratch(FileCopier::kDefaultChunkBytes);
  for (;;) {
    Copy copy;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return closing_ || !waiting_.empty(); });
      if (waiting_.empty()) return;
      copy = std::move(waiting_.front());
      waiting_.pop_front();
      ++busy_;
    }
    changed_.notify_all();  // room for the next one
    CopyResult result;
    const std::uint64_t size = Run(copy, bytes, scratch, &result);
    {
      std::lock_guard<std::mutex> lock(settledMutex_);
      if (settled_) settled_(copy.item, size, result);
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      --busy_;
    }
    changed_.notify_all();
  }
}

std::uint64_t CopyPool::Run(const Copy& copy, std::vector<std::uint8_t>& bytes,
                            SectorAlignedBuffer& scratch, CopyResult* result) {
  CopySource source(bytes);
  const os::ErrorCode error = source.Load(files_, copy.source);
  if (error != os::kSuccess) {
    *result = {CopyOutcome::SourceFailed, error};
    return 0;
  }
  *result = VerifiedCopy(files_, source, copy.temporary, copy.target, copy.replace, chunkBytes_,
                         scratch, [this] { return stop_ && *stop_; });
  return bytes.size();
}

}  // namespace mediaengine
