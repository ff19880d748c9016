// The library on disk: what survives a restart, the WPL files, atomic
// writes, and what happens to a library file that cannot be trusted.
#include <gtest/gtest.h>

#include <chrono>

#include "mediaengine/library/library_file.h"
#include "native/mediaengine/library/engine_library_fixture.h"

namespace library_test {
namespace {

using mediaengine::LoadOutcome;

TEST_F(LibraryTest, ItemsPlaylistsAndSyncMarksSurviveARestart) {
  Open();
  EXPECT_EQ(report.outcome, LoadOutcome::kNew);
  EXPECT_TRUE(files.Exists(kPlaylists)) << "the folders are made at load";
  wmp::MediaPtr first = Rip(1), second = Rip(2);
  const std::wstring awkward = L"タイトル\t\\改行\nあり \U0001F3B5";
  ASSERT_EQ(first->SetName(awkward), wmp::kOk);
  wmp::PlaylistPtr list, other;
  ASSERT_EQ(playlists->NewPlaylist(L"転送 & <Sync>", &list), wmp::kOk);
  ASSERT_EQ(playlists->NewPlaylist(L"Other", &other), wmp::kOk);
  ASSERT_EQ(list->AppendItem(second.get()), wmp::kOk);
  ASSERT_EQ(list->AppendItem(first.get()), wmp::kOk);
  ASSERT_EQ(list->SetItemInfo(L"Sync07", L"1"), wmp::kOk);
  ASSERT_EQ(list->SetItemInfo(L"SyncOnly", L"1"), wmp::kOk);
  const std::wstring listFile = Text(*list, L"SourceURL");
  const std::string written = files.Content(kLibraryFile);
  ASSERT_EQ(first->SetItemInfo(L"Status", L"Ripping (45%)"), wmp::kOk);
  EXPECT_EQ(Text(*first, L"Status"), L"Ripping (45%)");
  EXPECT_EQ(files.Content(kLibraryFile), written) << "progress is not worth a write";

  Reopen();
  EXPECT_EQ(report.outcome, LoadOutcome::kLoaded);
  EXPECT_EQ(report.items, 4u);
  wmp::PlaylistPtr found;
  ASSERT_EQ(media->GetByName(awkward, &found), wmp::kOk);
  ASSERT_EQ(CountOf(*found), 1);
  wmp::MediaPtr item;
  ASSERT_EQ(found->Item(0, &item), wmp::kOk);
  EXPECT_EQ(Text(*item, L"TOC"), kToc);
  EXPECT_EQ(Text(*item, L"Status"), L"") << "a stale progress text would mislead the rip";
  EXPECT_EQ(Text(*item, L"WM/TrackNumber"), L"1");
  EXPECT_EQ(Text(*item, L"Artist"), L"Artist");
  EXPECT_EQ(Text(*item, L"SourceURL"), TrackFile(1));
  double seconds = 0;
  ASSERT_EQ(item->Duration(&seconds), wmp::kOk);
  EXPECT_DOUBLE_EQ(seconds, 201.25);

  wmp::PlaylistArrayPtr saved;
  ASSERT_EQ(playlists->GetByName(L"転送 & <Sync>", &saved), wmp::kOk);
  ASSERT_EQ(CountOf(*saved), 1);
  ASSERT_EQ(saved->Item(0, &list), wmp::kOk);
  EXPECT_EQ(Names(*list), (std::vector<std::wstring>{L"Track 2", awkward}));
  EXPECT_EQ(Text(*list, L"Sync07"), L"1");
  EXPECT_EQ(Text(*list, L"SyncOnly"), L"1");
  EXPECT_EQ(Text(*list, L"Sync08"), L"0");
  EXPECT_EQ(Text(*list, L"MediaType"), L"playlist");
  EXPECT_EQ(Text(*list, L"SourceURL"), listFile);
  ASSERT_EQ(library->PlaylistsWhere(L"Sync07", L"1").size(), 1u);

  // New items after the restart do not take over old ids.
  wmp::MediaPtr third = Rip(3);
  ASSERT_EQ(list->Item(1, &item), wmp::kOk);
  EXPECT_FALSE(Identical(*third, item.get()));
  EXPECT_EQ(Names(*list), (std::vector<std::wstring>{L"Track 2", awkward}));
}

TEST_F(LibraryTest, WplFileIsEscapedUtf8ThatFollowsThePlaylist) {
  Open();
  wmp::MediaPtr plain = Rip(1);
  mediaengine::RippedTrack odd;
  odd.url = L"C:\\Music\\Tom & Jerry\\it's.wma";
  odd.title = L"odd";
  wmp::MediaPtr awkward;
  ASSERT_EQ(library->AddRipped(odd, &awkward), wmp::kOk);
  wmp::PlaylistPtr list;
  ASSERT_EQ(playlists->NewPlaylist(L"Rock & Roll <Live> \"東京\"", &list), wmp::kOk);
  ASSERT_EQ(list->AppendItem(awkward.get()), wmp::kOk);
  ASSERT_EQ(list->AppendItem(plain.get()), wmp::kOk);

  const std::wstring file = kPlaylists + L"\\Rock & Roll _Live_ _東京_.wpl";
  ASSERT_EQ(Text(*list, L"SourceURL"), file);
  std::string wpl = files.Content(file);
  EXPECT_EQ(wpl.rfind("<?wpl version=\"1.0\"?>", 0), 0u) << wpl;
  EXPECT_NE(wpl.find(u8"<title>Rock &amp; Roll &lt;Live&gt; &quot;東京&quot;</title>"),
            std::string::npos) << wpl;
  EXPECT_NE(wpl.find("<meta name=\"ItemCount\" content=\"2\"/>"), std::string::npos) << wpl;
  const std::size_t oddAt = wpl.find("<media src=\"C:\\Music\\Tom &amp; Jerry\\it&apos;s.wma\"/>");
  const std::size_t plainAt = wpl.find("<media src=\"C:\\Music\\Artist\\Album\\01 Track.wma\"/>");
  ASSERT_NE(oddAt, std::string::npos) << wpl;
  ASSERT_NE(plainAt, std::string::npos) << wpl;
  EXPECT_LT(oddAt, plainAt) << "items in playlist order";

  ASSERT_EQ(media->Remove(awkward.get(), false), wmp::kOk);
  wpl = files.Content(file);
  EXPECT_NE(wpl.find("<meta name=\"ItemCount\" content=\"1\"/>"), std::string::npos) << wpl;
  EXPECT_EQ(wpl.find("Jerry"), std::string::npos) << wpl;
  EXPECT_FALSE(files.Exists(file + L".tmp"));
}

TEST_F(LibraryTest, FailedWriteLeavesThePreviousFileWhole) {
  files.AddDrive(L'C', 4000);  // room for the library file and a little more
  files.AddDrive(L'D');
  Open();
  std::vector<wmp::HResult> failures;
  mediaengine::LibraryEvents hooks;
  hooks.saveFailed = [&](wmp::HResult error) { failures.push_back(error); };
  library->SetEvents(hooks);

  std::string lastGood;
  int added = 0;
  while (failures.empty() && added < 100) {
    lastGood = files.Content(kLibraryFile);
    mediaengine::RippedTrack track;
    track.url = L"D:\\Music\\" + std::to_wstring(++added) + L".wma";
    track.title = L"A title long enough to fill the small disk quickly " + std::to_wstring(added);
    wmp::MediaPtr item;
    ASSERT_EQ(library->AddRipped(track, &item), wmp::kOk) << "the library itself goes on";
  }
  ASSERT_EQ(failures, std::vector<wmp::HResult>{wmp::kDiskFull});
  EXPECT_EQ(library->LastSaveResult(), wmp::kDiskFull);
  ASSERT_FALSE(lastGood.empty());
  EXPECT_EQ(files.Content(kLibraryFile), lastGood);
  EXPECT_FALSE(files.Exists(kLibraryFile + L".tmp")) << "the half-written file is gone";
  wmp::PlaylistPtr all;
  ASSERT_EQ(media->GetAll(&all), wmp::kOk);
  EXPECT_EQ(CountOf(*all), added);

  files.AddDrive(L'C', 1 << 20);  // room again: the next change writes everything
  wmp::MediaPtr item;
  ASSERT_EQ(all->Item(0, &item), wmp::kOk);
  ASSERT_EQ(item->SetItemInfo(L"WM/Genre", L"Rock"), wmp::kOk);
  EXPECT_EQ(library->LastSaveResult(), wmp::kOk);
  Reopen();
  EXPECT_EQ(report.outcome, LoadOutcome::kLoaded);
  EXPECT_EQ(report.items, static_cast<std::size_t>(added));
}

TEST_F(LibraryTest, ChangesWrittenBehindComeWholeAndTogether) {
  Open();
  Rip(1);
  const std::string one = files.Content(kLibraryFile);
  // Held back longer than the test runs: only the close writes them.
  library->WriteBehind(std::chrono::hours(1));
  Rip(2);
  Rip(3);
  EXPECT_EQ(files.Content(kLibraryFile), one) << "the previous file, whole";
  Reopen();
  EXPECT_EQ(report.items, 3u) << "the close wrote both";

  // Written by the library's own thread: each look finds a whole file.
  library->WriteBehind(std::chrono::milliseconds(1));
  Rip(4);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  std::size_t records = 0;
  while (records < 4 && std::chrono::steady_clock::now() < end) {
    mediaengine::LibraryContents contents;
    mediaengine::LibraryParseError error;
    ASSERT_TRUE(mediaengine::ParseLibrary(files.Content(kLibraryFile), kPlaylists, &contents, &error))
        << error.reason;
    records = contents.records.size();
  }
  EXPECT_EQ(records, 4u);
}

TEST_F(LibraryTest, DamagedFileIsSetAsideAndReported) {
  const std::string truncated = "marimba-library\t1\nnext\t5\nitem\t1\t0\tC:\\\\x.wma\nattr\tTitle\tX\n";
  files.AddFile(kLibraryFile, truncated);
  Open();
  EXPECT_EQ(report.outcome, LoadOutcome::kDamagedSetAside);
  EXPECT_EQ(report.setAsidePath, kFolder + L"\\library.damaged-1");
  EXPECT_FALSE(report.detail.empty());
  EXPECT_EQ(files.Content(report.setAsidePath), truncated);
  wmp::PlaylistPtr all;
  ASSERT_EQ(media->GetAll(&all), wmp::kOk);
  EXPECT_EQ(CountOf(*all), 0);

  Rip(1);
  const std::string binary("\x00\xFF\x13garbage", 10);
  files.AddFile(kLibraryFile, binary);
  Reopen();
  EXPECT_EQ(report.outcome, LoadOutcome::kDamagedSetAside);
  EXPECT_EQ(report.setAsidePath, kFolder + L"\\library.damaged-2");
  EXPECT_EQ(files.Content(kFolder + L"\\library.damaged-1"), truncated) << "earlier one kept";
  EXPECT_EQ(files.Content(report.setAsidePath), binary);

  Rip(2);
  Reopen();
  EXPECT_EQ(report.outcome, LoadOutcome::kLoaded);
  EXPECT_EQ(report.items, 1u);
}

TEST_F(LibraryTest, UnreadableFileIsNeverOverwritten) {
  Open();
  Rip(1);
  const std::string saved = files.Content(kLibraryFile);
  media.reset();
  playlists.reset();
  library.reset();

  files.SetDriveReady(L'C', false);
  Open();
  files.SetDriveReady(L'C', true);
  EXPECT_EQ(report.outcome, LoadOutcome::kNotSaving);
  EXPECT_EQ(report.error, wmp::kNotReady);
  Rip(2);
  EXPECT_EQ(library->Save(), wmp::kNotReady);
  EXPECT_EQ(files.Content(kLibraryFile), saved);

  Reopen();
  EXPECT_EQ(report.outcome, LoadOutcome::kLoaded);
  EXPECT_EQ(report.items, 1u);
}

class LibraryFileParsing : public LibraryTest {
 protected:
  void SetUp() override {
    Open();
    wmp::MediaPtr track = Rip(1);
    Rip(2);
    wmp::PlaylistPtr list;
    ASSERT_EQ(playlists->NewPlaylist(L"List", &list), wmp::kOk);
    ASSERT_EQ(list->AppendItem(track.get()), wmp::kOk);
    valid = files.Content(kLibraryFile);
  }

  static bool Parses(const std::string& text) {
    mediaengine::LibraryContents contents;
    mediaengine::LibraryParseError error;
    return mediaengine::ParseLibrary(text, kPlaylists, &contents, &error);
  }

  std::string Replaced(const std::string& from, const std::string& to) const {
    std::string text = valid;
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
  }

  std::string valid;
};

TEST_F(LibraryFileParsing, EveryTruncationIsDetected) {
  ASSERT_TRUE(Parses(valid));
  for (std::size_t cut = 0; cut < valid.size(); ++cut) {
    EXPECT_FALSE(Parses(valid.substr(0, cut))) << "cut at " << cut;
  }
}

TEST_F(LibraryFileParsing, BrokenRulesAreDetected) {
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"count disagrees", Replaced("end\t3", "end\t4")},
      {"newer version", Replaced("marimba-library\t1", "marimba-library\t2")},
      {"unknown escape", Replaced("\\\\Music", "\\qMusic")},
      {"unknown line", Replaced("next\t", "nxt\t")},
      {"id used twice", Replaced("item\t2\t", "item\t1\t")},
      {"member not in the library", Replaced("member\t1", "member\t9")},
      {"member that is a playlist", Replaced("member\t1", "member\t3")},
      {"text after the end", valid + "item\t7\t0\tC:\\\\y.wma\n"},
      {"bad number", Replaced("item\t2\t", "item\t-2\t")},
  };
  for (const auto& c : cases) EXPECT_FALSE(Parses(c.text)) << c.what;

  std::string crlf;
  for (char ch : valid) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  EXPECT_TRUE(Parses(crlf)) << "a file saved again by an editor with CRLF lines";
}

}  // namespace
}  // namespace library_test
