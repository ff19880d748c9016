#pragma once
// A player device access object wired to fakes: files, drives, clock, the
// maker libraries as registered modules, the engine, a device manager,
// combo box, labels, track list and progress windows.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/player_context.h"
#include "device/dap_acc.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_combo_box.h"
#include "fakes/fake_drives.h"
#include "fakes/fake_engine.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_label.h"
#include "fakes/fake_modules.h"
#include "fakes/fake_status_window.h"
#include "fakes/fake_track_list.h"
#include "resources/rc_string_table.h"

namespace dap_test {

inline const res::RcStringTable& Strings() {
  static const res::RcStringTable table(MARIMBA_RESOURCE_DIR);
  return table;
}

// What the registered maker libraries answer. Entry points are plain
// functions, so the answers live here, reset by every fixture.
struct MakerAnswers {
  std::string letters;
  std::string mainLetters;
  int result = 1;
  int admin = 0;
  // Fills all 33 bytes with letters, leaving no terminator.
  bool overfill = false;
  int calls = 0;
};

inline MakerAnswers& Maker() {
  static MakerAnswers answers;
  return answers;
}

inline int Answer(char* buffer, const std::string& letters) {
  ++Maker().calls;
  if (Maker().overfill) {
    std::memset(buffer, 'F', device::kDriveLetterBufferBytes);
    return Maker().result;
  }
  std::memcpy(buffer, letters.data(), letters.size());
  return Maker().result;
}

inline int GetDriveNo(char* buffer) { return Answer(buffer, Maker().letters); }
inline int GetDriveNoMain(char* buffer) { return Answer(buffer, Maker().mainLetters); }
inline int GetAdminAuthority() { return Maker().admin; }

template <typename Fn>
os::ProcAddress Export(Fn fn) {
  return reinterpret_cast<os::ProcAddress>(fn);
}

// A device manager whose devices the test lists.
struct FakeManagedDevice : device::IManagedDevice {
  std::wstring manufacturer = L"ORBIT";
  std::wstring friendlyName;
  std::vector<device::StorageSize> storages;

  wmp::HResult GetManufacturer(std::wstring* text) override {
    *text = manufacturer;
    return wmp::kOk;
  }
  wmp::HResult GetFriendlyName(std::wstring* name) override {
    *name = friendlyName;
    return friendlyName.empty() ? wmp::kNotImplemented : wmp::kOk;
  }
  wmp::HResult EnumStorage(std::vector<device::StorageSize>* found) override {
    *found = storages;
    return wmp::kOk;
  }
};

class FakeDeviceManager : public device::IDeviceManagerSource,
                          public device::IDeviceManager,
                          public device::IManagedDeviceEnum {
 public:
  std::vector<std::shared_ptr<FakeManagedDevice>> devices;
  wmp::HResult openResult = wmp::kOk;

  // The fixture outlives every holder, so the objects are lent, not owned.
  wmp::HResult Open(device::DeviceManagerPtr* manager) override {
    if (wmp::Succeeded(openResult)) {
      *manager = device::DeviceManagerPtr(device::DeviceManagerPtr(), this);
    }
    return openResult;
  }
  wmp::HResult EnumDevices(device::ManagedDeviceEnumPtr* list) override {
    next_ = 0;
    *list = device::ManagedDeviceEnumPtr(device::ManagedDeviceEnumPtr(), this);
    return wmp::kOk;
  }
  wmp::HResult Next(device::ManagedDevicePtr* device) override {
    if (next_ >= devices.size()) return wmp::kFalse;
    *device = devices[next_++];
    return wmp::kOk;
  }

 private:
  std::size_t next_ = 0;
};

class DapFixture : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(Strings().Loaded());
    Maker() = MakerAnswers();
    modules.Register(device::kDeviceLibraryName,
                     {{device::kDriveLettersEntryName, Export(&GetDriveNo)},
                      {device::kMainDriveLettersEntryName, Export(&GetDriveNoMain)}});
    modules.Register(device::kNtLibraryName,
                     {{device::kAdminAuthorityEntryName, Export(&GetAdminAuthority)}});
    files.AddDrive(L'C');
    drives.AddDrive(L'C', os::DriveType::Fixed, L"SYSTEM");
    ASSERT_TRUE(context.BindPlayer(player));
  }

  void AttachAndLabel() {
    ASSERT_TRUE(dap.Attach(&combo));
    ASSERT_TRUE(dap.SetCapacityLabels(&usedLabel, &freeLabel));
  }

  // A player drive the system and the maker library know; `main` puts it
  // among the main storage drives.
  void AddPlayerDrive(wchar_t letter, bool main, const std::wstring& label = L"") {
    files.AddDrive(letter, 1ULL << 30);
    if (label.empty()) {
      drives.AddDriveWithoutVolume(letter, os::DriveType::Removable);
    } else {
      drives.AddDrive(letter, os::DriveType::Removable, label);
    }
    Maker().letters.push_back(static_cast<char>(letter));
    if (main) Maker().mainLetters.push_back(static_cast<char>(letter));
  }

  // WMPInfo.xml as the platform's engine writes it: UTF-16LE with a mark.
  void WriteWmpInfo(wchar_t letter, const std::wstring& deviceId) {
    std::u16string text = u"<DeviceInfo><WMP DeviceID=\"";
    for (wchar_t c : deviceId) text.push_back(static_cast<char16_t>(c));
    text += u"\"/></DeviceInfo>";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
      bytes.push_back(static_cast<char>(c & 0xFF));
      bytes.push_back(static_cast<char>(c >> 8));
    }
    files.AddFile(std::wstring{letter, L':', L'\\'} + L"WMPInfo.xml", bytes);
  }

  // The engine's device of a player drive, tied to it by WMPInfo.xml.
  fakes::FakeSyncDevicePtr AddDriveDevice(wchar_t letter) {
    const std::wstring drive{letter, L':'};
    fakes::FakeSyncDevicePtr device = player->Devices().AddDevice(
        L"Cadenza (" + drive + L")", L"Orbit Cadenza Digital Audio Player");
    device->SetDeviceId(L"{0000000" + std::wstring(1, letter) + L"-ABCD}");
    WriteWmpInfo(letter, device->State().deviceId);
    return device;
  }

  // What the engine does when asked for a partnership of a drive's device:
  // the file in the drive's root names it again, and the answer follows.
  void CompletePartnership(fakes::FakeSyncDevice& device, long index, wchar_t letter = 0) {
    if (letter != 0) WriteWmpInfo(letter, device.State().deviceId);
    player->CompletePartnership(device, index);
  }

  // A ripped album in the library and on the PC disk: tracks "Song 1".. by
  // "Artist" on album "Album", with track numbers.
  fakes::FakePlaylistPtr RippedAlbum(int tracks) {
    fakes::FakePlaylistPtr disc = fakes::MakeDisc(tracks);
    auto items = player->Library().AddRippedDisc(*disc);
    fakes::FakePlaylistPtr source = fakes::FakePlaylist::Create(L"Album");
    for (const auto& item : items) {
      files.AddFile(item->Url(), "audio");
      source->Add(item);
    }
    return source;
  }

  // Lists the players, selects the first as at start and makes the
  // partnership of its device.
  void Partner(fakes::FakeSyncDevice& device, long index, wchar_t letter = 0) {
    dap.RefreshList(true, true);
    ASSERT_TRUE(dap.EnsurePartnership());
    CompletePartnership(device, index, letter);
    ASSERT_TRUE(dap.OnPartnershipComplete(device.Fresh().get()));
    ASSERT_EQ(dap.GetState(), common::kOpened);
    ASSERT_EQ(dap.Partnership(), index);
  }

  fakes::FakeFileSystem files;
  fakes::FakeDrives drives;
  fakes::FakeClock clock;
  fakes::FakeModules modules;
  fakes::FakeStatusHost statusHost;
  std::shared_ptr<fakes::FakePlayer> player = std::make_shared<fakes::FakePlayer>(&files);
  common::PlayerContext context;
  FakeDeviceManager manager;
  // The main window's track list and its check snapshot; without one, every
  // track of a transfer goes.
  fakes::FakeTrackList trackList;
  bool hasTrackList = true;
  const ui::CheckSnapshot* Checks() const { return hasTrackList ? &trackList.Checks() : nullptr; }
  fakes::FakeComboBox combo;
  fakes::FakeLabel usedLabel;
  fakes::FakeLabel freeLabel;
  device::CDAPAcc dap{device::DapPorts{files, drives, clock, modules, statusHost, Strings(),
                                       context, manager}};
};

// A connected, labelled player on F: and a transfer to it started at kStart.
class PlayerFilesFixture : public DapFixture {
 public:
  static constexpr std::int64_t kStart = 1'800'000'000;

  void SetUp() override {
    DapFixture::SetUp();
    AddPlayerDrive(L'F', true, L"CADENZA");
    device = AddDriveDevice(L'F');
    AttachAndLabel();
  }

  // A transfer of the album's first `tracks` tracks with these album texts.
  void Transfer(int tracks, const std::wstring& artist = L"Artist",
                const std::wstring& album = L"Album") {
    Partner(*device, 1, L'F');
    hasTrackList = false;
    fakes::FakePlaylistPtr source = RippedAlbum(tracks);
    for (const auto& item : source->Items()) {
      item->Set(L"WM/AlbumArtist", artist).Set(L"Album", album);
    }
    ASSERT_TRUE(dap.PrepareSync(source.get(), Checks()));
    clock.SetNow(kStart);
    ASSERT_TRUE(dap.StartSync());
    clock.SetNow(kStart + 60);
  }

  fakes::FakeSyncDevicePtr device;
};

}  // namespace dap_test
