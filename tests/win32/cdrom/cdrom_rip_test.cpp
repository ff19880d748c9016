// The CD drive access with our engine under Wine: the short demo disc in
// the CD-ROM drive D: of the test prefix is listed, opened, prepared and
// ripped, through the current engine's rip face and through the older
// engine's task pane, until the progress reports the whole disc; then the
// checked tracks are the ones handed on.
#include <windows.h>
// A 16-bit leftover of winbase.h that would rename a member of the engine
// wrappers.
#undef GetFreeSpace

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cdrom/cdrom_acc.h"
#include "common/player_context.h"
#include "engine/attributes.h"
#include "engine/win32/player_host.h"
#include "fakes/fake_combo_box.h"
#include "fakes/fake_label.h"
#include "fakes/fake_status_window.h"
#include "fakes/fake_track_list.h"
#include "os/reg_key.h"
#include "resources/resource.h"
#include "support/files.h"
#include "support/saved_registry.h"
#include "support/test_window.h"
#include "support/win32_platform.h"

namespace {

const wchar_t kPreferences[] = L"Software\\Microsoft\\MediaPlayer\\Preferences";
constexpr DWORD kRipTimeoutMs = 120000;

class CdromRipUnderWine : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    main_ = wine_test::MakeWindow(L"MarimbaCdromTestMain", DefWindowProcW, L"cdrom test", false);
    ASSERT_NE(main_.Get(), nullptr);
  }

  wine_test::Win32Platform win32_;
  wine_test::OwnedWindow main_;
};

TEST_P(CdromRipUnderWine, RipsTheDemoDiscAndHandsOnTheCheckedTracks) {
  const int major = GetParam();
  const wine_test::TempFolder workFolder(L"marimba-cdrom-" + std::to_wstring(major) + L"-");
  const std::wstring& work = workFolder.Path();
  const std::wstring ripFolder = work + L"\\rips";
  wine_test::SavedRegistryValues saved(win32_.registry, os::Hive::CurrentUser, kPreferences,
                                       {L"CDRecordPath", L"WMARecordRate"});
  {
    os::RegKey key = os::RegKey::Create(win32_.registry, os::Hive::CurrentUser, kPreferences,
                                        os::KeyAccess::Write);
    ASSERT_TRUE(key.IsOpen());
    ASSERT_EQ(key.SetString(L"CDRecordPath", ripFolder), os::kSuccess);
    ASSERT_EQ(key.SetDword(L"WMARecordRate", 64000), os::kSuccess);
  }
  const std::wstring version = L"MARIMBA_ENGINE_MAJOR_VERSION=" + std::to_wstring(major);
  _wputenv(version.c_str());
  engine::win32::PlayerHost host(win32_.platform, win32_.strings, work + L"\\library");
  ASSERT_TRUE(host.CreatePlayerHost(main_.Get()));
  _wputenv(L"MARIMBA_ENGINE_MAJOR_VERSION=");

  common::PlayerContext context;
  ASSERT_TRUE(context.BindPlayer(host.Player()));
  EXPECT_EQ(context.MajorVersion(), major);
  fakes::FakeStatusHost statusHost;
  fakes::FakeComboBox combo;
  fakes::FakeTrackList list;
  fakes::FakeLabel sizeLabel;
  fakes::FakeLabel albumLabel;
  cdrom::CCDROMAcc acc(context, win32_.drives, win32_.files, win32_.clock, statusHost,
                       win32_.strings);
  ASSERT_TRUE(acc.Attach(&combo));
  ASSERT_TRUE(acc.SetControls(&list, &sizeLabel, &albumLabel));

  // The drive as the main window shows it at start.
  acc.RefreshList(true, true);
  ASSERT_EQ(combo.Items().size(), 1u);
  EXPECT_EQ(combo.Items()[0], L"MUSIC (D:)");
  ASSERT_TRUE(acc.IsAudioOnlyDisc(L"D:"));
  ASSERT_TRUE(acc.OpenDisc(true));
  const int tracks = acc.GetTrackCount(false);
  ASSERT_EQ(tracks, 3);
  acc.FillTrackList(64000, true);
  acc.ShowAlbumName();
  ASSERT_EQ(list.GetRowCount(), tracks);
  EXPECT_FALSE(albumLabel.GetText().empty());
  EXPECT_TRUE(albumLabel.HasSystemColour());
  EXPECT_GT(acc.GetTotalSize(), 0.0);
  EXPECT_GT(acc.GetFreeSpaceMB(ripFolder), 0.0f);

  // The user leaves track 2 out.
  list.Check(1, false);

  // The preparation steps of the transfer command, then the rip.
  ASSERT_TRUE(acc.RemoveMissingLibraryEntries());
  ASSERT_TRUE(acc.CheckRippedFiles(64000, ripFolder));
  ASSERT_TRUE(acc.CheckTrackOrder());
  ASSERT_TRUE(acc.PrepareDiscTags(1));
  ASSERT_TRUE(acc.CorrectLibraryTags());
  ASSERT_EQ(acc.StartRip(), 0);
  EXPECT_TRUE(acc.IsStatusShown());

  // What the event handler and the rip timer of the main window do: the
  // progress of the item being ripped, and the completion test.
  const int whole = tracks * 100;
  int progress = 0;
  const DWORD started = GetTickCount();
  while (progress != whole && GetTickCount() - started < kRipTimeoutMs) {
    wine_test::Pump();
    // The latest track that has started is the one being ripped.
    for (int b = tracks; b >= 1; --b) {
      const std::int32_t percent =
          acc.GetDiscItem(b - 1).GetRipProgress(engine::RipProgressMode::Status);
      if (percent < 0) continue;
      const int value = acc.UpdateRipProgress((b - 1) * 100 + percent);
      ASSERT_GE(value, 0) << "track " << b << " at " << percent << "%";
      break;
    }
    progress = acc.UpdateRipProgress(0);
    ASSERT_GE(progress, 0);
    Sleep(50);
  }
  ASSERT_EQ(progress, whole) << "the rip did not finish in time";
  EXPECT_EQ(acc.GetRippedCount(), tracks);
  EXPECT_FALSE(acc.IsStatusShown());
  EXPECT_EQ(statusHost.Log().created, 1);
  EXPECT_EQ(statusHost.Log().destroyed, 1);
  const fakes::StatusLog& log = statusHost.Log();
  EXPECT_EQ(log.messages.front(), win32_.strings.Load(IDS_PROGRESS_RIP_PREPARING));
  const std::wstring ripping = win32_.strings.Load(IDS_PROGRESS_RIPPING);
  for (std::size_t i = 1; i < log.messages.size(); ++i) {
    EXPECT_EQ(log.messages[i].compare(0, ripping.size(), ripping), 0);
  }
  EXPECT_EQ(log.positions.back(), whole);

  // After the rip: the tags again, and the checked tracks for the player.
  ASSERT_TRUE(acc.CorrectLibraryTags());
  list.SnapshotChecks(false);
  wmp::PlaylistPtr checked = acc.FindRippedTracks(true);
  ASSERT_TRUE(checked);
  std::vector<int> numbers;
  long count = 0;
  ASSERT_EQ(checked->Count(&count), wmp::kOk);
  for (long i = 0; i < count; ++i) {
    engine::MediaRef item;
    ASSERT_EQ(engine::PlaylistRef(checked).GetItem(i, &item), wmp::kOk);
    numbers.push_back(item.GetTrackNumber());
    const std::wstring url = item.GetSourceUrl();
    EXPECT_EQ(url.compare(0, ripFolder.size(), ripFolder), 0) << "ripped below the rip folder";
    EXPECT_TRUE(win32_.files.Exists(url));
    EXPECT_GT(item.GetFileSize(), 0);
    EXPECT_EQ(item.GetFileType(), L"wma");
    EXPECT_EQ(item.GetBitrateKbps(), 64);
  }
  EXPECT_EQ(numbers, (std::vector<int>{1, 3}));
  // The library keeps the unchecked track.
  ASSERT_TRUE(acc.FindRippedTracks(false));
  EXPECT_EQ(acc.GetRippedCount(), tracks);
  // The names got their numbers before the rip.
  EXPECT_EQ(acc.GetDiscItem(0).GetName().substr(0, 2), L"1 ");

  // With everything in the library, a new rip is not needed.
  EXPECT_EQ(acc.StartRip(), whole);
  acc.Reset();
  context.UnbindPlayer();
  host.ReleasePlayerHost();
}

INSTANTIATE_TEST_SUITE_P(EngineGenerations, CdromRipUnderWine, ::testing::Values(11, 10),
                         [](const ::testing::TestParamInfo<int>& param) {
                           return "Engine" + std::to_string(param.param);
                         });

}  // namespace
