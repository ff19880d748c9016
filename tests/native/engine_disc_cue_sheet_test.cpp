#include "disc/cue_sheet.h"

#include <gtest/gtest.h>

#include <string>

#include "os/text_encoding.h"

namespace {

using engine::CueError;
using engine::CueSheet;

std::wstring W(const std::string& utf8) { return os::WideFromUtf8(utf8); }

TEST(CueSheetTest, ReadsCdTextRemarksIndexesAndGaps) {
  const std::string text =
      "\xEF\xBB\xBF"
      "REM GENRE \"イージーリスニング\"\r\n"
      "REM DATE 2024\r\n"
      "REM DISCID 2A0B4F03\r\n"
      "REM COMMENT \"made for tests\"\r\n"
      "REM something else entirely\r\n"
      "CATALOG 4988001234567\r\n"
      "PERFORMER \"木琴合奏団\"\r\n"
      "TITLE \"マリンバの午後\"\r\n"
      "FILE \"demo disc.bin\" BINARY\r\n"
      "  TRACK 01 AUDIO\r\n"
      "    TITLE \"朝の木漏れ日\"\r\n"
      "    PERFORMER \"木琴合奏団と鈴木\"\r\n"
      "    INDEX 01 00:00:00\r\n"
      "\r\n"
      "  track 02 audio\r\n"
      "    title Unquoted  title words  \r\n"
      "    FLAGS DCP PRE\r\n"
      "    ISRC JPX001234567\r\n"
      "    INDEX 00 02:10:50\r\n"
      "    INDEX 01 02:12:00\r\n"
      "    INDEX 02 02:30:00\r\n"
      "  TRACK 3 AUDIO\r\n"
      "    PREGAP 00:02:00\r\n"
      "    INDEX 01 04:00:74\r\n"
      "    POSTGAP 00:01:00";  // no line end after the last line
  CueSheet sheet;
  CueError error;
  ASSERT_TRUE(engine::ParseCueSheet(text, &sheet, &error)) << error.line;
  EXPECT_EQ(sheet.genre, W("イージーリスニング"));
  EXPECT_EQ(sheet.date, L"2024");
  EXPECT_EQ(sheet.discId, L"2A0B4F03");
  EXPECT_EQ(sheet.comment, L"made for tests");
  EXPECT_EQ(sheet.catalog, L"4988001234567");
  EXPECT_EQ(sheet.performer, W("木琴合奏団"));
  EXPECT_EQ(sheet.title, W("マリンバの午後"));
  EXPECT_EQ(sheet.fileName, L"demo disc.bin");
  ASSERT_EQ(sheet.tracks.size(), 3u);

  EXPECT_EQ(sheet.tracks[0].number, 1);
  EXPECT_EQ(sheet.tracks[0].line, 10);
  EXPECT_EQ(sheet.tracks[0].title, W("朝の木漏れ日"));
  EXPECT_EQ(sheet.tracks[0].performer, W("木琴合奏団と鈴木"));
  EXPECT_FALSE(sheet.tracks[0].hasIndex0);
  EXPECT_EQ(sheet.tracks[0].index1, 0u);

  EXPECT_EQ(sheet.tracks[1].title, L"Unquoted  title words");
  EXPECT_TRUE(sheet.tracks[1].performer.empty());
  EXPECT_TRUE(sheet.tracks[1].hasIndex0);
  EXPECT_EQ(sheet.tracks[1].index0, (2u * 60 + 10) * 75 + 50);
  EXPECT_EQ(sheet.tracks[1].index1, (2u * 60 + 12) * 75);

  EXPECT_EQ(sheet.tracks[2].number, 3);
  EXPECT_EQ(sheet.tracks[2].pregapSectors, 150u);
  EXPECT_EQ(sheet.tracks[2].index1, 4u * 60 * 75 + 74);
  EXPECT_EQ(sheet.tracks[2].postgapSectors, 75u);
}

TEST(CueSheetTest, CdTextHoldsEightyCharactersNotBytes) {
  std::string eighty;
  for (int i = 0; i < 80; ++i) eighty += "木";  // 240 bytes of UTF-8
  const std::string head = "FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\nTITLE \"";
  const std::string tail = "\"\nINDEX 01 00:00:00\n";
  CueSheet sheet;
  CueError error;
  ASSERT_TRUE(engine::ParseCueSheet(head + eighty + tail, &sheet, &error));
  EXPECT_EQ(sheet.tracks[0].title.size(), 80u);

  EXPECT_FALSE(engine::ParseCueSheet(head + eighty + "x" + tail, &sheet, &error));
  EXPECT_EQ(error.line, 3);
  EXPECT_NE(error.reason.find(L"81"), std::wstring::npos) << os::Utf8FromWide(error.reason);
}

TEST(CueSheetTest, ReportsTheLineOfEachFault) {
  const std::string file = "FILE \"a.bin\" BINARY\n";
  const std::string one = file + "TRACK 01 AUDIO\nINDEX 01 00:00:00\n";
  struct Case {
    std::string text;
    int line;
    const char* why;
  };
  const Case cases[] = {
      {"", 0, "no FILE"},
      {file, 0, "no TRACK"},
      {"TRACK 01 AUDIO\nINDEX 01 00:00:00\n", 1, "TRACK before FILE"},
      {one + "TRACK 03 AUDIO\nINDEX 01 00:10:00\n", 4, "track number skipped"},
      {file + "TRACK 00 AUDIO\n", 2, "track number 0"},
      {file + "TRACK 01 MODE1/2352\nINDEX 01 00:00:00\n", 2, "data track"},
      {file + "TRACK 01 AUDIO\nTITLE \"x\"\nTRACK 02 AUDIO\nINDEX 01 00:00:00\n", 2,
       "track without INDEX 01 (reported at its TRACK)"},
      {one + "TRACK 02 AUDIO\nINDEX 00 00:10:00\n", 4, "last track without INDEX 01"},
      {file + "TRACK 01 AUDIO\nINDEX 01 00:00:01\n", 3, "first index not at the start"},
      {file + "TRACK 01 AUDIO\nINDEX 01 00:60:00\n", 3, "seconds 60"},
      {file + "TRACK 01 AUDIO\nINDEX 01 00:00:75\n", 3, "frame 75"},
      {file + "TRACK 01 AUDIO\nINDEX 02 00:00:00\n", 3, "INDEX 02 first"},
      {one + "INDEX 00 00:00:00\n", 4, "INDEX 00 after INDEX 01"},
      {one + "TRACK 02 AUDIO\nINDEX 01 00:00:00\n", 5, "track starting where the one before starts"},
      {one + "TRACK 02 AUDIO\nINDEX 00 00:05:00\nINDEX 01 00:04:00\n", 6, "index going back"},
      {one + "TRACK 02 AUDIO\nINDEX 01 00:05:00\nPREGAP 00:02:00\n", 6, "PREGAP after INDEX"},
      {one + "TRACK 02 AUDIO\nPOSTGAP 00:02:00\n", 5, "POSTGAP before INDEX"},
      {one + "POSTGAP 00:01:00\nINDEX 02 00:05:00\n", 5, "INDEX after POSTGAP"},
      {"TITLE \"a\"\nTITLE \"b\"\n" + one, 2, "disc TITLE twice"},
      {file + "TRACK 01 AUDIO\nPERFORMER a\nPERFORMER b\nINDEX 01 00:00:00\n", 4, "track PERFORMER twice"},
      {"REM DATE 2023\nREM DATE 2024\n" + one, 2, "REM DATE twice"},
      {"TITLE \"open quote\n" + one, 1, "quote not closed"},
      {"TITLE \"a\"b\n" + one, 1, "text glued to a quote"},
      {"TITLE \"a\" b\n" + one, 1, "text after a quoted title"},
      {"TITLE\n" + one, 1, "TITLE without a value"},
      {one + "FROBNICATE 1\n", 4, "unknown command"},
      {one + "FILE \"b.bin\" BINARY\n", 4, "second FILE"},
      {"FILE \"a.wav\" WAVE\n", 1, "WAVE file"},
      {"FILE \"a.bin\" MOTOROLA\n", 1, "big-endian file"},
      {"FILE \"..\\a.bin\" BINARY\n", 1, "file in another folder"},
      {"FILE \"a.bin\"\n", 1, "FILE without a type"},
      {"CATALOG 12345\n" + one, 1, "short CATALOG"},
      {one + "CATALOG 4988001234567\n", 4, "CATALOG inside a track"},
      {"FLAGS DCP\n" + one, 1, "FLAGS outside a track"},
      {one + "FLAGS LOUD\n", 4, "unknown flag"},
      {"TITLE \"\xFF\"\n" + one, 1, "invalid UTF-8"},
      {"TITLE \"\x83\x7D\x83\x8A\"\n" + one, 1, "Shift-JIS text"},
      {"TITLE \"\xC0\xAF\"\n" + one, 1, "overlong UTF-8"},
      {"TITLE \"\xE3\x83\"\n" + one, 1, "UTF-8 cut short"},
      {std::string("TITLE \"a\0b\"\n", 12) + one, 1, "NUL byte"},
      {"\xEF\xBB\xBF" "REM DATE 1\r\n" + file + "TRACK 01 AUDIO\r\nINDEX 01 00:00:01\r\n", 4,
       "CRLF lines after a BOM count once"},
  };
  for (const Case& c : cases) {
    CueSheet sheet;
    CueError error;
    EXPECT_FALSE(engine::ParseCueSheet(c.text, &sheet, &error)) << c.why;
    EXPECT_EQ(error.line, c.line) << c.why << ": " << os::Utf8FromWide(error.reason);
    EXPECT_FALSE(error.reason.empty()) << c.why;
  }
}

TEST(CueTimeTest, ReadsMinutesSecondsFrames) {
  struct Case {
    const char* text;
    bool ok;
    std::uint32_t sectors;
  };
  const Case cases[] = {
      {"00:00:00", true, 0},
      {"00:00:74", true, 74},
      {"00:01:00", true, 75},
      {"01:02:03", true, (60 + 2) * 75 + 3},
      {"1:00:00", true, 4500},
      {"99:59:74", true, 449999},
      {"100:00:00", true, 450000},
      {"00:60:00", false, 0},
      {"00:00:75", false, 0},
      {"0:0:0", false, 0},
      {"00:00", false, 0},
      {"00:00:00:00", false, 0},
      {"1000:00:00", false, 0},
      {"-1:00:00", false, 0},
      {"aa:bb:cc", false, 0},
      {" 00:00:00", false, 0},
      {"", false, 0},
  };
  for (const Case& c : cases) {
    std::uint32_t sectors = 12345;
    EXPECT_EQ(engine::ParseCueTime(c.text, &sectors), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(sectors, c.sectors) << c.text;
    }
  }
}

}  // namespace
