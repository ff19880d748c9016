// Two discs without CD-TEXT under Wine: both rip into the same artist and
// album folder with the same track titles, and both are synchronised into
// the same album folder of a player. The second disc's files take free
// names; none of the first disc's files is replaced, on the PC or on the
// player.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mediaengine/base/event_hub.h"
#include "mediaengine/base/event_queue.h"
#include "mediaengine/base/rip_preferences.h"
#include "mediaengine/cdrom/disc_session.h"
#include "mediaengine/cdrom/disc_ripper.h"
#include "mediaengine/codec/asf_info.h"
#include "mediaengine/devices/sync_job.h"
#include "mediaengine/disc/disc_image.h"
#include "mediaengine/library/media_library.h"
#include "os/win32/win32_clock.h"
#include "os/win32/win32_drives.h"
#include "os/win32/win32_file_system.h"
#include "os/win32/win32_registry.h"
#include "os/win32/win32_system.h"
#include "support/files.h"

namespace {

using wine_test::ReadBytes;
using wine_test::WriteBytes;

// A disc of two tracks without any CD-TEXT: a cue sheet and its BIN of a
// tone of `pitch`, the tracks `seconds` long.
bool WriteUnnamedDisc(const std::wstring& root, int pitch, const int (&seconds)[2]) {
  if (!CreateDirectoryW(root.c_str(), nullptr)) return false;
  std::string bin;
  for (int track = 0; track < 2; ++track) {
    const std::size_t frames = static_cast<std::size_t>(seconds[track]) * 44100;
    for (std::size_t i = 0; i < frames; ++i) {
      const auto sample = static_cast<std::int16_t>(((i * pitch) % 200) * 100 - 10000);
      for (int channel = 0; channel < 2; ++channel) {
        bin.push_back(static_cast<char>(sample & 0xFF));
        bin.push_back(static_cast<char>((sample >> 8) & 0xFF));
      }
    }
  }
  const std::string cue = "FILE \"disc.bin\" BINARY\r\n"
                          "  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
                          "  TRACK 02 AUDIO\r\n    INDEX 01 " +
                          std::string(seconds[0] < 10 ? "00:0" : "00:") +
                          std::to_string(seconds[0]) + ":00\r\n";
  return WriteBytes(root + L"\\disc.bin", bin) && WriteBytes(root + L"\\disc.cue", cue);
}

class UnnamedDiscsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(workFolder_.Created());
    ASSERT_TRUE(CreateDirectoryW((work_ + L"\\player").c_str(), nullptr));
    library_ = std::make_unique<mediaengine::MediaLibrary>(
        files_, work_ + L"\\library", [this](const std::wstring& path, mediaengine::AsfInfo* info) {
          return mediaengine::ReadAsfInfo(files_, path, info);
        });
    library_->Load();
    context_ = std::make_unique<mediaengine::EngineContext>(mediaengine::EngineContext{
        files_, drives_, registry_, system_, clock_, hub_, *library_});
    preferences_.recordPath = work_ + L"\\rips";
    preferences_.fileDetail = L"*TrackNumber;*SongTitle";
    preferences_.fileSeparator = L" ";
    preferences_.wmaRate = 64000;
  }

  void TearDown() override {
    context_.reset();
    library_.reset();
  }

  // Rips both tracks of the disc in `folder`; the files it made.
  std::vector<std::wstring> Rip(const std::wstring& folder) {
    mediaengine::DiscProblem problem;
    auto image = mediaengine::DiscImage::Open(files_, folder + L"\\", &problem);
    EXPECT_TRUE(image) << "the disc cannot be read";
    if (!image) return {};
    mediaengine::DiscSession session(image);
    std::vector<std::wstring> ripped;
    for (int number = 1; number <= session.TrackCount(); ++number) {
      const auto result = mediaengine::RipTrack(
          *context_, session, number, preferences_, [this] { return stop_.load(); }, [](int) {});
      EXPECT_EQ(result.outcome, mediaengine::TrackRipOutcome::Ripped) << result.path;
      ripped.push_back(result.path);
    }
    return ripped;
  }

  // Synchronises the files to the player's album folder, as the engine does.
  mediaengine::SyncReport Sync(const std::vector<std::wstring>& sources) {
    mediaengine::DeviceDescription player;
    player.kind = mediaengine::DeviceKind::Folder;
    player.key = L"unnamed";
    player.root = work_ + L"\\player\\";
    player.syncFolder = mediaengine::SyncFolder::Music;
    std::vector<mediaengine::SyncItem> items;
    for (const auto& source : sources) items.push_back({nullptr, source});
    mediaengine::SyncJob job(files_, player, std::move(items));
    return job.Run(stop_, [](long) {});
  }

  wine_test::TempFolder workFolder_{L"marimba-unnamed-"};
  const std::wstring work_ = workFolder_.Path();
  os::win32::Win32FileSystem files_;
  os::win32::Win32Drives drives_;
  os::win32::Win32Registry registry_;
  os::win32::Win32System system_;
  os::win32::Win32Clock clock_;
  mediaengine::EventQueue queue_;
  mediaengine::EventHub hub_{queue_};
  std::unique_ptr<mediaengine::MediaLibrary> library_;
  std::unique_ptr<mediaengine::EngineContext> context_;
  mediaengine::RipPreferences preferences_;
  std::atomic<bool> stop_{false};
};

TEST_F(UnnamedDiscsTest, ASecondDiscWithoutCdTextKeepsTheFirstDiscsFiles) {
  ASSERT_TRUE(WriteUnnamedDisc(work_ + L"\\discA", 3, {3, 2}));
  ASSERT_TRUE(WriteUnnamedDisc(work_ + L"\\discB", 7, {5, 4}));

  const std::wstring ripFolder = work_ + L"\\rips\\アーティスト情報なし\\アルバム情報なし\\";
  const std::vector<std::wstring> first = Rip(work_ + L"\\discA");
  ASSERT_EQ(first, (std::vector<std::wstring>{ripFolder + L"01 トラック 1.wma",
                                              ripFolder + L"02 トラック 2.wma"}));
  const std::string firstBytes = ReadBytes(first[0]);
  ASSERT_EQ(Sync(first).end, mediaengine::SyncEnd::Completed);

  const std::vector<std::wstring> second = Rip(work_ + L"\\discB");
  ASSERT_EQ(second, (std::vector<std::wstring>{ripFolder + L"01 トラック 1 (2).wma",
                                               ripFolder + L"02 トラック 2 (2).wma"}));
  EXPECT_EQ(ReadBytes(first[0]), firstBytes) << "the first disc's rip is kept";
  ASSERT_EQ(Sync(second).end, mediaengine::SyncEnd::Completed);

  // On the player, both discs' tracks, each the copy of its own rip.
  const std::wstring album = work_ + L"\\player\\Music\\アーティスト情報なし\\アルバム情報なし\\";
  for (const auto& [copy, rip] : std::vector<std::pair<std::wstring, std::wstring>>{
           {album + L"01 トラック 1.wma", first[0]},
           {album + L"02 トラック 2.wma", first[1]},
           {album + L"01 トラック 1 (2).wma", second[0]},
           {album + L"02 トラック 2 (2).wma", second[1]}}) {
    const std::string bytes = ReadBytes(copy);
    EXPECT_FALSE(bytes.empty()) << "missing on the player";
    EXPECT_EQ(bytes, ReadBytes(rip));
  }
  EXPECT_NE(ReadBytes(album + L"01 トラック 1.wma"), ReadBytes(album + L"01 トラック 1 (2).wma"));

  // The same disc again is the same track again: it takes its own place.
  ASSERT_EQ(Rip(work_ + L"\\discA"), first);
}

}  // namespace
