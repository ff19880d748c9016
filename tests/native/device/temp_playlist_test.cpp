// The temporary playlist: free names, sync marks and removal.
#include "device/temp_playlist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_engine.h"
#include "fakes/fake_file_system.h"

namespace {

class TempPlaylistTest : public ::testing::Test {
 public:
  void SetUp() override {
    files.AddDrive(L'C');
    wmp::MediaCollectionPtr library;
    ASSERT_EQ(player.MediaCollection(&library), wmp::kOk);
    ASSERT_TRUE(temp.Bind(&player, library.get()));
  }

  std::wstring Mark(const std::wstring& playlist, long p) {
    return player.Playlists().FindByName(playlist)->Attribute(wmp::SyncAttribute(p));
  }

  fakes::FakeFileSystem files;
  fakes::FakePlayer player{&files};
  device::TempPlaylist temp{files};
};

TEST_F(TempPlaylistTest, TakesTheFirstFreeName) {
  struct Case {
    std::vector<std::wstring> taken;
    std::wstring base;
    std::wstring expected;
  };
  const std::vector<Case> cases = {
      {{}, L"", L"Temp00"},
      {{L"Temp00", L"Temp01", L"Temp02", L"Temp03", L"Temp04"}, L"", L"Temp05"},
      {{}, L"Best", L"Best"},
      {{L"Best"}, L"Best", L"Best01"},
      {{L"Best", L"Best01", L"Temp00"}, L"Best", L"Best02"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    fakes::FakePlayer fresh(&files);
    for (const auto& name : c.taken) fresh.Playlists().AddPlaylist(name);
    device::TempPlaylist playlist(files);
    ASSERT_TRUE(playlist.Bind(&fresh, &fresh.Library()));
    EXPECT_EQ(playlist.CreateTempPlaylist(c.base), wmp::kOk);
    EXPECT_EQ(playlist.PlaylistName(), c.expected);
    EXPECT_TRUE(fresh.Playlists().FindByName(c.expected) != nullptr);
    EXPECT_TRUE(playlist.Playlist());
    EXPECT_EQ(playlist.DeleteTempPlaylist(), wmp::kOk);
  }
}

TEST_F(TempPlaylistTest, FailsWhenEveryNameIsTakenOrNothingIsBound) {
  player.Playlists().AddPlaylist(L"Mix");
  for (int i = 1; i < 100; ++i) {
    player.Playlists().AddPlaylist(L"Mix" + std::wstring(i < 10 ? L"0" : L"") + std::to_wstring(i));
  }
  EXPECT_EQ(temp.CreateTempPlaylist(L"Mix"), wmp::kFail);
  EXPECT_EQ(player.Playlists().Playlists().size(), 100u);
  device::TempPlaylist unbound(files);
  EXPECT_EQ(unbound.CreateTempPlaylist(L""), wmp::kFail);
  EXPECT_EQ(unbound.ClearSyncMarks(1), wmp::kFail);
}

TEST_F(TempPlaylistTest, ClearingSetsEveryPositiveOrEmptyMarkToZero) {
  const std::vector<std::pair<std::wstring, std::wstring>> marks = {
      {L"1", L"0"}, {L"", L"0"}, {L"0", L"0"}, {L"2", L"0"}, {L" 7x", L"0"},
      {L"abc", L"abc"}, {L"-1", L"-1"}};
  for (std::size_t i = 0; i < marks.size(); ++i) {
    auto playlist = player.Playlists().AddPlaylist(L"P" + std::to_wstring(i));
    if (!marks[i].first.empty()) playlist->Set(L"Sync03", marks[i].first);
  }
  // One unreadable mark does not stop the others.
  player.Playlists().FindByName(L"P0")->AsMedia()->FailRead(L"Sync03");
  EXPECT_EQ(temp.ClearSyncMarks(3), wmp::kOk);
  for (std::size_t i = 0; i < marks.size(); ++i) {
    SCOPED_TRACE(marks[i].first);
    EXPECT_EQ(Mark(L"P" + std::to_wstring(i), 3), marks[i].second);
  }
  EXPECT_EQ(temp.ClearSyncMarks(0), wmp::kInvalidArg);
  EXPECT_EQ(temp.ClearSyncMarks(17), wmp::kInvalidArg);
}

TEST_F(TempPlaylistTest, MarkingSelectsOnlyOurPlaylistAndLearnsItsFile) {
  player.Playlists().AddPlaylist(L"Favourites")->Set(L"Sync16", L"1");
  player.Playlists().AddPlaylist(L"Party");
  ASSERT_EQ(temp.CreateTempPlaylist(L""), wmp::kOk);
  // A refused write is tried once more.
  player.Playlists().FindByName(L"Party")->AsMedia()->FailWrite(L"Sync16");
  EXPECT_EQ(temp.MarkSyncPlaylist(16), wmp::kOk);
  EXPECT_EQ(Mark(L"Temp00", 16), L"1");
  EXPECT_EQ(player.Playlists().FindByName(L"Temp00")->Attribute(L"SyncOnly"), L"1");
  EXPECT_EQ(Mark(L"Favourites", 16), L"0");
  EXPECT_EQ(Mark(L"Party", 16), L"0");
  EXPECT_EQ(temp.FilePath(), player.Playlists().FindByName(L"Temp00")->AsMedia()->Url());
}

TEST_F(TempPlaylistTest, MarkingFailsWhenAWriteFailsTwiceOrOurPlaylistIsMissing) {
  player.Playlists().AddPlaylist(L"Party");
  ASSERT_EQ(temp.CreateTempPlaylist(L""), wmp::kOk);
  player.Playlists().FindByName(L"Party")->AsMedia()->FailWrite(L"Sync01", wmp::kAccessDenied, 2);
  EXPECT_EQ(temp.MarkSyncPlaylist(1), wmp::kAccessDenied);

  // Without our playlist in the library the engine would copy nothing and
  // report success.
  player.Library().Erase(player.Playlists().FindByName(L"Temp00")->State()->info);
  EXPECT_EQ(temp.MarkSyncPlaylist(1), wmp::kFail);
}

}  // namespace
