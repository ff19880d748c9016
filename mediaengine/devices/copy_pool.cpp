#include "mediaengine/devices/copy_pool.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace mediaengine {
namespace {

// Reads the rest of an open file into `bytes`.
os::ErrorCode ReadAll(os::IFileStream& stream, std::vector<std::uint8_t>* bytes) {
  bytes->resize(static_cast<std::size_t>(stream.Size()));
  std::size_t offset = 0;
  while (offset < bytes->size()) {
    std::uint32_t got = 0;
    const os::ErrorCode result = stream.Read(
        bytes->data() + offset, static_cast<std::uint32_t>(bytes->size() - offset), &got);
    if (result != os::kSuccess) return result;
    if (got == 0) return os::kErrorInvalidParameter;  // shorter than it said
    offset += got;
  }
  return os::kSuccess;
}

}  // namespace

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
  {
    std::unique_ptr<os::IFileStream> source;
    os::ErrorCode error = files_.Open(copy.source, os::OpenMode::Read, &source);
    if (error == os::kSuccess) error = ReadAll(*source, &bytes);
    if (error != os::kSuccess) {
      *result = {CopyOutcome::SourceFailed, error};
      return 0;
    }
  }
  *result = Write(copy, bytes);
  if (result->outcome == CopyOutcome::Copied) *result = Verify(copy, bytes, scratch);
  if (result->outcome == CopyOutcome::Copied) {
    const os::ErrorCode error = files_.Move(copy.temporary, copy.target, copy.replace);
    if (error != os::kSuccess) *result = {OutcomeOfWriteError(error), error};
  }
  if (result->outcome != CopyOutcome::Copied) files_.Delete(copy.temporary);
  return bytes.size();
}

CopyResult CopyPool::Write(const Copy& copy, const std::vector<std::uint8_t>& bytes) {
  auto stopped = [this] { return stop_ && *stop_; };
  std::unique_ptr<os::IFileStream> stream;
  os::ErrorCode error = files_.Open(copy.temporary, os::OpenMode::CreateAlways, &stream);
  if (error != os::kSuccess) return {OutcomeOfWriteError(error), error};
  for (std::size_t offset = 0; offset < bytes.size();) {
    if (stopped()) return {CopyOutcome::Stopped, os::kSuccess};
    const auto size =
        static_cast<std::uint32_t>(std::min<std::size_t>(chunkBytes_, bytes.size() - offset));
    error = stream->Write(bytes.data() + offset, size);
    if (error != os::kSuccess) return {OutcomeOfWriteError(error), error};
    offset += size;
  }
  if (stopped()) return {CopyOutcome::Stopped, os::kSuccess};
  error = stream->Flush();
  if (error != os::kSuccess) return {OutcomeOfWriteError(error), error};
  return {};
}

CopyResult CopyPool::Verify(const Copy& copy, const std::vector<std::uint8_t>& bytes,
                            SectorAlignedBuffer& scratch) {
  // What the device holds now, not what was handed to it nor what the
  // system's cache still holds of it.
  std::unique_ptr<os::IFileStream> back;
  if (files_.Open(copy.temporary, os::OpenMode::ReadUncached, &back) != os::kSuccess ||
      back->Size() != bytes.size()) {
    return {CopyOutcome::VerifyFailed, os::kSuccess};
  }
  for (std::size_t offset = 0; offset < bytes.size();) {
    // Whole sectors, the end of the file included, so that every read goes
    // straight into the aligned memory.
    const std::size_t left = bytes.size() - offset;
    const std::size_t sectors = (left + SectorAlignedBuffer::kAlignment - 1) /
                                SectorAlignedBuffer::kAlignment * SectorAlignedBuffer::kAlignment;
    const auto want = static_cast<std::uint32_t>(std::min(scratch.size(), sectors));
    std::uint32_t got = 0;
    if (back->Read(scratch.data(), want, &got) != os::kSuccess || got == 0 || got > left ||
        std::memcmp(scratch.data(), bytes.data() + offset, got) != 0) {
      return {CopyOutcome::VerifyFailed, os::kSuccess};
    }
    offset += got;
  }
  return {};
}

}  // namespace mediaengine
