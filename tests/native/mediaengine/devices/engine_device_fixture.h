#pragma once
// A fixture that runs the real engine player over the fakes, shared by the
// sync worker and the test thread: a player drive F:, a library on C:, an
// event recorder, and helpers for tracks and marked playlists.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "mediaengine/codec/wma_encoder.h"
#include "mediaengine/player/player.h"
#include "mediaengine/devices/folder_players.h"
#include "mediaengine/devices/sync_device.h"
#include "engine/model/player.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_drives.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "mediaengine/library/library_records.h"
#include "mediaengine/library/media_library.h"
#include "native/mediaengine/devices/engine_device_shared.h"
#include "os/text_encoding.h"

namespace device_test {

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

  std::shared_ptr<mediaengine::Player> StartPlayer() {
    if (player_) player_->Close();
    mediaengine::EngineConfig config{files_, drives_, registry_, system_, clock_,
                                L"C:\\Library", 11, nullptr};
    player_ = mediaengine::Player::Create(config);
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

  mediaengine::SyncDevice& Engine(const wmp::SyncDevicePtr& device) {
    return dynamic_cast<mediaengine::SyncDevice&>(*device);
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
    mediaengine::AsfTags tags;
    tags.title = title;
    tags.author = L"Solo";
    tags.albumArtist = albumArtist;
    tags.albumTitle = album;
    tags.trackNumber = L"1";
    files_.Locked([&](os::IFileSystem&) {
      fake_.AddFolder(path.substr(0, path.find_last_of(L'\\')));
      return 0;
    });
    wmp::MediaPtr item = AddEncodedTrack(files_, *media_, path, tags, 4410);
    EXPECT_TRUE(item) << "the track is encoded and in the library";
    return item;
  }

  // A saved playlist of `items` whose Sync<p> is `mark`.
  void Playlist(const std::wstring& name, const std::vector<wmp::MediaPtr>& items, long p,
                const std::wstring& mark) {
    ASSERT_TRUE(AddPlaylist(*playlists_, *media_, name, items, p, mark));
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
  std::shared_ptr<mediaengine::Player> player_;
  wmp::MediaCollectionPtr media_;
  wmp::PlaylistCollectionPtr playlists_;
};

}  // namespace device_test
