#pragma once
// Test support for the engine's players: a file system that the sync worker
// and the test thread can share, with faults and hooks at chosen moments of
// writing; and a fixture that runs the real engine player over the fakes with
// a player drive F:, a library on C: and an event recorder.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "codec/wma_encoder.h"
#include "core/player.h"
#include "devices/folder_players.h"
#include "devices/sync_device.h"
#include "engine/model/player.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_drives.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "library/library_records.h"
#include "library/media_library.h"
#include "os/text_encoding.h"

namespace device_test {

// Every call of the wrapped file system, and every stream operation, runs
// under one lock, so an engine worker and the test may both use it. Writes
// can be watched: once the bytes written to paths that start with a prefix
// reach a count, a hook runs once on the writing thread (outside the lock);
// and writes to such paths can be corrupted, as a faulty device would.
class SharedFileSystem : public os::IFileSystem {
 public:
  explicit SharedFileSystem(os::IFileSystem& inner) : inner_(inner) {}

  template <typename Action>
  auto Locked(Action action) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return action(inner_);
  }

  void OnWritten(const std::wstring& prefix, std::uint64_t bytes, std::function<void()> hook) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    hookPrefix_ = prefix;
    hookAt_ = bytes;
    hookWritten_ = 0;
    hook_ = std::move(hook);
  }
  void CorruptWritesTo(const std::wstring& prefix) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    corruptPrefix_ = prefix;
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
    std::unique_ptr<os::IFileStream> inner;
    const os::ErrorCode result =
        Locked([&](os::IFileSystem& fs) { return fs.Open(path, mode, &inner); });
    if (result == os::kSuccess) *stream = std::make_unique<Stream>(*this, path, std::move(inner));
    return result;
  }

 private:
  class Stream : public os::IFileStream {
   public:
    Stream(SharedFileSystem& owner, std::wstring path, std::unique_ptr<os::IFileStream> inner)
        : owner_(owner), path_(std::move(path)), inner_(std::move(inner)) {}
    ~Stream() override {
      std::lock_guard<std::recursive_mutex> lock(owner_.mutex_);
      inner_.reset();
    }
    os::ErrorCode Read(void* buffer, std::uint32_t size, std::uint32_t* done) override {
      std::lock_guard<std::recursive_mutex> lock(owner_.mutex_);
      return inner_->Read(buffer, size, done);
    }
    os::ErrorCode Write(const void* buffer, std::uint32_t size) override {
      std::function<void()> hook;
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
      if (hook) hook();
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
  };

  os::IFileSystem& inner_;
  std::recursive_mutex mutex_;
  std::wstring hookPrefix_;
  std::uint64_t hookAt_ = 0;
  std::uint64_t hookWritten_ = 0;
  std::function<void()> hook_;
  std::wstring corruptPrefix_;
};

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
// "partnership 0", "state 1", "state 2", "error <item name>", where F is the
// device's friendly name.
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
  std::vector<std::wstring> events;

 private:
  static std::wstring Name(wmp::ISyncDevice* device) {
    std::wstring name;
    device->FriendlyName(&name);
    return name;
  }
  void Add(const std::wstring& text) { events.push_back(text); }
};

inline std::string Identity(const std::string& serial, const std::string& more = std::string()) {
  return "Maker=Orbit\r\nModel=Cadenza Digital Audio Player\r\nSerial=" + serial + "\r\n" + more;
}

// A recognisable content of `size` bytes.
inline std::string Bytes(std::size_t size, char seed) {
  std::string content(size, '\0');
  for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<char>(seed + i * 7 % 251);
  return content;
}

class EngineDeviceTest : public ::testing::Test {
 protected:
  static constexpr wchar_t kPlayerName[] = L"Cadenza Digital Audio Player (F:)";

  void SetUp() override {
    fake_.AddDrive(L'C');
    fake_.AddDrive(L'D');
    fake_.AddDrive(L'F', 256ULL << 20);
    drives_.AddDrive(L'C', os::DriveType::Fixed);
    drives_.AddDrive(L'D', os::DriveType::CdRom, L"MUSIC");
    drives_.AddDrive(L'F', os::DriveType::Removable, L"CADENZA");
    fake_.AddFile(L"F:\\PLAYER.INF", Identity("ORB-0001"));
    fake_.AddFile(L"F:\\SETTINGS.DAT", "settings");
    system_.SetMusicFolder(L"C:\\Music");
  }

  void TearDown() override {
    if (player_) player_->Close();
  }

  std::shared_ptr<engine::Player> StartPlayer() {
    if (player_) player_->Close();
    engine::EngineConfig config{files_, drives_, registry_, system_, clock_,
                                L"C:\\Library", 11, nullptr};
    player_ = engine::Player::Create(config);
    std::uint32_t cookie = 0;
    EXPECT_EQ(player_->Advise(events_, &cookie), wmp::kOk);
    player_->MediaCollection(&media_);
    player_->PlaylistCollection(&playlists_);
    return player_;
  }

  std::vector<std::wstring> Drain() {
    player_->DrainEvents();
    std::vector<std::wstring> taken;
    taken.swap(events_->events);
    return taken;
  }

  // The engine device whose friendly name is `name`, or null.
  wmp::SyncDevicePtr Device(const std::wstring& name = kPlayerName) {
    wmp::SyncServicesPtr services;
    player_->SyncServices(&services);
    long count = 0;
    services->DeviceCount(&count);
    for (long i = 0; i < count; ++i) {
      wmp::SyncDevicePtr device;
      std::wstring friendly;
      if (wmp::Succeeded(services->GetDevice(i, &device)) && wmp::Succeeded(device->FriendlyName(&friendly)) &&
          friendly == name) {
        return device;
      }
    }
    return nullptr;
  }

  engine::SyncDevice& Engine(const wmp::SyncDevicePtr& device) {
    return dynamic_cast<engine::SyncDevice&>(*device);
  }

  // Makes a partnership and returns its index.
  long Partner(const wmp::SyncDevicePtr& device) {
    EXPECT_EQ(device->CreatePartnership(), wmp::kOk);
    Drain();
    long index = 0;
    device->PartnershipIndex(&index);
    return index;
  }

  // A library item for a file of `content` at `path`.
  wmp::MediaPtr Track(const std::wstring& path, const std::string& content) {
    files_.Locked([&](os::IFileSystem&) {
      fake_.AddFile(path, content);
      return 0;
    });
    wmp::MediaPtr item;
    EXPECT_EQ(media_->Add(path, &item), wmp::kOk);
    return item;
  }

  // A short real .wma with the given album tags.
  wmp::MediaPtr TaggedTrack(const std::wstring& path, const std::wstring& title,
                            const std::wstring& albumArtist, const std::wstring& album) {
    engine::AsfTags tags;
    tags.title = title;
    tags.author = L"Solo";
    tags.albumArtist = albumArtist;
    tags.albumTitle = album;
    tags.trackNumber = L"1";
    engine::WmaEncoder encoder;
    EXPECT_EQ(encoder.Open(files_, path, tags, engine::kWmaRateClass64), os::kSuccess);
    std::vector<std::int16_t> silence(2 * 4410, 0);
    EXPECT_EQ(encoder.Write(silence.data(), 4410), os::kSuccess);
    EXPECT_EQ(encoder.Finish(), os::kSuccess);
    wmp::MediaPtr item;
    EXPECT_EQ(media_->Add(path, &item), wmp::kOk);
    return item;
  }

  // A saved playlist of `items` whose Sync<p> is `mark`.
  void Playlist(const std::wstring& name, const std::vector<wmp::MediaPtr>& items, long p,
                const std::wstring& mark) {
    wmp::PlaylistPtr playlist;
    ASSERT_EQ(playlists_->NewPlaylist(name, &playlist), wmp::kOk);
    for (const auto& item : items) ASSERT_EQ(playlist->AppendItem(item.get()), wmp::kOk);
    wmp::PlaylistPtr found;
    ASSERT_EQ(media_->GetByAttribute(L"MediaType", L"playlist", &found), wmp::kOk);
    long count = 0;
    found->Count(&count);
    for (long i = 0; i < count; ++i) {
      wmp::MediaPtr item;
      std::wstring itemName;
      found->Item(i, &item);
      item->Name(&itemName);
      if (itemName == name && !mark.empty()) {
        ASSERT_EQ(item->SetItemInfo(engine::SyncAttribute(static_cast<int>(p)), mark), wmp::kOk);
      }
    }
  }

  // Delivers events until the device reports its synchronisation stopped;
  // all events delivered meanwhile.
  std::vector<std::wstring> WaitForSync() {
    std::vector<std::wstring> seen;
    for (int i = 0; i < 4000; ++i) {
      for (const auto& event : Drain()) seen.push_back(event);
      if (!seen.empty() && seen.back() == L"state 2") return seen;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ADD_FAILURE() << "the synchronisation did not end";
    return seen;
  }

  std::string Content(const std::wstring& path) {
    return files_.Locked([&](os::IFileSystem&) { return fake_.Content(path); });
  }
  bool Exists(const std::wstring& path) {
    return files_.Locked([&](os::IFileSystem& fs) { return fs.Exists(path); });
  }
  // Names in a folder of the fake, dot entries left out.
  std::vector<std::wstring> Listing(const std::wstring& folder) {
    std::vector<os::FindEntry> entries;
    files_.FindFiles(folder + L"*.*", &entries);
    std::vector<std::wstring> names;
    for (const auto& entry : entries) {
      if (!entry.IsDotEntry()) names.push_back(entry.name);
    }
    return names;
  }
  long ProgressOf(const wmp::SyncDevicePtr& device) {
    long progress = -1;
    device->Progress(&progress);
    return progress;
  }

  fakes::FakeFileSystem fake_;
  SharedFileSystem files_{fake_};
  fakes::FakeDrives drives_;
  fakes::FakeRegistry registry_;
  fakes::FakeSystem system_;
  fakes::FakeClock clock_;
  std::shared_ptr<DeviceEvents> events_ = std::make_shared<DeviceEvents>();
  std::shared_ptr<engine::Player> player_;
  wmp::MediaCollectionPtr media_;
  wmp::PlaylistCollectionPtr playlists_;
};

}  // namespace device_test
