#include "mediaengine/devices/copy_pool.h"

#include <algorithm>

namespace mediaengine {
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
