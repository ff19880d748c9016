// A library store that someone else wrote, or that holds the extremes of its
// own values: durations and ids at the ends of their types, playlist files
// that point elsewhere, names Windows takes for devices, text XML cannot hold.
#include <gtest/gtest.h>

#include <climits>

#include "native/mediaengine/library/engine_library_fixture.h"
#include "mediaengine/library/library_file.h"
#include "mediaengine/library/wpl_file.h"
#include "os/device_names.h"
#include "os/file_names.h"
#include "os/text_encoding.h"

namespace library_test {
namespace {

using mediaengine::LoadOutcome;

// A store file: the header, `next`, the given record lines and the end line.
std::string Store(const std::string& next, const std::string& records) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < records.size(); at = records.find('\n', at) + 1) {
    if (records.compare(at, 5, "item\t") == 0 || records.compare(at, 9, "playlist\t") == 0) ++count;
  }
  return "marimba-library\t1\nnext\t" + next + "\n" + records + "end\t" + std::to_string(count) + "\n";
}

// A path as the store writes it: UTF-8, backslashes doubled.
std::string Field(const std::wstring& path) {
  std::string out;
  for (char c : os::Utf8FromWide(path)) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

const std::string kOneItem = "item\t1\t1000\t" + Field(L"C:\\Music\\a.wma") + "\nattr\tTitle\tA\n";

bool Parses(const std::string& text, mediaengine::LibraryContents* contents = nullptr,
            std::string* reason = nullptr) {
  mediaengine::LibraryContents ignored;
  mediaengine::LibraryParseError error;
  const bool parsed = mediaengine::ParseLibrary(text, kPlaylists, contents ? contents : &ignored, &error);
  if (reason) *reason = error.reason;
  return parsed;
}

// The one text of a length, for disc items, library items and files alike.
TEST(DurationText, WholeSecondsOfAnyValue) {
  const struct {
    std::int64_t seconds;
    const wchar_t* text;
  } cases[] = {
      {0, L"00:00"},     {1, L"00:01"},      {59, L"00:59"},        {60, L"01:00"},
      {202, L"03:22"},   {3599, L"59:59"},   {3600, L"1:00:00"},    {7384, L"2:03:04"},
      {36000, L"10:00:00"}, {-5, L"00:00"},  {INT64_MIN, L"00:00"},
      {INT64_MAX / 1000, L"2562047788015:12:55"},
  };
  for (const auto& c : cases) EXPECT_EQ(wmp::DurationText(c.seconds), c.text) << c.seconds;
  mediaengine::LibraryRecord record;
  record.durationMs = INT64_MAX;
  EXPECT_EQ(mediaengine::AttributeOf(record, L"Duration"), L"9223372036854775.807");
}

TEST(LibraryStoreNumbers, DurationsAndIdsOutsideTheirRangeMakeTheStoreDamaged) {
  const auto item = [](const std::string& id, const std::string& ms) {
    return "item\t" + id + "\t" + ms + "\t" + Field(L"C:\\Music\\a.wma") + "\n";
  };
  const struct {
    const char* what;
    std::string text;
    const char* reason;  // null: the store reads
  } cases[] = {
      {"longest duration kept", Store("2", item("1", "1000000000000")), nullptr},
      {"a millisecond longer", Store("2", item("1", "1000000000001")), "bad duration"},
      {"INT64_MAX", Store("2", item("1", "9223372036854775807")), "bad duration"},
      {"past INT64_MAX", Store("2", item("1", "9223372036854775808")), "bad duration"},
      {"UINT64_MAX", Store("2", item("1", "18446744073709551615")), "bad duration"},
      {"past UINT64_MAX", Store("2", item("1", "18446744073709551616")), "bad duration"},
      {"highest id", Store("2", item("18446744073709551614", "0")), nullptr},
      {"id left for the end", Store("2", item("18446744073709551615", "0")), "bad item id"},
      {"20-digit next id", Store("10000000000000000000", item("1", "0")), nullptr},
      {"last next id", Store("18446744073709551615", item("1", "0")), nullptr},
      {"next id past the type", Store("18446744073709551616", item("1", "0")), "bad next id"},
      {"next id 0", Store("0", ""), "bad next id"},
      {"member past the type",
       Store("3", item("1", "0") + "playlist\t2\t0\t" + Field(kPlaylists + L"\\a.wpl") +
                      "\nmember\t18446744073709551617\n"),
       "bad member id"},
  };
  for (const auto& c : cases) {
    std::string reason;
    EXPECT_EQ(Parses(c.text, nullptr, &reason), c.reason == nullptr) << c.what;
    if (c.reason) {
      EXPECT_EQ(reason, c.reason) << c.what;
    }
  }
  mediaengine::LibraryContents contents;
  ASSERT_TRUE(Parses(Store("2", item("18446744073709551614", "0")), &contents));
  EXPECT_EQ(contents.nextId, 18446744073709551615u) << "no id is left to give";
}

TEST_F(LibraryTest, AnIdPastNineteenDigitsIsSavedAndReadBack) {
  files.AddFile(kLibraryFile, Store("9999999999999999999", kOneItem));
  Open();
  ASSERT_EQ(report.outcome, LoadOutcome::kLoaded);
  Rip(1);
  EXPECT_NE(files.Content(kLibraryFile).find("next\t10000000000000000000\n"), std::string::npos);
  Reopen();
  EXPECT_EQ(report.outcome, LoadOutcome::kLoaded) << report.detail;
  EXPECT_EQ(report.items, 2u);
}

TEST_F(LibraryTest, WhenIdsAreUsedUpNothingIsAddedAndTheStoreStaysReadable) {
  const std::string store = Store("18446744073709551615", kOneItem);
  files.AddFile(kLibraryFile, store);
  files.AddFile(TrackFile(1), "x");
  Open();
  ASSERT_EQ(report.outcome, LoadOutcome::kLoaded);
  mediaengine::RippedTrack track;
  track.url = TrackFile(1);
  wmp::MediaPtr item;
  EXPECT_TRUE(wmp::Failed(library->AddRipped(track, &item)));
  wmp::PlaylistPtr list;
  EXPECT_TRUE(wmp::Failed(playlists->NewPlaylist(L"List", &list)));
  wmp::MediaPtr added;
  EXPECT_TRUE(wmp::Failed(media->Add(TrackFile(1), &added)));
  Reopen();
  EXPECT_EQ(report.outcome, LoadOutcome::kLoaded) << report.detail;
  EXPECT_EQ(report.items, 1u);
}

TEST_F(LibraryTest, PlaylistFilesOutsideThePlaylistsFolderAreRefused) {
  const std::wstring victim = L"C:\\Windows\\win.ini";
  const std::string victimText = "[fonts]\r\n";
  files.AddFile(victim, victimText);
  const std::wstring urls[] = {
      victim,
      kFolder + L"\\library.txt",
      kFolder + L"\\Mix.wpl",
      kPlaylists + L"\\..\\Mix.wpl",
      kPlaylists + L"\\sub\\Mix.wpl",
      kPlaylists + L"\\Mix.txt",
      kPlaylists + L"\\NUL.wpl",
      kPlaylists + L"\\*.wpl",
      kPlaylists + L"\\.wpl",
      L"Mix.wpl",
      L"C:\\Users\\user\\AppData\\Roaming\\Marimba\\LibraryPlaylists\\Mix.wpl",
  };
  for (const std::wstring& url : urls) {
    SCOPED_TRACE(os::Utf8FromWide(url));
    files.AddFile(kLibraryFile, Store("3", kOneItem + "playlist\t2\t0\t" + Field(url) +
                                               "\nattr\tTitle\tMix\nmember\t1\n"));
    Reopen();
    EXPECT_EQ(report.outcome, LoadOutcome::kDamagedSetAside);
    EXPECT_NE(report.detail.find("playlists folder"), std::string::npos) << report.detail;
    EXPECT_EQ(files.Content(victim), victimText);
  }
}

TEST_F(LibraryTest, APlaylistFileOfItsOwnFolderIsWrittenAndRemoved) {
  // Case and slashes as another program may have written them.
  const std::wstring url = L"c:/users/user/appdata/roaming/marimba/library/playlists/Mix.WPL";
  files.AddFile(kLibraryFile, Store("3", kOneItem + "playlist\t2\t0\t" + Field(url) +
                                             "\nattr\tTitle\tMix\n"));
  files.AddFile(url, "old");
  Open();
  ASSERT_EQ(report.outcome, LoadOutcome::kLoaded) << report.detail;
  wmp::PlaylistArrayPtr found;
  ASSERT_EQ(playlists->GetByName(L"Mix", &found), wmp::kOk);
  wmp::PlaylistPtr list;
  ASSERT_EQ(found->Item(0, &list), wmp::kOk);
  wmp::PlaylistPtr all;
  ASSERT_EQ(media->GetAll(&all), wmp::kOk);
  wmp::MediaPtr item;
  ASSERT_EQ(all->Item(0, &item), wmp::kOk);
  ASSERT_EQ(list->AppendItem(item.get()), wmp::kOk);
  EXPECT_NE(files.Content(url).find("<media src=\"C:\\Music\\a.wma\"/>"), std::string::npos);
  ASSERT_EQ(playlists->Remove(list.get()), wmp::kOk);
  EXPECT_FALSE(files.Exists(url));
}

TEST(PlaylistFileStem, DeviceNamesGetAnUnderscoreAfterTheirBase) {
  const struct {
    const wchar_t* name;
    const wchar_t* stem;
  } cases[] = {
      {L"NUL.mix", L"NUL_.mix"}, {L"CON .x", L"CON _.x"}, {L"aux.2024", L"aux_.2024"},
      {L"COM1.a", L"COM1_.a"},   {L"con", L"con_"},       {L"Lpt9.", L"Lpt9_"},
      {L"prn.a.b", L"prn_.a.b"}, {L"COM10", L"COM10"},    {L"Console", L"Console"},
  };
  for (const auto& c : cases) {
    const std::wstring stem = mediaengine::PlaylistFileStem(c.name);
    EXPECT_EQ(stem, c.stem) << c.name;
    EXPECT_FALSE(os::IsReservedDeviceName(stem + L".wpl")) << c.name;
    EXPECT_TRUE(mediaengine::IsPlaylistFileName(stem + L".wpl")) << c.name;
  }
}

TEST_F(LibraryTest, APlaylistNamedLikeADeviceGetsAFileOfItsOwn) {
  Open();
  wmp::PlaylistPtr list;
  ASSERT_EQ(playlists->NewPlaylist(L"NUL.mix", &list), wmp::kOk);
  EXPECT_EQ(Text(*list, L"SourceURL"), kPlaylists + L"\\NUL_.mix.wpl");
  EXPECT_TRUE(files.Exists(kPlaylists + L"\\NUL_.mix.wpl"));
  EXPECT_EQ(Text(*list, L"Name"), L"NUL.mix") << "the name itself is kept";
}

// The title and sources of a WPL text, read back as an XML parser reads them.
bool ReadWpl(const std::string& wpl, std::wstring* title, std::vector<std::wstring>* sources) {
  if (!os::IsValidUtf8(wpl)) return false;
  std::vector<mediaengine::XmlElement> elements;
  if (!mediaengine::ReadXmlDocument(os::WideFromUtf8(wpl.substr(0)), &elements)) return false;
  sources->clear();
  for (const mediaengine::XmlElement& element : elements) {
    std::wstring src;
    if (element.name == L"title") *title = element.text;
    if (element.name == L"media" && element.Attribute(L"src", &src)) sources->push_back(src);
  }
  return true;
}

TEST(WplText, WhatXmlCannotHoldIsReplacedNotPassedThrough) {
  std::wstring bad = L"a";
  bad.push_back(static_cast<wchar_t>(0xD800));  // lone surrogate
  bad += L"\uFFFF\uFFFE\x01\x1F";
  std::wstring expected = L"a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD";
  if constexpr (sizeof(wchar_t) == 4) {
    bad.push_back(static_cast<wchar_t>(0x110000));
    expected += L"\uFFFD";
  }
  bad += L"\t&\"\U0001F3B5";
  expected += L"\t&\"\U0001F3B5";
  const std::string wpl = mediaengine::BuildWpl(bad, {bad, L"C:\\x.wma"});
  std::wstring title;
  std::vector<std::wstring> sources;
  ASSERT_TRUE(ReadWpl(wpl, &title, &sources)) << wpl;
  EXPECT_EQ(title, expected);
  EXPECT_EQ(sources, (std::vector<std::wstring>{expected, L"C:\\x.wma"}));
}

TEST_F(LibraryTest, BrokenTextInTheStoreIsWrittenBackWellFormed) {
  const std::string awkward = "x\xED\xA0\x80y\xEF\xBF\xBFz\xF4\x90\x80\x80";
  files.AddFile(kLibraryFile,
                Store("3", "item\t1\t0\t" + Field(L"C:\\Music\\") + awkward + ".wma\nattr\tTitle\t" +
                               awkward + "\nplaylist\t2\t0\t" + Field(kPlaylists + L"\\Mix.wpl") +
                               "\nattr\tTitle\t" + awkward + "\nmember\t1\n"));
  Open();
  ASSERT_EQ(report.outcome, LoadOutcome::kLoaded) << report.detail;
  wmp::PlaylistPtr all;
  ASSERT_EQ(media->GetAll(&all), wmp::kOk);
  wmp::MediaPtr item;
  ASSERT_EQ(all->Item(0, &item), wmp::kOk);
  EXPECT_EQ(Text(*item, L"Title"), L"x\uFFFD\uFFFD\uFFFDy\uFFFFz\uFFFD\uFFFD\uFFFD\uFFFD");
  wmp::PlaylistArrayPtr found;
  ASSERT_EQ(playlists->GetAll(&found), wmp::kOk);
  wmp::PlaylistPtr list;
  ASSERT_EQ(found->Item(0, &list), wmp::kOk);
  ASSERT_EQ(list->AppendItem(item.get()), wmp::kOk);

  std::wstring title;
  std::vector<std::wstring> sources;
  ASSERT_TRUE(ReadWpl(files.Content(kPlaylists + L"\\Mix.wpl"), &title, &sources));
  EXPECT_EQ(title, L"x\uFFFD\uFFFD\uFFFDy\uFFFDz\uFFFD\uFFFD\uFFFD\uFFFD");
  ASSERT_EQ(sources.size(), 2u);
  EXPECT_EQ(sources[0], L"C:\\Music\\x\uFFFD\uFFFD\uFFFDy\uFFFDz\uFFFD\uFFFD\uFFFD\uFFFD.wma");
  EXPECT_TRUE(os::IsValidUtf8(files.Content(kLibraryFile)));
  Reopen();
  EXPECT_EQ(report.outcome, LoadOutcome::kLoaded) << "what it wrote, it reads";
}

}  // namespace
}  // namespace library_test
