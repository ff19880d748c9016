// Synchronisation over the fakes: exactly the playlists marked for the
// device's partnership, into the folder the player wants, and nothing lost
// when the player is full, refuses writing, is stopped or is pulled out.
#include <atomic>

#include "native/mediaengine/devices/engine_device_fixture.h"

namespace device_test {
namespace {

class EngineDeviceSyncTest : public EngineDeviceTest {
 protected:
  // Starts the engine with a partnered player F: and three tracks on C:.
  void SetUp() override {
    EngineDeviceTest::SetUp();
    StartPlayer();
    device_ = Device();
    ASSERT_NE(device_, nullptr);
    partnership_ = Partner(device_);
    ASSERT_EQ(partnership_, 1);
    one_ = Track(L"C:\\Music\\A\\01 One.mp3", Bytes(50'000, 'a'));
    two_ = Track(L"C:\\Music\\A\\02 Two.mp3", Bytes(70'000, 'b'));
    three_ = Track(L"C:\\Music\\B\\03 Three.mp3", Bytes(90'000, 'c'));
  }

  // Files in F:\ other than the player's own.
  std::vector<std::wstring> PlayerFiles() {
    std::vector<std::wstring> names;
    for (const auto& name : Listing(L"F:\\")) {
      if (name != L"PLAYER.INF" && name != L"SETTINGS.DAT" && name != L"WMPInfo.xml") {
        names.push_back(name);
      }
    }
    return names;
  }

  // Every track on the player is whole, and the one whose copy was under
  // way at `temporary` ("F:\\~MarimbaSync-<n>.tmp", n from 0) is not there.
  void ExpectWholeFilesWithout(const std::wstring& temporary) {
    const std::vector<std::pair<std::wstring, std::string>> tracks = {
        {L"01 One.mp3", Bytes(50'000, 'a')},
        {L"02 Two.mp3", Bytes(70'000, 'b')},
        {L"03 Three.mp3", Bytes(90'000, 'c')}};
    const std::size_t dash = temporary.rfind(L'-');
    ASSERT_NE(dash, std::wstring::npos) << "no copy was under way";
    const std::size_t cut = std::stoul(temporary.substr(dash + 1));
    for (const auto& name : PlayerFiles()) {
      bool known = false;
      for (std::size_t i = 0; i < tracks.size(); ++i) {
        if (name != tracks[i].first) continue;
        known = true;
        EXPECT_NE(i, cut) << "the copy under way went on";
        EXPECT_EQ(Content(L"F:\\" + name), tracks[i].second) << "half a file";
      }
      EXPECT_TRUE(known) << "left behind: " << os::Utf8FromWide(name);
    }
  }

  wmp::SyncDevicePtr device_;
  long partnership_ = 0;
  wmp::MediaPtr one_, two_, three_;
};

TEST_F(EngineDeviceSyncTest, OnlyPlaylistsMarkedForThePartnershipGoOver) {
  Playlist(L"Marked", {one_, two_}, partnership_, L"1");
  Playlist(L"Also marked", {two_}, partnership_, L"1");
  Playlist(L"Other partnership", {three_}, 2, L"1");
  Playlist(L"Cleared", {three_}, partnership_, L"0");
  Playlist(L"Never marked", {three_}, partnership_, L"");

  ASSERT_EQ(device_->Start(), wmp::kOk);
  EXPECT_EQ(WaitForSync(), (std::vector<std::wstring>{L"state 1", L"state 2"}));
  EXPECT_EQ(PlayerFiles(), (std::vector<std::wstring>{L"01 One.mp3", L"02 Two.mp3"}));
  EXPECT_EQ(Content(L"F:\\01 One.mp3"), Bytes(50'000, 'a'));
  EXPECT_EQ(Content(L"F:\\02 Two.mp3"), Bytes(70'000, 'b'));
  EXPECT_EQ(ProgressOf(device_), 100);
  long state = 0;
  device_->SyncState(&state);
  EXPECT_EQ(state, static_cast<long>(wmp::SyncState::Stopped));
}

TEST_F(EngineDeviceSyncTest, NothingMarkedIsACompleteSynchronisation) {
  ASSERT_EQ(device_->Start(), wmp::kOk);
  EXPECT_EQ(WaitForSync(), (std::vector<std::wstring>{L"state 1", L"state 2"}));
  EXPECT_TRUE(PlayerFiles().empty());
  EXPECT_EQ(ProgressOf(device_), 100);
}

TEST_F(EngineDeviceSyncTest, TheIdentityFileDecidesTheFolder) {
  fake_.AddFile(L"F:\\PLAYER.INF", Identity("ORB-0001", "SyncFolder=Music\r\n"));
  player_->Poll();
  auto tagged = TaggedTrack(L"C:\\Music\\AC_DC\\Live\\01 Song.wma", L"Song", L"AC/DC", L"Live?");
  auto bare = TaggedTrack(L"C:\\Music\\x\\02 Bare.wma", L"Bare", L"", L"");
  Playlist(L"Marked", {tagged, bare, one_}, partnership_, L"1");
  ASSERT_EQ(device_->Start(), wmp::kOk);
  WaitForSync();
  // The player's folders follow the naming rule the tool looks for them by.
  EXPECT_EQ(Content(L"F:\\Music\\AC-DC\\Live-\\01 Song.wma"),
            Content(L"C:\\Music\\AC_DC\\Live\\01 Song.wma"));
  // A file without album tags goes under the track artist and the
  // engine's text for an unknown album.
  EXPECT_TRUE(Exists(L"F:\\Music\\Solo\\アルバム情報なし\\02 Bare.wma"));
  EXPECT_TRUE(Exists(L"F:\\Music\\アーティスト情報なし\\アルバム情報なし\\01 One.mp3"))
      << "a file without tags, with no album texts in the library";
  EXPECT_TRUE(PlayerFiles() == std::vector<std::wstring>{L"Music"});
}

TEST_F(EngineDeviceSyncTest, TwoFilesOfOneNameBothArrive) {
  auto other = Track(L"C:\\Music\\B\\01 One.mp3", Bytes(10'000, 'z'));
  Playlist(L"Marked", {one_, other}, partnership_, L"1");
  ASSERT_EQ(device_->Start(), wmp::kOk);
  WaitForSync();
  EXPECT_EQ(Content(L"F:\\01 One.mp3"), Bytes(50'000, 'a'));
  EXPECT_EQ(Content(L"F:\\01 One (2).mp3"), Bytes(10'000, 'z'));
}

TEST_F(EngineDeviceSyncTest, AFullPlayerReportsTheItemAndStopsWithoutAPartialFile) {
  // The stated capacity leaves room for the first track only.
  fake_.AddFile(L"F:\\PLAYER.INF", Identity("ORB-0001", "Capacity=100000\r\n"));
  player_->Poll();
  Playlist(L"Marked", {one_, two_, three_}, partnership_, L"1");
  ASSERT_EQ(device_->Start(), wmp::kOk);
  EXPECT_EQ(WaitForSync(), (std::vector<std::wstring>{L"state 1", L"error 02 Two", L"state 2"}));
  EXPECT_EQ(PlayerFiles(), std::vector<std::wstring>{L"01 One.mp3"});
  EXPECT_EQ(Content(L"F:\\01 One.mp3"), Bytes(50'000, 'a'));
  EXPECT_EQ(ProgressOf(device_), 50'000 * 100 / 210'000) << "what arrived of all there was";
}

TEST_F(EngineDeviceSyncTest, ADiskThatFillsUpMidFileLeavesNothingOfThatFile) {
  // No stated capacity: the file system says it is full while the two
  // copies (under way at once) are written; either may be the one refused.
  fake_.AddDrive(L'F', 100'000);
  Playlist(L"Marked", {one_, two_}, partnership_, L"1");
  ASSERT_EQ(device_->Start(), wmp::kOk);
  const auto events = WaitForSync();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events.front(), L"state 1");
  EXPECT_EQ(events.back(), L"state 2");
  if (events[1] == L"error 02 Two") {
    EXPECT_EQ(PlayerFiles(), std::vector<std::wstring>{L"01 One.mp3"});
    EXPECT_EQ(Content(L"F:\\01 One.mp3"), Bytes(50'000, 'a'));
  } else {
    EXPECT_EQ(events[1], L"error 01 One");
    EXPECT_EQ(PlayerFiles(), std::vector<std::wstring>{L"02 Two.mp3"});
    EXPECT_EQ(Content(L"F:\\02 Two.mp3"), Bytes(70'000, 'b'));
  }
}

TEST_F(EngineDeviceSyncTest, AReadOnlyFileOfAnotherTrackIsKeptAndTheCopyGoesBesideIt) {
  // Not the same track (a read-only file of the same track again is
  // reported instead: see the device fault tests).
  files_.Locked([&](os::IFileSystem&) {
    fake_.AddFile(L"F:\\02 Two.mp3", "locked", os::kAttributeReadOnly);
    return 0;
  });
  Playlist(L"Marked", {one_, two_, three_}, partnership_, L"1");
  ASSERT_EQ(device_->Start(), wmp::kOk);
  EXPECT_EQ(WaitForSync(), (std::vector<std::wstring>{L"state 1", L"state 2"}));
  EXPECT_EQ(Content(L"F:\\02 Two.mp3"), "locked");
  EXPECT_EQ(Content(L"F:\\02 Two (2).mp3"), Bytes(70'000, 'b'));
  EXPECT_EQ(PlayerFiles(), (std::vector<std::wstring>{L"01 One.mp3", L"02 Two (2).mp3",
                                                      L"02 Two.mp3", L"03 Three.mp3"}));
}

TEST_F(EngineDeviceSyncTest, ACopyThatReadsBackWrongIsNotCounted) {
  files_.CorruptWritesTo(L"F:\\~MarimbaSync");
  Playlist(L"Marked", {one_}, partnership_, L"1");
  ASSERT_EQ(device_->Start(), wmp::kOk);
  EXPECT_EQ(WaitForSync(), (std::vector<std::wstring>{L"state 1", L"error 01 One", L"state 2"}));
  EXPECT_TRUE(PlayerFiles().empty());
}

TEST_F(EngineDeviceSyncTest, AFileAlreadyOnThePlayerIsNotWrittenAgain) {
  Playlist(L"Marked", {one_, two_}, partnership_, L"1");
  ASSERT_EQ(device_->Start(), wmp::kOk);
  WaitForSync();
  std::atomic<int> written{0};
  files_.OnWritten(L"F:\\", 1, [&](const std::wstring&) { ++written; });
  ASSERT_EQ(device_->Start(), wmp::kOk);
  EXPECT_EQ(WaitForSync(), (std::vector<std::wstring>{L"state 1", L"state 2"}));
  EXPECT_EQ(written, 0);
  EXPECT_EQ(ProgressOf(device_), 100);
}

TEST_F(EngineDeviceSyncTest, StopEndsTheSynchronisationAsStopped) {
  Playlist(L"Marked", {one_, two_, three_}, partnership_, L"1");
  Gate gate;
  std::wstring held;
  // Hold the first copy right after its bytes went out.
  files_.OnWritten(L"F:\\~MarimbaSync", 1, [&](const std::wstring& path) {
    held = path;
    gate.Arrive();
  });
  ASSERT_EQ(device_->Start(), wmp::kOk);
  ASSERT_TRUE(gate.WaitForArrival());
  std::thread stopper([&] { EXPECT_EQ(device_->Stop(), wmp::kOk); });
  const bool asked = HoldsWithin([&] { return Engine(device_).StopRequested(); });
  gate.Open();
  stopper.join();
  ASSERT_TRUE(asked) << "Stop never reached the copy";
  long state = 0;
  device_->SyncState(&state);
  EXPECT_EQ(state, static_cast<long>(wmp::SyncState::Stopped)) << "stopped when Stop returns";

  EXPECT_EQ(WaitForSync(), (std::vector<std::wstring>{L"state 1", L"state 2"}));
  ExpectWholeFilesWithout(held);
  EXPECT_LT(ProgressOf(device_), 100);
  EXPECT_EQ(device_->Stop(), wmp::kOk) << "stopping a stopped device is harmless";
}

TEST_F(EngineDeviceSyncTest, APulledPlayerEndsTheSynchronisationAndIsReportedOnce) {
  Playlist(L"Marked", {one_, two_, three_}, partnership_, L"1");
  std::wstring cut;
  files_.OnWritten(L"F:\\~MarimbaSync", 85'000, [&](const std::wstring& path) {
    cut = path;
    files_.Locked([&](os::IFileSystem&) {
      fake_.SetDriveReady(L'F', false);
      return 0;
    });
  });
  ASSERT_EQ(device_->Start(), wmp::kOk);
  const auto events = WaitForSync();
  EXPECT_EQ(events, (std::vector<std::wstring>{L"state 1", L"disconnect " + std::wstring(kPlayerName),
                                               L"state 2"}));
  player_->Poll();
  EXPECT_TRUE(Drain().empty()) << "the pull is reported once";
  EXPECT_LT(ProgressOf(device_), 100);

  // Plugged in again: what arrived is whole, the cut copies are gone.
  files_.Locked([&](os::IFileSystem&) {
    fake_.SetDriveReady(L'F', true);
    return 0;
  });
  player_->Poll();
  EXPECT_EQ(Drain(), std::vector<std::wstring>{L"connect " + std::wstring(kPlayerName)});
  ExpectWholeFilesWithout(cut);
}

TEST_F(EngineDeviceSyncTest, APullSeenByThePollStopsTheSynchronisation) {
  Playlist(L"Marked", {one_, two_, three_}, partnership_, L"1");
  Gate gate;
  std::wstring held;
  files_.OnWritten(L"F:\\~MarimbaSync", 1, [&](const std::wstring& path) {
    held = path;
    gate.Arrive();
  });
  ASSERT_EQ(device_->Start(), wmp::kOk);
  ASSERT_TRUE(gate.WaitForArrival());
  // The identity file goes away (the player switched to another mode); the
  // drive itself still answers.
  files_.Locked([&](os::IFileSystem& fs) { return fs.Delete(L"F:\\PLAYER.INF"); });
  player_->Poll();
  EXPECT_TRUE(Engine(device_).StopRequested());
  gate.Open();
  EXPECT_EQ(WaitForSync(), (std::vector<std::wstring>{L"state 1", L"disconnect " + std::wstring(kPlayerName),
                                                      L"state 2"}));
  ExpectWholeFilesWithout(held);
}

TEST_F(EngineDeviceSyncTest, ClosingTheEngineEndsARunningSynchronisation) {
  Playlist(L"Marked", {one_, two_, three_}, partnership_, L"1");
  Gate gate;
  std::wstring held;
  files_.OnWritten(L"F:\\~MarimbaSync", 1, [&](const std::wstring& path) {
    held = path;
    gate.Arrive();
  });
  ASSERT_EQ(device_->Start(), wmp::kOk);
  ASSERT_TRUE(gate.WaitForArrival());
  std::thread closer([&] { player_->Close(); });
  const bool asked = HoldsWithin([&] { return Engine(device_).StopRequested(); });
  gate.Open();
  closer.join();
  ASSERT_TRUE(asked) << "closing the player never stopped the copy";
  ExpectWholeFilesWithout(held);
}

}  // namespace
}  // namespace device_test
