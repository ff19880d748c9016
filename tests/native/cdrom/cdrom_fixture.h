#pragma once
// A CD drive access object wired to fakes: drives, files, clock, engine,
// combo box, track list, labels and progress windows.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cdrom/cdrom_acc.h"
#include "common/player_context.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_combo_box.h"
#include "fakes/fake_drives.h"
#include "fakes/fake_engine.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_label.h"
#include "fakes/fake_status_window.h"
#include "fakes/fake_track_list.h"
#include "resources/rc_string_table.h"

namespace cdrom_test {

inline const res::RcStringTable& Strings() {
  static const res::RcStringTable table(MARIMBA_RESOURCE_DIR);
  return table;
}

class CdromFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Strings().Loaded());
    files.AddDrive(L'C');
    drives.AddDrive(L'C', os::DriveType::Fixed, L"SYSTEM");
    ASSERT_TRUE(context.BindPlayer(player));
    ASSERT_TRUE(acc.Attach(&combo));
    ASSERT_TRUE(acc.SetControls(&list, &sizeLabel, &albumLabel));
  }

  // A CD-ROM drive known to the system, the file system and the engine,
  // with `disc` in it (an audio CD root: one TrackNN.cda per track).
  fakes::FakeCdromPtr AddCdDrive(wchar_t letter, fakes::FakePlaylistPtr disc,
                                 const std::wstring& label = L"MUSIC") {
    const std::wstring drive = std::wstring(1, letter) + L":";
    fakes::FakeCdromPtr cdrom = player->Drives().AddDrive(drive);
    if (disc) {
      drives.AddDrive(letter, os::DriveType::CdRom, label);
      files.AddDrive(letter);
      for (std::size_t i = 0; i < disc->Size(); ++i) {
        files.AddFile(drive + L"\\Track" + (i < 9 ? L"0" : L"") + std::to_wstring(i + 1) +
                      L".cda");
      }
      cdrom->Insert(disc);
    } else {
      drives.AddDriveWithoutVolume(letter, os::DriveType::CdRom);
      files.AddDrive(letter);
      files.SetDriveReady(letter, false);
      cdrom->Insert(fakes::MakeNoDisc());
    }
    return cdrom;
  }

  // Lists the drives, selects the first and opens its disc with content checks.
  bool OpenFirst() {
    acc.RefreshList(true, true);
    return acc.OpenDisc(true);
  }

  // The library items of `disc` as a finished rip leaves them.
  std::vector<fakes::FakeMediaPtr> RipAll(const fakes::FakePlaylist& disc,
                                         const fakes::RipOptions& options = {}) {
    std::vector<fakes::FakeMediaPtr> items = player->Library().AddRippedDisc(disc, options);
    for (const auto& item : items) files.AddFile(item->Url(), std::string(1000, 'x'));
    return items;
  }

  fakes::FakeDrives drives;
  fakes::FakeFileSystem files;
  fakes::FakeClock clock;
  fakes::FakeStatusHost statusHost;
  std::shared_ptr<fakes::FakePlayer> player = std::make_shared<fakes::FakePlayer>(&files);
  common::PlayerContext context;
  fakes::FakeComboBox combo;
  fakes::FakeTrackList list;
  fakes::FakeLabel sizeLabel;
  fakes::FakeLabel albumLabel;
  cdrom::CCDROMAcc acc{context, drives, files, clock, statusHost, Strings()};
};

// Track numbers of the items of a playlist, in order.
inline std::vector<int> TrackNumbers(wmp::IPlaylist* playlist) {
  std::vector<int> numbers;
  long count = 0;
  if (playlist == nullptr || wmp::Failed(playlist->Count(&count))) return numbers;
  for (long i = 0; i < count; ++i) {
    wmp::MediaPtr item;
    std::wstring number;
    if (wmp::Succeeded(playlist->Item(i, &item))) item->GetItemInfo(L"WM/TrackNumber", &number);
    numbers.push_back(number.empty() ? -1 : std::stoi(number));
  }
  return numbers;
}

}  // namespace cdrom_test
