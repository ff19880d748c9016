// Our engine end to end against the fakes: a disc in a CD-ROM drive, its
// playlist and edits, the rip into the rip folder and the library, eject and
// re-insertion, and a damaged image that fails the rip cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "mediaengine/codec/asf_info.h"
#include "mediaengine/player/player.h"
#include "engine/model/player.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_drives.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "os/reg_key.h"
#include "os/text_encoding.h"

namespace {

constexpr int kSectorBytes = 2352;

// Two short tracks of tones: 75 and 113 sectors.
std::string MakeBin() {
  const int sectors = 75 + 113;
  std::string bin(static_cast<std::size_t>(sectors) * kSectorBytes, '\0');
  for (std::size_t frame = 0; frame < bin.size() / 4; ++frame) {
    const double t = static_cast<double>(frame) / 44100.0;
    const auto sample = static_cast<std::int16_t>(8000 * std::sin(2 * 3.14159265 * 440 * t));
    for (int channel = 0; channel < 2; ++channel) {
      bin[frame * 4 + channel * 2] = static_cast<char>(sample & 0xFF);
      bin[frame * 4 + channel * 2 + 1] = static_cast<char>((sample >> 8) & 0xFF);
    }
  }
  return bin;
}

const char kCue[] =
    "PERFORMER \"木琴合奏団\"\n"
    "TITLE \"マリンバの午後\"\n"
    "FILE \"disc.bin\" BINARY\n"
    "  TRACK 01 AUDIO\n"
    "    TITLE \"朝の歌\"\n"
    "    INDEX 01 00:00:00\n"
    "  TRACK 02 AUDIO\n"
    "    TITLE \"AC/DC: Live?\"\n"
    "    INDEX 01 00:01:00\n";

class Recorder : public wmp::PlayerEventsBase {
 public:
  void CdromMediaChange(long index) override { mediaChanges.push_back(index); }
  void MediaChange(wmp::IMedia* item) override {
    std::wstring number, status;
    item->GetItemInfo(L"WM/TrackNumber", &number);
    item->GetItemInfo(L"Status", &status);
    statuses.push_back(number + L":" + status);
  }
  void MediaError(wmp::IMedia*) override { ++errors; }
  void PlaylistChange(wmp::IPlaylist*, long change) override { playlistChanges.push_back(change); }
  std::vector<long> mediaChanges;
  std::vector<std::wstring> statuses;
  std::vector<long> playlistChanges;
  int errors = 0;
};

class EnginePlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files_.AddDrive(L'C');
    files_.AddDrive(L'D');
    files_.AddFile(L"D:\\disc.cue", kCue);
    files_.AddFile(L"D:\\disc.bin", MakeBin());
    drives_.AddDrive(L'C', os::DriveType::Fixed);
    drives_.AddDrive(L'D', os::DriveType::CdRom, L"MUSIC");
    system_.SetMusicFolder(L"C:\\Music");
    os::RegKey key = os::RegKey::Create(registry_, os::Hive::CurrentUser,
                                        L"Software\\Microsoft\\MediaPlayer\\Preferences",
                                        os::KeyAccess::Write);
    key.SetString(L"CDRecordPath", L"C:\\Rips");
    key.SetDword(L"WMARecordRate", 64000);
  }

  std::shared_ptr<mediaengine::Player> Start() {
    mediaengine::EngineConfig config{files_, drives_, registry_, system_, clock_,
                                L"C:\\Library", 11, nullptr};
    auto player = mediaengine::Player::Create(config);
    std::uint32_t cookie = 0;
    EXPECT_EQ(player->Advise(recorder_, &cookie), wmp::kOk);
    return player;
  }

  wmp::CdromPtr Drive(mediaengine::Player& player) {
    wmp::CdromCollectionPtr drives;
    player.CdromCollection(&drives);
    wmp::CdromPtr drive;
    drives->Item(0, &drive);
    return drive;
  }

  // Waits for the rip worker, delivering its events as the host would.
  void WaitForRip(mediaengine::Player& player, wmp::CdromRipPtr rip) {
    long state = 1;
    for (int i = 0; i < 2000 && state == 1; ++i) {
      player.DrainEvents();
      rip->RipState(&state);
      if (state == 1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    player.DrainEvents();
    ASSERT_EQ(state, static_cast<long>(wmp::RipState::Stopped));
  }

  fakes::FakeFileSystem files_;
  fakes::FakeDrives drives_;
  fakes::FakeRegistry registry_;
  fakes::FakeSystem system_;
  fakes::FakeClock clock_;
  std::shared_ptr<Recorder> recorder_ = std::make_shared<Recorder>();
};

TEST_F(EnginePlayerTest, ShowsTheDiscAsAPlaylistOfItsTracks) {
  auto player = Start();
  wmp::CdromCollectionPtr drives;
  ASSERT_EQ(player->CdromCollection(&drives), wmp::kOk);
  long count = 0;
  drives->Count(&count);
  ASSERT_EQ(count, 1) << "only the CD-ROM drive";
  wmp::CdromPtr drive = Drive(*player);
  std::wstring specifier;
  drive->DriveSpecifier(&specifier);
  EXPECT_EQ(specifier, L"D:");

  wmp::PlaylistPtr disc;
  ASSERT_EQ(drive->Playlist(&disc), wmp::kOk);
  std::wstring name, toc;
  disc->Name(&name);
  disc->GetItemInfo(L"TOC", &toc);
  EXPECT_EQ(name, L"マリンバの午後");
  EXPECT_EQ(toc, L"2+96+E1+152");
  disc->Count(&count);
  ASSERT_EQ(count, 2);
  wmp::MediaPtr second;
  disc->Item(1, &second);
  std::wstring title, number, artist, duration;
  second->GetItemInfo(L"Title", &title);
  second->GetItemInfo(L"WM/TrackNumber", &number);
  second->GetItemInfo(L"WM/AlbumArtist", &artist);
  second->DurationString(&duration);
  EXPECT_EQ(title, L"AC/DC: Live?");
  EXPECT_EQ(number, L"2");
  EXPECT_EQ(artist, L"木琴合奏団");
  EXPECT_EQ(duration, L"00:01");

  wmp::MediaPtr again;
  disc->Item(1, &again);
  bool identical = false;
  again->IsIdentical(second.get(), &identical);
  EXPECT_TRUE(identical) << "fresh objects of one track are identical";
  wmp::MediaPtr first;
  disc->Item(0, &first);
  first->IsIdentical(second.get(), &identical);
  EXPECT_FALSE(identical);
}

TEST_F(EnginePlayerTest, RipsEveryTrackWithTheEditsIntoTheRipFolderAndTheLibrary) {
  auto player = Start();
  wmp::CdromPtr drive = Drive(*player);
  wmp::PlaylistPtr disc;
  drive->Playlist(&disc);
  ASSERT_EQ(disc->SetName(L"午後の歌"), wmp::kOk);
  wmp::MediaPtr first;
  disc->Item(0, &first);
  ASSERT_EQ(first->SetItemInfo(L"Title", L"朝"), wmp::kOk);
  player->DrainEvents();
  EXPECT_EQ(recorder_->playlistChanges, std::vector<long>{wmp::kPlaylistChangeName});
  recorder_->statuses.clear();

  wmp::CdromRipPtr rip = drive->Rip();
  ASSERT_NE(rip, nullptr);
  ASSERT_EQ(rip->StartRip(), wmp::kOk);
  WaitForRip(*player, rip);

  EXPECT_TRUE(files_.Exists(L"C:\\Rips\\木琴合奏団\\午後の歌\\01 朝.wma"));
  EXPECT_TRUE(files_.Exists(L"C:\\Rips\\木琴合奏団\\午後の歌\\02 AC_DC_ Live_.wma"));
  std::vector<os::FindEntry> entries;
  files_.FindFiles(L"C:\\Rips\\木琴合奏団\\午後の歌\\*.*", &entries);
  EXPECT_EQ(entries.size(), 4u) << "two tracks and the dot entries, no temporary file";

  ASSERT_FALSE(recorder_->statuses.empty());
  // Track 1 shows first. Items read their status when the event arrives and
  // a one-second track encodes in a few milliseconds, so its 0% may be gone.
  EXPECT_EQ(recorder_->statuses.front().rfind(L"1:Rip", 0), 0u)
      << os::Utf8FromWide(recorder_->statuses.front());
  EXPECT_EQ(recorder_->statuses.back(), L"2:Ripped (100%)");
  EXPECT_NE(std::find(recorder_->statuses.begin(), recorder_->statuses.end(),
                      L"1:Ripped (100%)"),
            recorder_->statuses.end());

  wmp::MediaCollectionPtr library;
  player->MediaCollection(&library);
  wmp::PlaylistPtr ripped;
  ASSERT_EQ(library->GetByAttribute(L"TOC", L"2+96+E1+152", &ripped), wmp::kOk);
  long count = 0;
  ripped->Count(&count);
  ASSERT_EQ(count, 2);
  wmp::MediaPtr item;
  ripped->Item(0, &item);
  std::wstring value;
  item->GetItemInfo(L"FileType", &value);
  EXPECT_EQ(value, L"wma");
  item->GetItemInfo(L"Bitrate", &value);
  EXPECT_EQ(std::stol(value) / 1000, 64);
  item->GetItemInfo(L"WM/AlbumTitle", &value);
  EXPECT_EQ(value, L"午後の歌");
  item->GetItemInfo(L"FileSize", &value);
  EXPECT_GT(std::stol(value), 0);
  item->SourceUrl(&value);
  EXPECT_EQ(value, L"C:\\Rips\\木琴合奏団\\午後の歌\\01 朝.wma");
  long progress = 0;
  rip->RipProgress(&progress);
  EXPECT_EQ(progress, 100);
}

TEST_F(EnginePlayerTest, EditsReachTheFilesAndStatusPercentagesRise) {
  auto player = Start();
  wmp::CdromPtr drive = Drive(*player);
  wmp::PlaylistPtr disc;
  drive->Playlist(&disc);
  disc->SetItemInfo(L"WM/AlbumArtist", L"Marimba Ensemble");
  wmp::MediaPtr second;
  disc->Item(1, &second);
  second->SetItemInfo(L"Artist", L"ソロ");
  second->SetName(L"Evening");
  player->DrainEvents();
  recorder_->statuses.clear();
  ASSERT_EQ(drive->Rip()->StartRip(), wmp::kOk);
  WaitForRip(*player, drive->Rip());

  mediaengine::AsfInfo info;
  ASSERT_TRUE(mediaengine::ReadAsfInfo(
      files_, L"C:\\Rips\\Marimba Ensemble\\マリンバの午後\\02 Evening.wma", &info));
  EXPECT_EQ(info.tags.title, L"Evening");
  EXPECT_EQ(info.tags.author, L"ソロ");
  EXPECT_EQ(info.tags.albumArtist, L"Marimba Ensemble");
  EXPECT_EQ(info.tags.albumTitle, L"マリンバの午後");
  EXPECT_EQ(info.tags.trackNumber, L"2");
  EXPECT_NEAR(info.durationSeconds, 113.0 / 75, 0.1);

  // Per track the percentages only rise, to the final 100. Items read their
  // status when the event is delivered, and the two tracks are encoded side
  // by side in a few milliseconds, so a track's first percent seen may be
  // past 0 (the rip-order tests check what is shown, step by step).
  for (const wchar_t* track : {L"1:", L"2:"}) {
    SCOPED_TRACE(os::Utf8FromWide(track));
    std::vector<int> percents;
    for (const std::wstring& status : recorder_->statuses) {
      if (status.rfind(track, 0) != 0) continue;
      const auto open = status.find(L'(');
      ASSERT_NE(open, std::wstring::npos) << os::Utf8FromWide(status);
      percents.push_back(std::stoi(status.substr(open + 1)));
    }
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  }
}

TEST_F(EnginePlayerTest, NamesFilesByEachDetailPattern) {
  const std::pair<const wchar_t*, const wchar_t*> patterns[] = {
      {L"*TrackNumber;*SongTitle;Artist;Album;Genre;Bitrate", L"01 朝の歌.wma"},
      {L"*SongTitle;TrackNumber;Artist;Album;Genre;Bitrate", L"朝の歌.wma"},
      {L"*Artist;*Album;*SongTitle;TrackNumber;Genre;Bitrate", L"木琴合奏団 マリンバの午後 朝の歌.wma"},
  };
  for (const auto& [pattern, name] : patterns) {
    os::RegKey key = os::RegKey::Create(registry_, os::Hive::CurrentUser,
                                        L"Software\\Microsoft\\MediaPlayer\\Preferences",
                                        os::KeyAccess::Write);
    key.SetString(L"CDRecordFileDetail", pattern);
    key.Close();
    auto player = Start();
    wmp::CdromPtr drive = Drive(*player);
    ASSERT_EQ(drive->Rip()->StartRip(), wmp::kOk);
    WaitForRip(*player, drive->Rip());
    EXPECT_TRUE(files_.Exists(std::wstring(L"C:\\Rips\\木琴合奏団\\マリンバの午後\\") + name))
        << os::Utf8FromWide(pattern);
  }
}

TEST_F(EnginePlayerTest, TheLibrarySurvivesARestart) {
  {
    auto player = Start();
    wmp::CdromPtr drive = Drive(*player);
    ASSERT_EQ(drive->Rip()->StartRip(), wmp::kOk);
    WaitForRip(*player, drive->Rip());
    player->Close();
  }
  auto player = Start();
  EXPECT_EQ(player->LibraryLoad().outcome, mediaengine::LoadOutcome::kLoaded);
  wmp::MediaCollectionPtr library;
  player->MediaCollection(&library);
  wmp::PlaylistPtr ripped;
  ASSERT_EQ(library->GetByAttribute(L"TOC", L"2+96+E1+152", &ripped), wmp::kOk);
  long count = 0;
  ripped->Count(&count);
  EXPECT_EQ(count, 2);
}

TEST_F(EnginePlayerTest, EjectHidesTheDiscUntilItIsTakenOutAndPutBack) {
  auto player = Start();
  wmp::CdromPtr drive = Drive(*player);
  ASSERT_EQ(drive->Eject(), wmp::kOk);
  player->DrainEvents();
  EXPECT_EQ(recorder_->mediaChanges, std::vector<long>{0});
  wmp::PlaylistPtr playlist;
  drive->Playlist(&playlist);
  std::wstring name;
  playlist->Name(&name);
  EXPECT_EQ(name, L"ドライブにディスクがありません");
  long count = -1;
  playlist->Count(&count);
  EXPECT_EQ(count, 0);

  player->Poll();
  player->DrainEvents();
  EXPECT_EQ(recorder_->mediaChanges.size(), 1u) << "the same disc stays ejected";

  const std::string cue = files_.Content(L"D:\\disc.cue");
  files_.Delete(L"D:\\disc.cue");
  player->Poll();
  player->DrainEvents();
  EXPECT_EQ(recorder_->mediaChanges.size(), 1u) << "taking it out changes nothing shown";
  files_.AddFile(L"D:\\disc.cue", cue);
  player->Poll();
  player->DrainEvents();
  EXPECT_EQ(recorder_->mediaChanges, (std::vector<long>{0, 0})) << "inserted again";
  drive->Playlist(&playlist);
  playlist->Name(&name);
  EXPECT_EQ(name, L"マリンバの午後");
}

TEST_F(EnginePlayerTest, ADamagedImageFailsTheRipAndLeavesNoFile) {
  auto player = Start();
  wmp::CdromPtr drive = Drive(*player);
  // The image loses its second half after the disc was read.
  const std::string bin = files_.Content(L"D:\\disc.bin");
  files_.AddFile(L"D:\\disc.bin", bin.substr(0, 100 * kSectorBytes));
  wmp::CdromRipPtr rip = drive->Rip();
  ASSERT_EQ(rip->StartRip(), wmp::kOk);
  WaitForRip(*player, rip);

  EXPECT_EQ(recorder_->errors, 1);
  ASSERT_FALSE(recorder_->statuses.empty());
  EXPECT_EQ(recorder_->statuses.back(), L"1:Rip failed")
      << "an image that no longer matches its sheet is not read at all";
  std::vector<os::FindEntry> entries;
  files_.FindFiles(L"C:\\Rips\\木琴合奏団\\マリンバの午後\\*.*", &entries);
  for (const auto& entry : entries) {
    EXPECT_TRUE(entry.IsDotEntry()) << "left behind: " << os::Utf8FromWide(entry.name);
  }
  wmp::MediaCollectionPtr library;
  player->MediaCollection(&library);
  wmp::PlaylistPtr all;
  library->GetByAttribute(L"MediaType", L"audio", &all);
  long count = -1;
  all->Count(&count);
  EXPECT_EQ(count, 0);
  long state = 0;
  rip->RipState(&state);
  EXPECT_EQ(state, static_cast<long>(wmp::RipState::Stopped));
}

TEST_F(EnginePlayerTest, OlderEnginesRipThroughTheTaskPane) {
  mediaengine::EngineConfig config{files_, drives_, registry_, system_, clock_,
                              L"C:\\Library", 10, nullptr};
  auto player = mediaengine::Player::Create(config);
  std::wstring version;
  player->VersionInfo(&version);
  EXPECT_EQ(version.substr(0, 3), L"10.");
  wmp::PlayerServicesPtr services;
  ASSERT_EQ(player->Services(&services), wmp::kOk);
  EXPECT_LT(services->SetTaskPane(L"CopyFromCD?AutoCopy:7"), 0) << "no drive 7";
  EXPECT_LT(services->SetTaskPane(L"Burn"), 0);
  ASSERT_EQ(services->SetTaskPane(L"CopyFromCD?AutoCopy:0"), wmp::kOk);
  WaitForRip(*player, Drive(*player)->Rip());
  EXPECT_TRUE(files_.Exists(L"C:\\Rips\\木琴合奏団\\マリンバの午後\\01 朝の歌.wma"));
}

}  // namespace
