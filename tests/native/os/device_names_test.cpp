// The naming rule of files and folders on a player, and when a file there is
// the same track again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/device_names.h"
#include "os/text_encoding.h"

namespace {

std::string Narrow(const std::wstring& text) { return os::Utf8FromWide(text); }

TEST(DeviceNamesTest, FolderNamesTheDeviceAccepts) {
  const std::wstring sixtyFour(64, L'あ');
  const struct {
    std::wstring text;
    std::wstring expected;
  } cases[] = {
      {L"AC/DC", L"AC-DC"},
      {L"Live: 1977?", L"Live- 1977-"},
      {L"What?<2>|x", L"What-[2]Ix"},
      {L"a\\b\"c*d", L"a b'c-d"},
      {L"tab\there\x01\x1F", L"tab_here__"},
      {L"Album. . ", L"Album"},
      {L"..", L""},
      {L" . ", L""},
      {L"", L""},
      // Reserved device names, in any case, with or without an extension.
      {L"CON", L"CON_"},
      {L"con.txt", L"con_.txt"},
      {L"Aux", L"Aux_"},
      {L"NUL.", L"NUL_"},
      {L"com1", L"com1_"},
      {L"LPT9.wma", L"LPT9_.wma"},
      {L"COM0", L"COM0"},
      {L"COM10", L"COM10"},
      {L"CONSOLE", L"CONSOLE"},
      {L"PRN Live", L"PRN Live"},
      // Cut to 64 units, and trimmed again after the cut.
      {sixtyFour + L"い", sixtyFour},
      {std::wstring(63, L'a') + L". b", std::wstring(63, L'a')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(os::DeviceFolderName(c.text), c.expected) << Narrow(c.text);
  }
  EXPECT_EQ(os::DeviceFolderNameOrStandIn(L".."), L"_");
  EXPECT_EQ(os::DeviceFolderNameOrStandIn(L"AC/DC"), L"AC-DC");
}

TEST(DeviceNamesTest, CharactersBeyondSixteenBitsCountTwiceAndAreNeverSplit) {
  const std::wstring note = L"\U0001F3B5";  // two UTF-16 units
  EXPECT_EQ(os::Utf16Length(note + L"a"), 3u);
  std::wstring many;
  for (int i = 0; i < 40; ++i) many += note;
  const std::wstring cut = os::DeviceFolderName(many);
  EXPECT_EQ(os::Utf16Length(cut), 64u);
  EXPECT_EQ(os::DeviceFolderName(std::wstring(63, L'a') + note), std::wstring(63, L'a'));
}

TEST(DeviceNamesTest, FileNamesKeepTheWholePathWithinTheLimit) {
  const std::wstring folder = L"F:\\Music\\Artist\\Album\\";
  const std::wstring longTitle(300, L'x');
  const struct {
    std::wstring folder;
    std::wstring name;
    int number;
    std::wstring expected;  // empty: only the checks below
  } cases[] = {
      {folder, L"01 Song.wma", 1, L"01 Song.wma"},
      {folder, L"01 Song.wma", 2, L"01 Song (2).wma"},
      {folder, L"トラック 1.wma", 2, L"トラック 1 (2).wma"},
      {folder, L"CON.wma", 1, L"CON_.wma"},
      {folder, L"a:b?.wma", 1, L"a-b-.wma"},
      {folder, L"README", 3, L"README (3)"},
      {folder, longTitle + L".wma", 1, L""},
      {folder, longTitle + L".wma", 12, L""},
      {L"F:\\" + std::wstring(245, L'f') + L"\\", L"x.wma", 1, L"x.wma"},
  };
  for (const auto& c : cases) {
    const std::wstring name = os::DeviceFileName(c.folder, c.name, c.number);
    SCOPED_TRACE(Narrow(c.name) + " #" + std::to_string(c.number));
    if (!c.expected.empty()) {
      EXPECT_EQ(name, c.expected);
    }
    EXPECT_LE(os::Utf16Length(c.folder + name), os::kMaxDevicePath);
    EXPECT_FALSE(name.empty());
  }
  const std::wstring fitted = os::DeviceFileName(folder, longTitle + L".wma", 12);
  EXPECT_EQ(os::Utf16Length(folder + fitted), os::kMaxDevicePath);
  EXPECT_EQ(fitted.substr(fitted.size() - 9), L" (12).wma");
  // No room left for a name at all.
  EXPECT_EQ(os::DeviceFileName(L"F:\\" + std::wstring(249, L'f') + L"\\", L"x.wma"), L"");
}

TEST(DeviceNamesTest, OnlyTheSameTrackAgainMayTakeAFilesPlace) {
  const os::TrackFacts base{L"トラック 1", L"アーティスト情報なし", L"アーティスト情報なし",
                            L"アルバム情報なし", L"1", 201.4};
  auto with = [&](auto change) {
    os::TrackFacts facts = base;
    change(facts);
    return facts;
  };
  const struct {
    const char* what;
    os::TrackFacts other;
    bool same;
  } cases[] = {
      {"the same", base, true},
      {"at another bit rate, 0.9 s longer", with([](auto& f) { f.seconds += 0.9; }), true},
      {"another disc's track of another length", with([](auto& f) { f.seconds += 1.5; }), false},
      {"another title", with([](auto& f) { f.title = L"トラック 2"; }), false},
      {"another track number", with([](auto& f) { f.trackNumber = L"2"; }), false},
      {"another album artist", with([](auto& f) { f.albumArtist = L"X"; }), false},
      {"another artist", with([](auto& f) { f.artist = L"X"; }), false},
      {"no album", with([](auto& f) { f.album.clear(); }), false},
      {"no length known", with([](auto& f) { f.seconds = 0; }), false},
      {"nothing known", os::TrackFacts{}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(os::IsSameTrack(base, c.other), c.same) << c.what;
    EXPECT_EQ(os::IsSameTrack(c.other, base), c.same) << c.what << ", the other way";
  }
}

}  // namespace
