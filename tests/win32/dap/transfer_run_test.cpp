// One whole transfer with our engine under Wine: a ripped album in the
// library, the prefix's removable drive as the player, the real maker
// libraries, and the files arranged in Music\artist\album on the drive.
#include <windows.h>
// A 16-bit leftover macro of winbase.h that would hide SyncDeviceRef::GetFreeSpace.
#undef GetFreeSpace

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/player_context.h"
#include "mediaengine/codec/wma_encoder.h"
#include "mediaengine/player/player.h"
#include "device/dap_acc.h"
#include "device/engine_device_manager.h"
#include "device/win32/ansi_code_page.h"
#include "fakes/fake_combo_box.h"
#include "fakes/fake_label.h"
#include "fakes/fake_status_window.h"
#include "fakes/fake_track_list.h"
#include "support/files.h"
#include "support/player_drive.h"
#include "support/test_window.h"
#include "support/win32_platform.h"
#include "ui/static_ex.h"
#include "mediaengine/win32/engine_window.h"

namespace {

using wine_test::Exists;
using wine_test::Names;
using wine_test::PlayerLetter;
using wine_test::PumpUntil;

const wchar_t kArtist[] = L"Demo Artist";
const wchar_t kAlbum[] = L"Demo Album";
const wchar_t* const kTitles[] = {L"Morning", L"Noon", L"Evening"};

// Tells the player access what the engine answers, as the main window does.
class Events : public wmp::PlayerEventsBase {
 public:
  explicit Events(device::CDAPAcc& dap) : dap_(dap) {}
  void CreatePartnershipComplete(wmp::ISyncDevice* device, wmp::HResult) override {
    if (dap_.OnPartnershipComplete(device)) ++partnered;
  }
  int partnered = 0;

 private:
  device::CDAPAcc& dap_;
};

class TransferRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(workFolder_.Created());
    const std::wstring root = guard_.Root();
    ASSERT_TRUE(wine_test::WriteBytes(root + L"PLAYER.INF", wine_test::Identity("Internal")));
    ASSERT_TRUE(wine_test::WriteBytes(root + L"SETTINGS.DAT", "settings"));
    DeleteFileW((root + L"WMPInfo.xml").c_str());
    RipAlbum();

    mediaengine::EngineConfig config{win32_.files,  win32_.drives, win32_.registry,
                                     win32_.system, win32_.clock,  work_ + L"\\library",
                                     11,            nullptr};
    player_ = mediaengine::Player::Create(config);
    window_ = std::make_unique<mediaengine::win32::EngineWindow>(player_);
    ASSERT_TRUE(context_.BindPlayer(player_));
  }

  void TearDown() override {
    dap_.Reset();
    if (player_) {
      // No partnership of the test stays in the user's registry.
      wmp::SyncServicesPtr services;
      player_->SyncServices(&services);
      long count = 0;
      if (services) services->DeviceCount(&count);
      for (long i = 0; i < count; ++i) {
        wmp::SyncDevicePtr device;
        if (wmp::Succeeded(services->GetDevice(i, &device))) device->DeletePartnership();
      }
    }
    context_.UnbindPlayer();
    window_.reset();
    player_.reset();
  }

  // The album as a rip leaves it: rips\artist\album\"NN title.wma" with tags.
  void RipAlbum() {
    const std::wstring folder = work_ + L"\\rips\\" + kArtist + L"\\" + kAlbum;
    ASSERT_TRUE(CreateDirectoryW((work_ + L"\\rips").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((work_ + L"\\rips\\" + kArtist).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    for (int i = 0; i < 3; ++i) {
      mediaengine::AsfTags tags;
      tags.title = kTitles[i];
      tags.author = kArtist;
      tags.albumArtist = kArtist;
      tags.albumTitle = kAlbum;
      tags.trackNumber = std::to_wstring(i + 1);
      const std::wstring path =
          folder + L"\\0" + std::to_wstring(i + 1) + L" " + kTitles[i] + L".wma";
      mediaengine::WmaEncoder encoder;
      ASSERT_EQ(encoder.Open(win32_.files, path, tags, mediaengine::kWmaRateClass64), os::kSuccess);
      std::vector<std::int16_t> tone(2 * 22050);
      for (std::size_t k = 0; k < tone.size(); ++k) {
        tone[k] = static_cast<std::int16_t>((k % 100) * 200);
      }
      ASSERT_EQ(encoder.Write(tone.data(), 22050), os::kSuccess);
      ASSERT_EQ(encoder.Finish(), os::kSuccess);
      ripped_.push_back(path);
    }
  }

  wine_test::Win32Platform win32_;
  fakes::FakeStatusHost statusHost_;
  wine_test::PlayerDriveGuard guard_;
  wine_test::TempFolder workFolder_{L"marimba-dap-"};
  const std::wstring work_ = workFolder_.Path();
  std::vector<std::wstring> ripped_;
  std::shared_ptr<mediaengine::Player> player_;
  std::unique_ptr<mediaengine::win32::EngineWindow> window_;
  common::PlayerContext context_;
  device::EngineDeviceManagerSource managers_{context_};
  fakes::FakeTrackList trackList_;
  fakes::FakeComboBox combo_;
  fakes::FakeLabel used_;
  fakes::FakeLabel free_;
  device::CDAPAcc dap_{device::DapPorts{win32_.files, win32_.drives, win32_.clock, win32_.modules,
                                        statusHost_, win32_.strings, context_, managers_,
                                        device::win32::WideFromAnsiCodePage}};
};

TEST_F(TransferRunTest, CheckedTracksEndUpInTheAlbumFolderOfTheMappedDrive) {
  const std::wstring root = guard_.Root();
  const std::wstring drive{PlayerLetter(), L':'};

  // The library knows the ripped album.
  wmp::MediaCollectionPtr library;
  ASSERT_EQ(player_->MediaCollection(&library), wmp::kOk);
  wmp::PlaylistPtr album;
  wmp::PlaylistCollectionPtr playlists;
  ASSERT_EQ(player_->PlaylistCollection(&playlists), wmp::kOk);
  ASSERT_EQ(playlists->NewPlaylist(L"Ripped album", &album), wmp::kOk);
  for (const auto& path : ripped_) {
    wmp::MediaPtr item;
    ASSERT_EQ(library->Add(path, &item), wmp::kOk);
    ASSERT_EQ(album->AppendItem(item.get()), wmp::kOk);
  }
  // Tracks 1 and 3 checked.
  for (int i = 0; i < 3; ++i) trackList_.AddRow(kTitles[i]);
  trackList_.Check(0, true);
  trackList_.Check(2, true);
  trackList_.SnapshotChecks(false);

  auto events = std::make_shared<Events>(dap_);
  std::uint32_t cookie = 0;
  ASSERT_EQ(player_->Advise(events, &cookie), wmp::kOk);

  // Discovery through the real maker libraries.
  ASSERT_TRUE(dap_.Attach(&combo_));
  ASSERT_TRUE(dap_.SetCapacityLabels(&used_, &free_));
  player_->Poll();
  dap_.RefreshList(true, true);
  ASSERT_EQ(dap_.GetSelectedDrive(), drive);

  // A fresh partnership, answered by the engine on this thread.
  dap_.EnsurePartnership();
  ASSERT_TRUE(PumpUntil(
      [&] {
        if (dap_.GetState() == common::kOpened) return true;
        dap_.RefreshList(false, false);
        dap_.EnsurePartnership();
        return false;
      },
      10000));
  EXPECT_GT(dap_.Partnership(), 0);
  EXPECT_TRUE(Exists(root + L"WMPInfo.xml"));

  // The capacity is the mapped drive's own.
  dap_.UpdateCapacity();
  DWORD sectors = 0, bytes = 0, freeClusters = 0, totalClusters = 0;
  ASSERT_TRUE(GetDiskFreeSpaceW(root.c_str(), &sectors, &bytes, &freeClusters, &totalClusters));
  const double freeBytes = static_cast<double>(freeClusters) * sectors * bytes;
  EXPECT_FLOAT_EQ(dap_.FreeMB(), static_cast<float>(freeBytes / 1048576.0));
  EXPECT_EQ(free_.GetText(), ui::ClusterSizeText(freeClusters, sectors, bytes));
  EXPECT_EQ(used_.GetText(), ui::ClusterSizeText(totalClusters - freeClusters, sectors, bytes));

  // Prepare, start and follow the transfer.
  ASSERT_TRUE(dap_.PrepareSync(album.get(), &trackList_.Checks()));
  const std::wstring tempName = dap_.GetTempPlaylist().PlaylistName();
  const std::wstring tempFile = dap_.GetTempPlaylist().FilePath();
  EXPECT_EQ(tempName, kAlbum);
  ASSERT_TRUE(dap_.StartSync());
  int progress = 0;
  ASSERT_TRUE(PumpUntil(
      [&] {
        progress = dap_.PollSync();
        return progress == 100 || progress < 0;
      },
      60000));
  ASSERT_EQ(progress, 100);

  // The files of the transfer go into Music\artist\album.
  ASSERT_TRUE(dap_.CollectTransferredFiles());
  dap_.MoveIntoMusicFolder();
  const std::wstring albumFolder = root + L"Music\\" + kArtist + L"\\" + kAlbum + L"\\";
  std::vector<std::wstring> moved = Names(albumFolder);
  std::sort(moved.begin(), moved.end());
  EXPECT_EQ(moved, (std::vector<std::wstring>{L"01 Morning.wma", L"03 Evening.wma"}));
  for (const auto& name : Names(root)) {
    EXPECT_EQ(name.find(L".wma"), std::wstring::npos) << "a file of the album was left in the root";
  }

  // The temporary playlist and its file are gone, and so is the partnership.
  wmp::PlaylistArrayPtr same;
  ASSERT_EQ(playlists->GetByName(tempName, &same), wmp::kOk);
  long count = -1;
  ASSERT_EQ(same->Count(&count), wmp::kOk);
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(tempFile.empty() || Exists(tempFile));
  EXPECT_EQ(dap_.SyncDevice().GetPartnershipIndex(), 0);

  // The other model's step takes them back out and removes the empty folders.
  dap_.MoveOutOfMusicFolder();
  EXPECT_TRUE(Exists(root + L"01 Morning.wma"));
  EXPECT_TRUE(Exists(root + L"03 Evening.wma"));
  EXPECT_FALSE(Exists(root + L"Music"));
  player_->Unadvise(cookie);
}

}  // namespace
