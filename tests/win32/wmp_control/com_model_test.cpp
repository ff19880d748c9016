// The installed engine's object model (com_player.h and the objects it
// hands out) driven as the tool drives it, through the core's wrappers,
// against an in-process stand-in of the platform control: the CD drive and
// its rip, item attributes, the library and its playlists, the temporary
// sync playlist, partnerships and synchronisation.
#include <windows.h>
// A 16-bit leftover macro of winbase.h that would hide SyncDeviceRef::GetFreeSpace.
#undef GetFreeSpace

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "device/temp_playlist.h"
#include "engine/attributes.h"
#include "engine/win32/com_player.h"
#include "fake_control.h"
#include "os/win32/win32_clock.h"
#include "os/win32/win32_file_system.h"

namespace {

using engine::win32::ComPlayer;
using engine::win32::ComPtr;

// One of our own engine's objects (not a view of the control's).
class ForeignMedia : public wmp::IMedia {
 public:
  wmp::HResult Name(std::wstring*) override { return wmp::kOk; }
  wmp::HResult SetName(const std::wstring&) override { return wmp::kOk; }
  wmp::HResult SourceUrl(std::wstring*) override { return wmp::kOk; }
  wmp::HResult Duration(double*) override { return wmp::kOk; }
  wmp::HResult DurationString(std::wstring*) override { return wmp::kOk; }
  wmp::HResult GetItemInfo(const std::wstring&, std::wstring*) override { return wmp::kOk; }
  wmp::HResult SetItemInfo(const std::wstring&, const std::wstring&) override { return wmp::kOk; }
  wmp::HResult IsIdentical(wmp::IMedia*, bool*) override { return wmp::kOk; }
};

class ComModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::g_live = 0;
    control_ = fake::Make<fake::Player>();
    fake::Player& control = *control_.Get();

    ComPtr<fake::Cdrom> drive = fake::Make<fake::Cdrom>(control, L"D:");
    drive->disc = fake::Make<fake::Playlist>(L"Marimba Demo");
    for (int t = 1; t <= 3; ++t) {
      ComPtr<fake::Media> track = fake::Make<fake::Media>(L"Track " + std::to_wstring(t), L"");
      track->info[L"WM/TrackNumber"] = std::to_wstring(t);
      drive->disc->Add(track.Get());
    }
    control.cdroms->drives.push_back(std::move(drive));

    for (int t = 1; t <= 2; ++t) {
      control.AddItem(L"Track " + std::to_wstring(t),
                      L"C:\\Music\\Orbit\\Marimba Demo\\0" + std::to_wstring(t) + L" Track.wma",
                      {{L"MediaType", L"audio"},
                       {L"WM/AlbumTitle", L"Marimba Demo"},
                       {L"WM/TrackNumber", std::to_wstring(t)},
                       {L"FileSize", L"1048576"},
                       {L"Bitrate", L"128000"},
                       {L"FileType", L"wma"}});
    }
    control.library.front()->readOnly.push_back(L"FileSize");

    ComPtr<fake::SyncDevice> device = fake::Make<fake::SyncDevice>(control, L"Orbit");
    device->info = {{L"SerialNumber", L"0001"},
                    {L"FreeSpace", L"5000000000"},
                    {L"TotalSpace", L"8000000000"}};
    control.devices.push_back(std::move(device));

    player_ = std::make_shared<ComPlayer>(ComPtr<IWMPPlayer4>::Share(control_.Get()));
  }

  void TearDown() override {
    player_.reset();
    control_.Reset();
    EXPECT_EQ(fake::g_live, 0) << "every reference on the control's objects is let go";
  }

  fake::Player& Control() { return *control_.Get(); }
  fake::SyncDevice& Device() { return *Control().devices.front().Get(); }
  fake::Cdrom& Drive() { return *Control().cdroms->drives.front().Get(); }

  ComPtr<fake::Player> control_;
  std::shared_ptr<ComPlayer> player_;
  os::win32::Win32Clock clock_;
  os::win32::Win32FileSystem files_;
};

TEST_F(ComModelTest, PlayerAnswersVersionControlsAndTheOlderRipTask) {
  std::wstring version;
  ASSERT_EQ(player_->VersionInfo(&version), wmp::kOk);
  EXPECT_EQ(version, L"11.0.5721.5145");

  wmp::ControlsPtr controls;
  ASSERT_EQ(player_->Controls(&controls), wmp::kOk);
  EXPECT_EQ(controls->Stop(), wmp::kOk);
  EXPECT_EQ(Control().controls->stops, 1);

  wmp::PlayerServicesPtr services;
  ASSERT_EQ(player_->Services(&services), wmp::kOk);
  EXPECT_EQ(services->SetTaskPane(L"CopyFromCD?AutoCopy:0"), wmp::kOk);
  ASSERT_EQ(Control().taskPanes.size(), 1u);
  EXPECT_EQ(Control().taskPanes[0], L"CopyFromCD?AutoCopy:0");

  wmp::MediaPtr item;
  ASSERT_EQ(player_->NewMedia(L"C:\\Music\\a.wma", &item), wmp::kOk);
  std::wstring url;
  item->SourceUrl(&url);
  EXPECT_EQ(url, L"C:\\Music\\a.wma");

  EXPECT_EQ(player_->Close(), wmp::kOk);
  EXPECT_EQ(Control().closes, 1);
}

TEST_F(ComModelTest, CdDriveIsFoundAndRipsWithProgressInOurWording) {
  engine::CdromCollectionRef drives;
  ASSERT_TRUE(drives.TakeFromPlayer(player_.get()));
  EXPECT_EQ(drives.GetCount(), 1);
  EXPECT_EQ(drives.GetDriveIndex(L"D:"), 0);
  EXPECT_EQ(drives.GetDriveIndex(L"E:"), -1);

  engine::CdromRef drive;
  ASSERT_EQ(drives.GetItem(0, &drive), wmp::kOk);
  engine::PlaylistRef disc;
  ASSERT_EQ(drive.GetPlaylist(&disc), wmp::kOk);
  EXPECT_EQ(disc.GetName(), L"Marimba Demo");
  ASSERT_EQ(disc.GetCount(), 3);

  engine::CdromRipRef rip;
  ASSERT_EQ(drives.GetRipInterface(0, &rip), wmp::kOk);
  ASSERT_EQ(rip.StartRip(), wmp::kOk);
  EXPECT_EQ(rip.GetRipState(), static_cast<long>(wmp::RipState::Ripping));

  engine::MediaRef first;
  engine::MediaRef second;
  ASSERT_EQ(disc.GetItem(0, &first), wmp::kOk);
  ASSERT_EQ(disc.GetItem(1, &second), wmp::kOk);
  EXPECT_EQ(first.GetTrackNumber(), 1);
  EXPECT_EQ(first.GetRipProgress(engine::RipProgressMode::Status), 0)
      << "the first track has started";
  EXPECT_EQ(second.GetRipProgress(engine::RipProgressMode::Status), -2)
      << "a pending track has not started";

  // The control's own wordings, as the tool's reader of the figure sees them.
  struct Case {
    const wchar_t* status;
    int percent;
  };
  const Case cases[] = {
      {L"Ripping (45%)", 45},
      {L"取り込み中 (４５％)", 45},
      {L" Ripping (7%)", 7},
      {L"45% ripped", 45},
      {L"Ripped to library", -2},
      {L"ライブラリに取り込み済み", -2},
      {L"", -2},
      {L"Ripping (100%)", 100},
  };
  for (const Case& c : cases) {
    Drive().disc->items[0]->info[L"Status"] = c.status;
    EXPECT_EQ(first.GetRipProgress(engine::RipProgressMode::Status), c.percent)
        << "status \"" << std::string(c.status, c.status + wcslen(c.status)) << "\"";
  }

  ASSERT_EQ(rip.StopRip(), wmp::kOk);
  EXPECT_EQ(rip.GetRipState(), static_cast<long>(wmp::RipState::Stopped));
  EXPECT_EQ(drive.Eject(), wmp::kOk);
  EXPECT_EQ(Drive().ejects, 1);

  Drive().ripFace = false;
  engine::CdromRipRef none;
  EXPECT_TRUE(wmp::Failed(drives.GetRipInterface(0, &none))) << "an older engine has no rip face";
}

TEST_F(ComModelTest, ItemAttributesAreReadAndWrittenThroughTheControl) {
  wmp::MediaCollectionPtr library;
  ASSERT_EQ(player_->MediaCollection(&library), wmp::kOk);
  wmp::PlaylistPtr found;
  ASSERT_EQ(library->GetByAlbum(L"Marimba Demo", &found), wmp::kOk);
  engine::PlaylistRef album(found);
  ASSERT_EQ(album.GetCount(), 2);

  engine::MediaRef item;
  ASSERT_EQ(album.GetItem(0, &item), wmp::kOk);
  EXPECT_EQ(item.GetTrackNumber(), 1);
  EXPECT_EQ(item.GetFileSize(), 1048576);
  EXPECT_EQ(item.GetBitrateKbps(), 128);
  EXPECT_EQ(item.GetFileType(), L"wma");
  EXPECT_EQ(item.GetDurationText(), L"3:35");
  EXPECT_EQ(item.GetSourceUrl(), L"C:\\Music\\Orbit\\Marimba Demo\\01 Track.wma");
  double seconds = 0;
  EXPECT_EQ(item.GetDuration(&seconds), wmp::kOk);
  EXPECT_EQ(seconds, 215.0);

  // Writes reach the control's item; a refused one comes back as its error.
  EXPECT_EQ(item.SetAttribute(L"WM/AlbumTitle", L"新しいアルバム"), wmp::kOk);
  EXPECT_EQ(Control().library[0]->info[L"WM/AlbumTitle"], L"新しいアルバム");
  EXPECT_EQ(item.SetAttribute(L"FileSize", L"1"), static_cast<wmp::HResult>(E_ACCESSDENIED));
  std::wstring missing = L"x";
  EXPECT_EQ(item.GetAttribute(L"WM/Composer", &missing), wmp::kOk);
  EXPECT_EQ(missing, L"");
  EXPECT_TRUE(item.SetName(L"Track One"));
  EXPECT_EQ(Control().library[0]->name, L"Track One");

  // The same item reached by two queries is identical; another one is not.
  wmp::PlaylistPtr byName;
  ASSERT_EQ(library->GetByName(L"Track One", &byName), wmp::kOk);
  engine::MediaRef again;
  ASSERT_EQ(engine::PlaylistRef(byName).GetItem(0, &again), wmp::kOk);
  EXPECT_TRUE(item.IsIdentical(again));
  engine::MediaRef other;
  ASSERT_EQ(album.GetItem(1, &other), wmp::kOk);
  EXPECT_FALSE(item.IsIdentical(other));
  ForeignMedia foreign;
  EXPECT_FALSE(item.IsIdentical(&foreign));
}

TEST_F(ComModelTest, LibraryAddsFindsAndRemovesWithOrWithoutTheFile) {
  wmp::MediaCollectionPtr library;
  ASSERT_EQ(player_->MediaCollection(&library), wmp::kOk);

  wmp::MediaPtr added;
  ASSERT_EQ(library->Add(L"C:\\Music\\Orbit\\Marimba Demo\\03 Track.wma", &added), wmp::kOk);
  wmp::MediaPtr same;
  ASSERT_EQ(library->Add(L"C:\\Music\\Orbit\\Marimba Demo\\03 Track.wma", &same), wmp::kOk);
  bool identical = false;
  ASSERT_EQ(added->IsIdentical(same.get(), &identical), wmp::kOk);
  EXPECT_TRUE(identical) << "adding a file twice finds the first item";

  wmp::PlaylistPtr audio;
  ASSERT_EQ(library->GetByAttribute(L"MediaType", L"audio", &audio), wmp::kOk);
  EXPECT_EQ(engine::PlaylistRef(audio).GetCount(), 3);
  wmp::PlaylistPtr all;
  ASSERT_EQ(library->GetAll(&all), wmp::kOk);
  EXPECT_EQ(engine::PlaylistRef(all).GetCount(), 3);

  EXPECT_EQ(library->Remove(added.get(), true), wmp::kOk);
  engine::MediaRef first;
  ASSERT_EQ(engine::PlaylistRef(audio).GetItem(0, &first), wmp::kOk);
  EXPECT_EQ(library->Remove(first.Get(), false), wmp::kOk);
  ASSERT_EQ(Control().removals.size(), 2u);
  EXPECT_EQ(Control().removals[0], std::make_pair(std::wstring(L"03 Track.wma"), true));
  EXPECT_EQ(Control().removals[1], std::make_pair(std::wstring(L"Track 1"), false));

  ForeignMedia foreign;
  EXPECT_EQ(library->Remove(&foreign, true), wmp::kInvalidArg)
      << "an object of our own engine means nothing to the control";
  EXPECT_EQ(library->Remove(nullptr, true), wmp::kPointer);
}

TEST_F(ComModelTest, TemporaryPlaylistIsNamedFilledMarkedForThePartnershipAndDeleted) {
  wmp::MediaCollectionPtr library;
  ASSERT_EQ(player_->MediaCollection(&library), wmp::kOk);
  wmp::PlaylistCollectionPtr playlists;
  ASSERT_EQ(player_->PlaylistCollection(&playlists), wmp::kOk);
  wmp::PlaylistPtr older;
  ASSERT_EQ(playlists->NewPlaylist(L"Temp00", &older), wmp::kOk);
  Control().library.back()->info[L"Sync03"] = L"1";

  device::TempPlaylist temp(files_);
  ASSERT_TRUE(temp.Bind(player_.get(), library.get()));
  ASSERT_EQ(temp.CreateTempPlaylist(L""), wmp::kOk);
  EXPECT_EQ(temp.PlaylistName(), L"Temp01") << "Temp00 is taken";

  wmp::PlaylistPtr audio;
  ASSERT_EQ(library->GetByAttribute(L"MediaType", L"audio", &audio), wmp::kOk);
  engine::MediaRef second;
  ASSERT_EQ(engine::PlaylistRef(audio).GetItem(1, &second), wmp::kOk);
  EXPECT_EQ(temp.Playlist().AppendItem(second.Get()), wmp::kOk);
  fake::Playlist* made = Control().FindPlaylist(L"Temp01");
  ASSERT_NE(made, nullptr);
  ASSERT_EQ(made->items.size(), 1u);
  EXPECT_EQ(made->items[0]->name, L"Track 2");

  ASSERT_EQ(temp.ClearSyncMarks(3), wmp::kOk);
  ASSERT_EQ(temp.MarkSyncPlaylist(3), wmp::kOk);
  std::map<std::wstring, std::wstring> marks;
  for (const auto& item : Control().library) {
    if (item->info[L"MediaType"] == L"playlist") marks[item->name] = item->info[L"Sync03"];
  }
  EXPECT_EQ(marks[L"Temp00"], L"0");
  EXPECT_EQ(marks[L"Temp01"], L"1");
  EXPECT_EQ(temp.FilePath(), L"C:\\Users\\me\\Music\\Playlists\\Temp01.wpl");

  // Arrays of playlists by name, and the whole collection.
  wmp::PlaylistArrayPtr named;
  ASSERT_EQ(playlists->GetByName(L"Temp01", &named), wmp::kOk);
  long count = 0;
  ASSERT_EQ(named->Count(&count), wmp::kOk);
  EXPECT_EQ(count, 1);
  wmp::PlaylistArrayPtr every;
  ASSERT_EQ(playlists->GetAll(&every), wmp::kOk);
  ASSERT_EQ(every->Count(&count), wmp::kOk);
  EXPECT_EQ(count, 2);

  ASSERT_EQ(temp.DeleteTempPlaylist(), wmp::kOk);
  EXPECT_EQ(Control().FindPlaylist(L"Temp01"), nullptr);
  EXPECT_NE(Control().FindPlaylist(L"Temp00"), nullptr);
  temp.Reset();
}

TEST_F(ComModelTest, PartnershipIsMadeWithoutTheControlsDialogAndDeletedWithRetries) {
  engine::SyncServicesRef services;
  ASSERT_TRUE(services.TakeFromPlayer(player_.get()));
  EXPECT_EQ(services.GetDeviceCount(), 1);
  engine::SyncDeviceRef device;
  ASSERT_EQ(services.GetDevice(0, &device), wmp::kOk);
  engine::SyncDeviceRef none;
  EXPECT_TRUE(wmp::Failed(services.GetDevice(-1, &none)));
  EXPECT_TRUE(wmp::Failed(services.GetDevice(1, &none)));

  EXPECT_EQ(device.GetFriendlyName(), L"Orbit");
  EXPECT_EQ(device.GetDeviceName(), L"Orbit Digital Audio");
  EXPECT_EQ(device.GetDeviceId(), L"USB#VID_1234&PID_0001#SERIAL0001");
  EXPECT_EQ(device.GetSerialNumber(), L"0001");
  EXPECT_EQ(device.GetFreeSpace(), 5000000000LL);
  EXPECT_EQ(device.GetTotalSpace(), 8000000000LL);
  EXPECT_TRUE(device.IsConnected());
  EXPECT_EQ(device.GetPartnershipIndex(), 0);

  ASSERT_TRUE(device.CreatePartnership());
  EXPECT_EQ(Device().partnershipUiRequests, 0) << "the control is asked not to show its dialog";
  EXPECT_EQ(device.GetPartnershipIndex(), 3);
  EXPECT_EQ(device.GetStatus(), static_cast<long>(wmp::DeviceStatus::PartnershipExists));

  engine::SyncDeviceRef again;
  ASSERT_EQ(services.GetDevice(0, &again), wmp::kOk);
  EXPECT_TRUE(device.IsSameDevice(again));

  Device().failDeletions = 2;
  EXPECT_TRUE(device.DeletePartnership(clock_));
  EXPECT_EQ(Device().deletions, 3) << "two refusals, then success";
  EXPECT_EQ(device.GetPartnershipIndex(), 0);
}

TEST_F(ComModelTest, SyncStartsFollowsProgressAndStops) {
  engine::SyncServicesRef services;
  ASSERT_TRUE(services.TakeFromPlayer(player_.get()));
  engine::SyncDeviceRef device;
  ASSERT_EQ(services.GetDevice(0, &device), wmp::kOk);

  EXPECT_FALSE(device.Start()) << "no partnership yet";
  ASSERT_TRUE(device.CreatePartnership());
  ASSERT_TRUE(device.Start());
  EXPECT_EQ(device.GetSyncState(), static_cast<long>(wmp::SyncState::Synchronizing));
  Device().progress = 40;
  long percent = 0;
  ASSERT_TRUE(device.GetProgress(&percent));
  EXPECT_EQ(percent, 40);
  ASSERT_TRUE(device.StopSync());
  EXPECT_EQ(device.GetSyncState(), static_cast<long>(wmp::SyncState::Stopped));
}

TEST_F(ComModelTest, PartsTheControlDoesNotOfferComeBackAsItsErrors) {
  Control().cdromResult = E_NOTIMPL;
  Control().syncServices = false;
  wmp::CdromCollectionPtr drives;
  EXPECT_EQ(player_->CdromCollection(&drives), wmp::kNotImplemented);
  EXPECT_EQ(drives, nullptr);
  wmp::SyncServicesPtr services;
  EXPECT_EQ(player_->SyncServices(&services), static_cast<wmp::HResult>(E_NOINTERFACE));
  EXPECT_EQ(services, nullptr);
  engine::CdromCollectionRef ref;
  EXPECT_FALSE(ref.TakeFromPlayer(player_.get()));
}

}  // namespace
