// Our engine's players under Wine: the removable drive of the test prefix as
// a drive-backed player, a folder as a registered player, real files and
// registry, and the events arriving through the engine's window.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "mediaengine/codec/wma_encoder.h"
#include "mediaengine/devices/device_storage.h"
#include "mediaengine/devices/folder_players.h"
#include "mediaengine/devices/sync_device.h"
#include "mediaengine/library/library_records.h"
#include "mediaengine/player/player.h"
#include "mediaengine/win32/engine_window.h"
#include "native/mediaengine/devices/engine_device_shared.h"
#include "os/text_encoding.h"
#include "os/win32/win32_clock.h"
#include "os/win32/win32_drives.h"
#include "os/win32/win32_file_system.h"
#include "os/win32/win32_registry.h"
#include "os/win32/win32_system.h"
#include "support/files.h"
#include "support/player_drive.h"
#include "support/test_window.h"

namespace {

using device_test::DeviceEvents;
using device_test::Gate;
using device_test::MarkPlaylist;
using device_test::SharedFileSystem;
using wine_test::Exists;
using wine_test::Names;
using wine_test::ReadBytes;
using wine_test::WriteBytes;

// Whether `folder` (with its trailing backslash) holds a copy under way.
bool HoldsTemporaryCopies(const std::wstring& folder) {
  return !Names(folder, std::wstring(mediaengine::kSyncTemporaryPrefix) + L"*").empty();
}

class DeviceSyncTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(workFolder_.Created()); }

  void TearDown() override {
    if (player_) {
      for (const auto& device : partnered_) device->DeletePartnership();
      window_.reset();
      player_->Close();
    }
    for (int slot : registered_) mediaengine::UnregisterFolderPlayer(registry_, slot);
  }

  void WriteIdentity(const std::string& more) {
    ASSERT_TRUE(WriteBytes(root_ + L"PLAYER.INF",
                           "Maker=Orbit\r\nModel=Cadenza Digital Audio Player\r\nSerial=WINE-TEST-1\r\n" + more));
  }

  void StartPlayer() {
    if (player_) {
      window_.reset();
      player_->Close();
    }
    mediaengine::EngineConfig config{files_, drives_, registry_, system_, clock_, work_ + L"\\library", 11, nullptr};
    player_ = mediaengine::Player::Create(config);
    window_ = std::make_unique<mediaengine::win32::EngineWindow>(player_);
    ASSERT_TRUE(window_->IsValid());
    std::uint32_t cookie = 0;
    ASSERT_EQ(player_->Advise(events_, &cookie), wmp::kOk);
    player_->MediaCollection(&media_);
    player_->PlaylistCollection(&playlists_);
  }

  // Runs the message loop until `done` or 30 s.
  static bool PumpUntil(const std::function<bool()>& done) {
    return wine_test::PumpUntil(done, 30000);
  }

  // Events until one equal to `last` arrived.
  std::vector<std::wstring> EventsUntil(const std::wstring& last) {
    EXPECT_TRUE(PumpUntil([&] {
      return !events_->events.empty() && events_->events.back() == last;
    })) << "no " << os::Utf8FromWide(last);
    std::vector<std::wstring> taken;
    taken.swap(events_->events);
    return taken;
  }

  wmp::SyncDevicePtr Device(const std::wstring& friendlyPart) {
    wmp::SyncServicesPtr services;
    player_->SyncServices(&services);
    long count = 0;
    services->DeviceCount(&count);
    for (long i = 0; i < count; ++i) {
      wmp::SyncDevicePtr device;
      std::wstring name;
      bool connected = false;
      if (wmp::Succeeded(services->GetDevice(i, &device)) && wmp::Succeeded(device->FriendlyName(&name)) &&
          name.find(friendlyPart) != std::wstring::npos && wmp::Succeeded(device->Connected(&connected)) &&
          connected) {
        return device;
      }
    }
    return nullptr;
  }

  long Partner(const wmp::SyncDevicePtr& device) {
    EXPECT_EQ(device->CreatePartnership(), wmp::kOk);
    const auto events = EventsUntil(L"partnership 0");
    partnered_.push_back(device);
    long index = 0;
    device->PartnershipIndex(&index);
    return index;
  }

  // A real .wma of `seconds` of tone with album tags, in the library.
  wmp::MediaPtr Track(const std::wstring& name, const std::wstring& album, int seconds) {
    const std::wstring path = work_ + L"\\" + name + L".wma";
    mediaengine::AsfTags tags;
    tags.title = name;
    tags.author = L"木琴合奏団";
    tags.albumArtist = L"木琴合奏団";
    tags.albumTitle = album;
    tags.trackNumber = L"1";
    wmp::MediaPtr item =
        device_test::AddEncodedTrack(files_, *media_, path, tags, 44100 * static_cast<std::size_t>(seconds));
    EXPECT_TRUE(item) << "the track is encoded and in the library";
    return item;
  }

  void MarkedPlaylist(const std::wstring& name, const std::vector<wmp::MediaPtr>& items, long p,
                      const std::wstring& mark) {
    ASSERT_TRUE(device_test::AddPlaylist(*playlists_, *media_, name, items, p, mark));
  }

  std::wstring SourceOf(const wmp::MediaPtr& item) {
    std::wstring url;
    item->SourceUrl(&url);
    return url;
  }

  // Each of `items` (copied as "<folder><name>.wma") is on the player whole
  // or not at all, and the one whose copy was under way at `temporary`
  // ("...\\~MarimbaSync-<n>.tmp", n its position from 0) is not there.
  void ExpectWholeFilesWithout(const std::wstring& folder, const std::vector<wmp::MediaPtr>& items,
                               const std::wstring& temporary) {
    const std::size_t dash = temporary.rfind(L'-');
    ASSERT_NE(dash, std::wstring::npos) << "no copy was under way";
    const std::size_t cut = std::wcstoul(temporary.c_str() + dash + 1, nullptr, 10);
    for (std::size_t i = 0; i < items.size(); ++i) {
      const std::wstring source = SourceOf(items[i]);
      const std::wstring copy = folder + source.substr(source.find_last_of(L'\\') + 1);
      if (!Exists(copy)) continue;
      EXPECT_NE(i, cut) << "the copy under way went on";
      EXPECT_EQ(ReadBytes(copy), ReadBytes(source)) << "half a file";
    }
    EXPECT_FALSE(HoldsTemporaryCopies(folder));
  }

  // Both outlive the engine: the drive and the work folder are put back last.
  wine_test::PlayerDriveGuard drive_;
  wine_test::TempFolder workFolder_{L"marimba-devices-"};
  const std::wstring root_ = drive_.Root();
  const std::wstring work_ = workFolder_.Path();
  os::win32::Win32FileSystem win32Files_;
  SharedFileSystem files_{win32Files_};
  os::win32::Win32Drives drives_;
  os::win32::Win32Registry registry_;
  os::win32::Win32System system_;
  os::win32::Win32Clock clock_;
  std::shared_ptr<DeviceEvents> events_ = std::make_shared<DeviceEvents>();
  std::shared_ptr<mediaengine::Player> player_;
  std::unique_ptr<mediaengine::win32::EngineWindow> window_;
  wmp::MediaCollectionPtr media_;
  wmp::PlaylistCollectionPtr playlists_;
  std::vector<wmp::SyncDevicePtr> partnered_;
  std::vector<int> registered_;
};

TEST_F(DeviceSyncTest, TheDriveGetsOnlyTheMarkedPlaylistsInTheFolderItsIdentityAsksFor) {
  WriteIdentity("SyncFolder=Music\r\n");
  StartPlayer();
  wmp::SyncDevicePtr device = Device(L"(" + root_.substr(0, 2) + L")");
  ASSERT_NE(device, nullptr);
  std::wstring name, id;
  device->DeviceName(&name);
  device->DeviceId(&id);
  EXPECT_NE(name.find(L"Digital Audio"), std::wstring::npos);

  const long index = Partner(device);
  EXPECT_GE(index, 1);
  EXPECT_LE(index, 16);
  const std::string info = ReadBytes(root_ + L"WMPInfo.xml");
  ASSERT_GE(info.size(), 2u);
  EXPECT_EQ(info.substr(0, 2), "\xFF\xFE");
  const std::wstring text(reinterpret_cast<const wchar_t*>(info.data() + 2), (info.size() - 2) / 2);
  EXPECT_NE(text.find(L"DeviceID=\"" + id + L"\""), std::wstring::npos);
  EXPECT_EQ(text.find_first_of(L"\r\n"), std::wstring::npos);

  auto morning = Track(L"01 朝", L"午後の歌", 3);
  auto evening = Track(L"02 夕", L"午後の歌", 2);
  auto other = Track(L"03 夜", L"別のアルバム", 2);
  MarkedPlaylist(L"Marked", {morning, evening}, index, L"1");
  MarkedPlaylist(L"Not marked", {other}, index, L"0");
  MarkedPlaylist(L"Another partnership", {other}, index == 16 ? 1 : index + 1, L"1");

  ASSERT_EQ(device->Start(), wmp::kOk);
  EXPECT_EQ(EventsUntil(L"state 2"), (std::vector<std::wstring>{L"state 1", L"state 2"}));
  long progress = 0;
  device->Progress(&progress);
  EXPECT_EQ(progress, 100);
  const std::wstring album = root_ + L"Music\\木琴合奏団\\午後の歌\\";
  EXPECT_EQ(ReadBytes(album + L"01 朝.wma"), ReadBytes(SourceOf(morning)));
  EXPECT_EQ(ReadBytes(album + L"02 夕.wma"), ReadBytes(SourceOf(evening)));
  EXPECT_EQ(Names(album).size(), 2u);
  EXPECT_FALSE(Exists(root_ + L"Music\\木琴合奏団\\別のアルバム"));
  EXPECT_FALSE(HoldsTemporaryCopies(root_));

  // The next run of the engine knows the partnership.
  StartPlayer();
  device = Device(L"(" + root_.substr(0, 2) + L")");
  partnered_ = {device};
  long again = 0;
  device->PartnershipIndex(&again);
  EXPECT_EQ(again, index);
}

TEST_F(DeviceSyncTest, AFullPlayerReportsTheItemAndKeepsNoPartOfIt) {
  WriteIdentity("Capacity=0000000000\r\n");
  StartPlayer();
  wmp::SyncDevicePtr device = Device(L"(" + root_.substr(0, 2) + L")");
  ASSERT_NE(device, nullptr);
  const long index = Partner(device);
  auto first = Track(L"01 First", L"Full", 2);
  auto second = Track(L"02 Second", L"Full", 4);
  MarkedPlaylist(L"Marked", {first, second}, index, L"1");

  // Room for the first track and half of the second.
  const std::uint64_t used = mediaengine::BytesBelow(files_, root_);
  const std::uint64_t capacity = used + ReadBytes(SourceOf(first)).size() + ReadBytes(SourceOf(second)).size() / 2;
  char line[64];
  std::snprintf(line, sizeof line, "Capacity=%010llu\r\n", static_cast<unsigned long long>(capacity));
  WriteIdentity(line);
  player_->Poll();

  ASSERT_EQ(device->Start(), wmp::kOk);
  EXPECT_EQ(EventsUntil(L"state 2"),
            (std::vector<std::wstring>{L"state 1", L"error 02 Second", L"state 2"}));
  EXPECT_EQ(ReadBytes(root_ + L"01 First.wma"), ReadBytes(SourceOf(first)));
  EXPECT_FALSE(Exists(root_ + L"02 Second.wma"));
  EXPECT_FALSE(HoldsTemporaryCopies(root_));
}

TEST_F(DeviceSyncTest, StopEndsTheSynchronisationWithWholeFilesOnly) {
  WriteIdentity("");
  StartPlayer();
  wmp::SyncDevicePtr device = Device(L"(" + root_.substr(0, 2) + L")");
  ASSERT_NE(device, nullptr);
  const long index = Partner(device);
  auto first = Track(L"01 First", L"Stop", 2);
  auto second = Track(L"02 Second", L"Stop", 2);
  MarkedPlaylist(L"Marked", {first, second}, index, L"1");

  Gate gate;
  std::wstring held;
  files_.OnWritten(root_ + mediaengine::kSyncTemporaryPrefix, 1, [&](const std::wstring& path) {
    held = path;
    gate.Arrive();
  });
  ASSERT_EQ(device->Start(), wmp::kOk);
  ASSERT_TRUE(gate.WaitForArrival());
  std::thread stopper([&] { device->Stop(); });
  auto& engineDevice = dynamic_cast<mediaengine::SyncDevice&>(*device);
  const bool asked = device_test::HoldsWithin([&] { return engineDevice.StopRequested(); });
  gate.Open();
  stopper.join();
  ASSERT_TRUE(asked) << "Stop never reached the copy";

  EXPECT_EQ(EventsUntil(L"state 2"), (std::vector<std::wstring>{L"state 1", L"state 2"}));
  ExpectWholeFilesWithout(root_, {first, second}, held);
  long progress = 100;
  device->Progress(&progress);
  EXPECT_LT(progress, 100);
}

TEST_F(DeviceSyncTest, APulledFolderPlayerEndsTheSynchronisationAndComesBackWhole) {
  const std::wstring folder = work_ + L"\\orbit";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  mediaengine::FolderPlayerRecord record;
  record.folder = folder;
  record.friendlyName = L"ORBIT Wine - Internal Storage";
  record.serial = L"ORBIT-WINE-1";
  record.totalSpace = 5'000'000;
  int slot = 0;
  ASSERT_EQ(mediaengine::RegisterFolderPlayer(registry_, record, &slot), os::kSuccess);
  registered_.push_back(slot);
  StartPlayer();
  wmp::SyncDevicePtr device = Device(L"ORBIT Wine - Internal Storage");
  ASSERT_NE(device, nullptr);
  std::wstring name, total;
  device->DeviceName(&name);
  device->GetItemInfo(L"TotalSpace", &total);
  EXPECT_NE(name.find(L"ORBIT Audio"), std::wstring::npos);
  EXPECT_EQ(total, L"5000000");
  const long index = Partner(device);

  auto first = Track(L"01 First", L"Pulled", 2);
  auto second = Track(L"02 Second", L"Pulled", 3);
  MarkedPlaylist(L"Marked", {first, second}, index, L"1");
  const std::wstring away = folder + L"-pulled";
  std::wstring cut;
  files_.OnWritten(folder + L"\\" + mediaengine::kSyncTemporaryPrefix, ReadBytes(SourceOf(first)).size() + 1,
                   [&](const std::wstring& path) {
                     cut = path;
                     EXPECT_TRUE(MoveFileW(folder.c_str(), away.c_str()));
                   });
  ASSERT_EQ(device->Start(), wmp::kOk);
  EXPECT_EQ(EventsUntil(L"state 2"),
            (std::vector<std::wstring>{L"state 1", L"disconnect ORBIT Wine - Internal Storage", L"state 2"}));
  player_->Poll();
  player_->Poll();
  PumpUntil([] { return true; });
  EXPECT_TRUE(events_->events.empty()) << "the pull is reported once";

  ASSERT_TRUE(MoveFileW(away.c_str(), folder.c_str()));
  player_->Poll();
  EXPECT_EQ(EventsUntil(L"connect ORBIT Wine - Internal Storage"),
            std::vector<std::wstring>{L"connect ORBIT Wine - Internal Storage"});
  ExpectWholeFilesWithout(folder + L"\\", {first, second}, cut);
}

TEST_F(DeviceSyncTest, ADrivePlayerComingAndGoingIsReportedOnceEach) {
  WriteIdentity("");
  StartPlayer();
  const std::wstring friendly = L"Cadenza Digital Audio Player (" + root_.substr(0, 2) + L")";
  ASSERT_NE(Device(friendly), nullptr);
  ASSERT_TRUE(MoveFileW((root_ + L"PLAYER.INF").c_str(), (root_ + L"PLAYER.OFF").c_str()));
  player_->Poll();
  player_->Poll();
  EXPECT_EQ(EventsUntil(L"disconnect " + friendly), std::vector<std::wstring>{L"disconnect " + friendly});
  ASSERT_TRUE(MoveFileW((root_ + L"PLAYER.OFF").c_str(), (root_ + L"PLAYER.INF").c_str()));
  player_->Poll();
  player_->Poll();
  EXPECT_EQ(EventsUntil(L"connect " + friendly), std::vector<std::wstring>{L"connect " + friendly});
}

}  // namespace
