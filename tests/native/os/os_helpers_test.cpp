// Text conversions at the edges, path and text helpers, the calendar
// arithmetic of file times, and one pass's look at the drives.
#include <gtest/gtest.h>

#include "fakes/fake_drives.h"
#include "os/clock.h"
#include "os/drives.h"
#include "os/paths.h"
#include "os/text_encoding.h"

namespace {

TEST(TextEncoding, RoundTripsJapaneseAndAstralText) {
  const std::wstring text = L"ルミナート\n\u3000音楽ＣＤ \U0001F3B5";
  EXPECT_EQ(os::WideFromUtf8(os::Utf8FromWide(text)), text);
  EXPECT_EQ(os::Utf8FromWide(L"\u3000"), "\xE3\x80\x80");
  const std::u16string units = os::Utf16FromWide(L"\U0001F3B5");
  ASSERT_EQ(units.size(), 2u) << "characters above U+FFFF become surrogate pairs";
  EXPECT_EQ(units[0], 0xD83C);
  EXPECT_EQ(units[1], 0xDFB5);
  EXPECT_EQ(os::WideFromUtf16(units), L"\U0001F3B5");
}

TEST(TextEncoding, ReplacesDamagedUtf8InsteadOfFailing) {
  EXPECT_EQ(os::WideFromUtf8("a\xFF" "b"), L"a\uFFFDb");
  EXPECT_EQ(os::WideFromUtf8("a\xE3\x80"), L"a\uFFFD") << "a truncated sequence at the end";
  EXPECT_EQ(os::WideFromUtf8("\xE3(b"), L"\uFFFD(b");
}

TEST(TextEncoding, RegistryStringsAreUtf16LeWithTheirNul) {
  const std::vector<std::uint8_t> bytes = os::RegStringBytes(L"Aル");
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x41, 0x00, 0xEB, 0x30, 0x00, 0x00}));
  EXPECT_EQ(os::TextOfRegStringBytes(bytes), L"Aル");
  EXPECT_EQ(os::TextOfRegStringBytes({0x41, 0x00, 0x00, 0x00, 0x42, 0x00}), L"A")
      << "text ends at the first NUL";
  EXPECT_EQ(os::TextOfRegStringBytes({0x41, 0x00, 0x42}), L"A") << "odd byte ignored";
}

TEST(TextEncoding, CaseIsIgnoredForAsciiOnly) {
  EXPECT_EQ(os::AsciiLower(L"C:\\Music\\ABC Zz.WMA"), L"c:\\music\\abc zz.wma");
  // Full-width and accented letters are other names to the file system.
  EXPECT_EQ(os::AsciiLower(L"ＷＭＡ Ä 曲"), L"ＷＭＡ Ä 曲");
  EXPECT_TRUE(os::EndsWithNoCase(L"01 朝.WMA", L".wma"));
  EXPECT_TRUE(os::EndsWithNoCase(L".cue", L".cue"));
  EXPECT_FALSE(os::EndsWithNoCase(L"cue", L".cue"));
  EXPECT_FALSE(os::EndsWithNoCase(L"song.wmav", L".wma"));
  EXPECT_FALSE(os::EndsWithNoCase(L"song.ＷＭＡ", L".wma"));
}

TEST(TextEncoding, AsciiUpperLeavesOtherLettersAlone) {
  EXPECT_EQ(os::AsciiUpper(L"con.wma ｃ ä 曲"), L"CON.WMA ｃ ä 曲");
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutSearchingReplacements) {
  struct Case {
    const wchar_t* text;
    const wchar_t* from;
    const wchar_t* to;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"AC/DC: Live", L"/", L"-", L"AC-DC: Live"},
      {L"x アルバム情報なし y アルバム情報なし", L"アルバム情報なし", L"ｱﾙﾊﾞﾑ", L"x ｱﾙﾊﾞﾑ y ｱﾙﾊﾞﾑ"},
      {L"Player - Internal Storage", L" - Internal Storage", L"", L"Player"},
      {L"aaa", L"a", L"aa", L"aaaaaa"},  // a replacement that holds `from` is not searched again
      {L"aaaa", L"aa", L"a", L"aa"},
      {L"nothing here", L"x", L"y", L"nothing here"},
      {L"abc", L"", L"x", L"abc"},  // an empty `from` would match everywhere: nothing changes
      {L"", L"a", L"b", L""},
  };
  for (const Case& c : cases) {
    std::wstring text = c.text;
    os::ReplaceAll(text, c.from, c.to);
    EXPECT_EQ(text, c.expected) << os::Utf8FromWide(c.text);
  }
}

TEST(Paths, TakeWindowsPathsApart) {
  struct Case {
    const wchar_t* path;
    const wchar_t* lastPart;
    const wchar_t* afterBackslash;
    const wchar_t* parent;
    const wchar_t* stem;
    const wchar_t* extension;
  };
  const Case cases[] = {
      {L"C:\\Music\\Artist\\01 Song.WMA", L"01 Song.WMA", L"01 Song.WMA", L"C:\\Music\\Artist",
       L"01 Song", L"WMA"},
      {L"C:\\Music/01 Song.wma", L"01 Song.wma", L"Music/01 Song.wma", L"C:", L"01 Song", L"wma"},
      {L"C:\\Music.d\\README", L"README", L"README", L"C:\\Music.d", L"README", L""},
      {L"C:\\a\\b.tar.gz", L"b.tar.gz", L"b.tar.gz", L"C:\\a", L"b.tar", L"gz"},
      {L"C:\\a\\", L"", L"", L"C:\\a", L"", L""},
      {L"name.wma", L"name.wma", L"name.wma", L"", L"name", L"wma"},
      {L".wma", L".wma", L".wma", L"", L"", L"wma"},
      {L"", L"", L"", L"", L"", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(os::Utf8FromWide(c.path));
    EXPECT_EQ(os::LastPathPart(c.path), c.lastPart);
    EXPECT_EQ(os::AfterLastBackslash(c.path), c.afterBackslash);
    EXPECT_EQ(os::ParentFolder(c.path), c.parent);
    EXPECT_EQ(os::PathStem(c.path), c.stem);
    EXPECT_EQ(os::PathExtension(c.path), c.extension);
  }
}

TEST(Paths, TrailingBackslashesAndJoins) {
  struct Case {
    const wchar_t* path;
    const wchar_t* without;
    const wchar_t* with;
    const wchar_t* joined;  // JoinPath(path, "x.wma")
  };
  const Case cases[] = {
      {L"F:\\Music", L"F:\\Music", L"F:\\Music\\", L"F:\\Music\\x.wma"},
      {L"F:\\Music\\\\", L"F:\\Music", L"F:\\Music\\\\", L"F:\\Music\\\\x.wma"},
      {L"F:\\", L"F:\\", L"F:\\", L"F:\\x.wma"},  // a drive root keeps its backslash
      {L"F:/Music/", L"F:/Music/", L"F:/Music/", L"F:/Music/x.wma"},
      {L"", L"", L"\\", L"x.wma"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(os::Utf8FromWide(c.path));
    EXPECT_EQ(os::WithoutTrailingBackslash(c.path), c.without);
    EXPECT_EQ(os::WithTrailingBackslash(c.path), c.with);
    EXPECT_EQ(os::JoinPath(c.path, L"x.wma"), c.joined);
  }
}

TEST(Paths, KeysMeetAcrossCaseAndSlashes) {
  EXPECT_EQ(os::PathKey(L"C:/Music/ABC.WMA"), L"c:\\music\\abc.wma");
  EXPECT_EQ(os::PathKey(L"C:\\Music\\abc.wma"), os::PathKey(L"c:/MUSIC/ABC.wma"));
  EXPECT_NE(os::PathKey(L"C:\\Music\\ＡＢＣ.wma"), os::PathKey(L"C:\\Music\\ａｂｃ.wma"));
}

TEST(DrivesOnce, AnswersAsTheDrivesDoAskingEachQuestionOnce) {
  fakes::FakeDrives drives;
  drives.AddDrive(L'C', os::DriveType::Fixed, L"SYSTEM");
  drives.AddDrive(L'D', os::DriveType::CdRom, L"MUSIC");
  os::DrivesOnce once(drives);
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(once.LogicalDriveMask(), 0b1100u);
    EXPECT_EQ(once.TypeOf(L"D:\\"), os::DriveType::CdRom);
    EXPECT_EQ(once.TypeOf(L"d:\\"), os::DriveType::CdRom) << "the same letter";
    EXPECT_EQ(once.TypeOf(L"E:\\"), os::DriveType::NoRootDir);
    EXPECT_EQ(once.TypeOf(L"C:"), os::DriveType::Fixed) << "not a root: asked as given";
  }
  EXPECT_EQ(drives.Questions(),
            (std::vector<std::wstring>{L"mask", L"D:\\", L"E:\\", L"C:", L"C:"}));
  drives.AddDrive(L'D', os::DriveType::Removable, L"CARD");
  std::wstring label;
  ASSERT_TRUE(once.VolumeLabel(L"D:\\", &label));
  EXPECT_EQ(label, L"CARD") << "labels are always asked";
  EXPECT_EQ(once.TypeOf(L"D:\\"), os::DriveType::CdRom) << "types are kept for the pass";
  EXPECT_EQ(os::DrivesOnce(drives).TypeOf(L"D:\\"), os::DriveType::Removable) << "a new pass";
}

TEST(FileTimeOfSecondsSince1970, MatchesTheCalendar) {
  EXPECT_EQ(os::FileTimeOfSecondsSince1970(0), 116444736000000000ULL);
  const os::CalendarTime calendar = os::CalendarOfFileTime(os::FileTimeOfSecondsSince1970(1'700'000'000));
  EXPECT_EQ(calendar.year, 2023);
  EXPECT_EQ(calendar.month, 11);
  EXPECT_EQ(calendar.day, 14);
  EXPECT_EQ(calendar.hour, 22);
  EXPECT_EQ(calendar.minute, 13);
  EXPECT_EQ(calendar.second, 20);
}

TEST(CalendarOfFileTime, ConvertsKnownMoments) {
  struct Case {
    os::FileTime time;
    os::CalendarTime calendar;
  };
  const Case cases[] = {
      {0, {1601, 1, 1, 0, 0, 0, 0}},
      {116444736000000000ULL, {1970, 1, 1, 0, 0, 0, 0}},
      // 2000-02-29 12:34:56.789 UTC (a leap day of a century leap year).
      {125963012967890000ULL, {2000, 2, 29, 12, 34, 56, 789}},
      {133485408000000000ULL, {2024, 1, 1, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const os::CalendarTime got = os::CalendarOfFileTime(c.time);
    EXPECT_EQ(got.year, c.calendar.year);
    EXPECT_EQ(got.month, c.calendar.month);
    EXPECT_EQ(got.day, c.calendar.day);
    EXPECT_EQ(got.hour, c.calendar.hour);
    EXPECT_EQ(got.minute, c.calendar.minute);
    EXPECT_EQ(got.second, c.calendar.second);
    EXPECT_EQ(got.milliseconds, c.calendar.milliseconds);
    EXPECT_EQ(os::FileTimeOfCalendar(c.calendar), c.time);
  }
}

TEST(CalendarOfFileTime, RoundTripsEveryDayBoundaryAcrossLeapYears) {
  const os::FileTime day = 864'000'000'000ULL;
  const os::FileTime start = 125'000'000'000'000'000ULL;  // 1997
  int previousDay = 0;
  for (os::FileTime t = start; t < start + 1500 * day; t += day) {
    const os::CalendarTime calendar = os::CalendarOfFileTime(t);
    ASSERT_EQ(os::FileTimeOfCalendar(calendar), t);
    ASSERT_NE(calendar.day, previousDay);
    previousDay = calendar.day;
  }
}

}  // namespace
