#pragma once
// Test support for the engine's players, for the native tests and the Wine
// tests alike: a file system that the sync worker and the test thread can
// share, with faults and hooks at chosen moments of writing; a gate that
// holds the worker; and a recorder of the device events.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/model/events.h"
#include "engine/model/library.h"
#include "mediaengine/codec/wma_encoder.h"
#include "mediaengine/library/library_records.h"
#include "os/file_system.h"

namespace device_test {

// Every call of the wrapped file system, and every stream operation, runs
// under one lock, so an engine worker and the test may both use it. Writes
// can be watched: once the bytes written to paths that start with a prefix
// reach a count, a hook runs once on the writing thread (outside the lock),
// given the path of the write that reached it;
// and writes to such paths can be corrupted, as a faulty device would.
class SharedFileSystem : public os::IFileSystem {
 public:
  explicit SharedFileSystem(os::IFileSystem& inner) : inner_(inner) {}

  template <typename Action>
  auto Locked(Action action) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return action(inner_);
  }

  void OnWritten(const std::wstring& prefix, std::uint64_t bytes,
                 std::function<void(const std::wstring& path)> hook) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    hookPrefix_ = prefix;
    hookAt_ = bytes;
    hookWritten_ = 0;
    hook_ = std::move(hook);
  }
  // `hook` runs on the opening thread (outside the lock) each time `path`
  // is opened; reads of it fail with kErrorCrc once `readable` bytes are read.
  void OnOpen(const std::wstring& path, std::function<void()> hook,
              std::uint64_t readable = UINT64_MAX) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    openPath_ = path;
    openHook_ = std::move(hook);
    readable_ = readable;
  }
  void CorruptWritesTo(const std::wstring& prefix) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    corruptPrefix_ = prefix;
  }
  // A device that stores bad bytes under paths that start with `prefix`
  // while the system's cache still holds what was written: only reads past
  // the cache (OpenMode::ReadUncached) see the damage.
  void StoreBadBytesUnder(const std::wstring& prefix) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    badStorePrefix_ = prefix;
  }

  os::ErrorCode FindFiles(const std::wstring& pattern,
                          std::vector<os::FindEntry>* entries) override {
    return Locked([&](os::IFileSystem& fs) { return fs.FindFiles(pattern, entries); });
  }
  std::uint32_t GetAttributes(const std::wstring& path) override {
    return Locked([&](os::IFileSystem& fs) { return fs.GetAttributes(path); });
  }
  os::ErrorCode CreateFolder(const std::wstring& path) override {
    return Locked([&](os::IFileSystem& fs) { return fs.CreateFolder(path); });
  }
  os::ErrorCode RemoveFolder(const std::wstring& path) override {
    return Locked([&](os::IFileSystem& fs) { return fs.RemoveFolder(path); });
  }
  os::ErrorCode Move(const std::wstring& from, const std::wstring& to, bool replace) override {
    return Locked([&](os::IFileSystem& fs) { return fs.Move(from, to, replace); });
  }
  os::ErrorCode Delete(const std::wstring& path) override {
    return Locked([&](os::IFileSystem& fs) { return fs.Delete(path); });
  }
  os::ErrorCode GetFreeClusters(const std::wstring& root, os::DiskClusters* clusters) override {
    return Locked([&](os::IFileSystem& fs) { return fs.GetFreeClusters(root, clusters); });
  }
  os::ErrorCode GetFreeBytes(const std::wstring& root, os::DiskBytes* bytes) override {
    return Locked([&](os::IFileSystem& fs) { return fs.GetFreeBytes(root, bytes); });
  }
  os::ErrorCode Open(const std::wstring& path, os::OpenMode mode,
                     std::unique_ptr<os::IFileStream>* stream) override {
    std::function<void()> hook;
    std::uint64_t readable = UINT64_MAX;
    Locked([&](os::IFileSystem&) {
      if (path != openPath_) return 0;
      hook = openHook_;
      readable = readable_;
      return 0;
    });
    if (hook) hook();
    std::unique_ptr<os::IFileStream> inner;
    const os::ErrorCode result =
        Locked([&](os::IFileSystem& fs) { return fs.Open(path, mode, &inner); });
    if (result == os::kSuccess) {
      *stream = std::make_unique<Stream>(*this, path, std::move(inner),
                                         mode == os::OpenMode::ReadUncached, readable);
    }
    return result;
  }

 private:
  class Stream : public os::IFileStream {
   public:
    Stream(SharedFileSystem& owner, std::wstring path, std::unique_ptr<os::IFileStream> inner,
           bool uncached, std::uint64_t readable)
        : owner_(owner), path_(std::move(path)), inner_(std::move(inner)), uncached_(uncached),
          readable_(readable) {}
    ~Stream() override {
      std::lock_guard<std::recursive_mutex> lock(owner_.mutex_);
      inner_.reset();
    }
    os::ErrorCode Read(void* buffer, std::uint32_t size, std::uint32_t* done) override {
      std::lock_guard<std::recursive_mutex> lock(owner_.mutex_);
      if (readable_ < size) return os::kErrorCrc;
      readable_ -= size;
      const os::ErrorCode result = inner_->Read(buffer, size, done);
      if (result == os::kSuccess && *done > 0 && uncached_ && Under(owner_.badStorePrefix_)) {
        static_cast<std::uint8_t*>(buffer)[0] ^= 0xA5;
      }
      return result;
    }
    os::ErrorCode Write(const void* buffer, std::uint32_t size) override {
      std::function<void(const std::wstring&)> hook;
      os::ErrorCode result;
      {
        std::lock_guard<std::recursive_mutex> lock(owner_.mutex_);
        if (Under(owner_.corruptPrefix_) && size > 0) {
          std::vector<std::uint8_t> bytes(static_cast<const std::uint8_t*>(buffer),
                                          static_cast<const std::uint8_t*>(buffer) + size);
          bytes[0] ^= 0x5A;
          result = inner_->Write(bytes.data(), size);
        } else {
          result = inner_->Write(buffer, size);
        }
        if (result == os::kSuccess && owner_.hook_ && Under(owner_.hookPrefix_)) {
          owner_.hookWritten_ += size;
          if (owner_.hookWritten_ >= owner_.hookAt_) {
            hook = std::move(owner_.hook_);
            owner_.hook_ = nullptr;
          }
        }
      }
      if (hook) hook(path_);
      return result;
    }
    os::ErrorCode Seek(std::uint64_t offset) override {
      std::lock_guard<std::recursive_mutex> lock(owner_.mutex_);
      return inner_->Seek(offset);
    }
    std::uint64_t Size() const override {
      std::lock_guard<std::recursive_mutex> lock(owner_.mutex_);
      return inner_->Size();
    }
    os::ErrorCode Flush() override {
      std::lock_guard<std::recursive_mutex> lock(owner_.mutex_);
      return inner_->Flush();
    }

   private:
    bool Under(const std::wstring& prefix) const {
      return !prefix.empty() && path_.compare(0, prefix.size(), prefix) == 0;
    }
    SharedFileSystem& owner_;
    std::wstring path_;
    std::unique_ptr<os::IFileStream> inner_;
    const bool uncached_;
    std::uint64_t readable_;
  };

  os::IFileSystem& inner_;
  std::recursive_mutex mutex_;
  std::wstring hookPrefix_;
  std::uint64_t hookAt_ = 0;
  std::uint64_t hookWritten_ = 0;
  std::function<void(const std::wstring&)> hook_;
  std::wstring corruptPrefix_;
  std::wstring badStorePrefix_;
  std::wstring openPath_;
  std::function<void()> openHook_;
  std::uint64_t readable_ = UINT64_MAX;
};

// Polls `done` until it holds or `seconds` pass; whether it held.
template <typename Done>
bool HoldsWithin(Done done, int seconds = 20) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::yield();
  }
  return true;
}

// Holds the writing thread until the test opens it.
class Gate {
 public:
  void Arrive() {
    std::unique_lock<std::mutex> lock(mutex_);
    arrived_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
  }
  bool WaitForArrival() {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(20), [this] { return arrived_; });
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool arrived_ = false;
  bool open_ = false;
};

// The device events, as texts: "connect F", "disconnect F", "status 1",
// "partnership 0", "state 1", "state 2", "error <item name>", "warning <type>",
// where F is the device's friendly name.
class DeviceEvents : public wmp::PlayerEventsBase {
 public:
  void DeviceConnect(wmp::ISyncDevice* device) override { Add(L"connect " + Name(device)); }
  void DeviceDisconnect(wmp::ISyncDevice* device) override { Add(L"disconnect " + Name(device)); }
  void DeviceStatusChange(wmp::ISyncDevice*, long status) override {
    Add(L"status " + std::to_wstring(status));
  }
  void DeviceSyncStateChange(wmp::ISyncDevice*, long state) override {
    Add(L"state " + std::to_wstring(state));
  }
  void DeviceSyncError(wmp::ISyncDevice*, wmp::IMedia* item) override {
    std::wstring name = L"?";
    if (item) item->Name(&name);
    Add(L"error " + name);
  }
  void CreatePartnershipComplete(wmp::ISyncDevice*, wmp::HResult result) override {
    Add(L"partnership " + std::to_wstring(result));
  }
  void Warning(long type, long, const std::wstring& text) override {
    lastWarning = text;
    Add(L"warning " + std::to_wstring(type));
  }
  std::vector<std::wstring> events;
  std::wstring lastWarning;

 private:
  static std::wstring Name(wmp::ISyncDevice* device) {
    std::wstring name;
    device->FriendlyName(&name);
    return name;
  }
  void Add(const std::wstring& text) { events.push_back(text); }
};

// Sets "Sync<p>" to `mark` on the library item of every saved playlist named
// `name`; the first failure, else kOk.
inline wmp::HResult MarkPlaylist(wmp::IMediaCollection& library, const std::wstring& name,
                                 long p, const std::wstring& mark) {
  wmp::PlaylistPtr saved;
  wmp::HResult result = library.GetByAttribute(L"MediaType", L"playlist", &saved);
  if (wmp::Failed(result)) return result;
  long count = 0;
  saved->Count(&count);
  for (long i = 0; i < count; ++i) {
    wmp::MediaPtr item;
    std::wstring itemName;
    saved->Item(i, &item);
    item->Name(&itemName);
    if (itemName != name) continue;
    result = item->SetItemInfo(wmp::SyncAttribute(static_cast<int>(p)), mark);
    if (wmp::Failed(result)) return result;
  }
  return wmp::kOk;
}

// A saved playlist `name` of `items`; unless `mark` is empty its "Sync<p>"
// is set to it. Whether it worked.
inline bool AddPlaylist(wmp::IPlaylistCollection& playlists, wmp::IMediaCollection& library,
                        const std::wstring& name, const std::vector<wmp::MediaPtr>& items, long p,
                        const std::wstring& mark) {
  wmp::PlaylistPtr playlist;
  if (wmp::Failed(playlists.NewPlaylist(name, &playlist))) return false;
  for (const auto& item : items) {
    if (wmp::Failed(playlist->AppendItem(item.get()))) return false;
  }
  return mark.empty() || wmp::Succeeded(MarkPlaylist(library, name, p, mark));
}

// A real .wma at 64 kbit/s of `frames` stereo frames of a quiet ramp with
// these tags, at `path` (its folder exists), added to the library; null when
// a step failed.
inline wmp::MediaPtr AddEncodedTrack(os::IFileSystem& files, wmp::IMediaCollection& library,
                                     const std::wstring& path, const mediaengine::AsfTags& tags,
                                     std::size_t frames) {
  mediaengine::WmaEncoder encoder;
  if (encoder.Open(files, path, tags, mediaengine::kWmaRateClass64) != os::kSuccess) return nullptr;
  std::vector<std::int16_t> second(2 * 44100);
  for (std::size_t i = 0; i < second.size(); ++i) second[i] = static_cast<std::int16_t>((i * 37) % 4000);
  for (std::size_t done = 0; done < frames;) {
    const std::size_t count = std::min<std::size_t>(44100, frames - done);
    if (encoder.Write(second.data(), count) != os::kSuccess) return nullptr;
    done += count;
  }
  if (encoder.Finish() != os::kSuccess) return nullptr;
  wmp::MediaPtr item;
  if (wmp::Failed(library.Add(path, &item))) return nullptr;
  return item;
}

}  // namespace device_test
