#include "mediaengine/disc/cue_sheet.h"

#include <gtest/gtest.h>

#include <string>

#include "os/text_encoding.h"

namespace {

using mediaengine::CueError;
using mediaengine::CueSheet;

TEST(CueSheetTest, ReadsCdTextRemarksIndexesAndGaps) {
  const std::string text =
      "\xEF\xBB\xBF"
      "REM GENRE \"イージーリスニング\"\r\nREM DATE 2024\r\nREM DISCID 2A0B4F03\r\n"
      "REM COMMENT \"made for tests\"\r\nREM something else\r\nCATALOG 4988001234567\r\n"
      "PERFORMER \"木琴合奏団\"\r\nTITLE \"マリンバの午後\"\r\nFILE \"demo disc.bin\" BINARY\r\n"
      "  TRACK 01 AUDIO\r\n    TITLE \"朝の木漏れ日\"\r\n    PERFORMER \"鈴木\"\r\n"
      "    INDEX 01 00:00:00\r\n\r\n"
      "  track 02 audio\r\n    title Unquoted  words  \r\n    FLAGS DCP PRE\r\n"
      "    INDEX 00 02:10:50\r\n    INDEX 01 02:12:00\r\n    INDEX 02 02:30:00\r\n"
      "  TRACK 3 AUDIO\r\n    PREGAP 00:02:00\r\n    INDEX 01 04:00:74\r\n"
      "    POSTGAP 00:01:00";  // no line end after the last line
  CueSheet sheet;
  CueError error;
  ASSERT_TRUE(mediaengine::ParseCueSheet(text, &sheet, &error)) << error.line;
  EXPECT_EQ(sheet.genre, L"イージーリスニング");
  EXPECT_EQ(sheet.date, L"2024");
  EXPECT_EQ(sheet.discId, L"2A0B4F03");
  EXPECT_EQ(sheet.comment, L"made for tests");
  EXPECT_EQ(sheet.catalog, L"4988001234567");
  EXPECT_EQ(sheet.performer, L"木琴合奏団");
  EXPECT_EQ(sheet.title, L"マリンバの午後");
  EXPECT_EQ(sheet.fileName, L"demo disc.bin");
  ASSERT_EQ(sheet.tracks.size(), 3u);
  EXPECT_EQ(sheet.tracks[0].line, 10);
  EXPECT_EQ(sheet.tracks[0].title, L"朝の木漏れ日");
  EXPECT_EQ(sheet.tracks[0].performer, L"鈴木");
  EXPECT_FALSE(sheet.tracks[0].hasIndex0);
  EXPECT_EQ(sheet.tracks[1].title, L"Unquoted  words");
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
  ASSERT_TRUE(mediaengine::ParseCueSheet(head + eighty + tail, &sheet, &error));
  EXPECT_EQ(sheet.tracks[0].title.size(), 80u);
  ASSERT_TRUE(mediaengine::ParseCueSheet(head + eighty + "x" + tail, &sheet, &error))
      << "a longer text is cut, the disc kept";
  EXPECT_EQ(os::Utf8FromWide(sheet.tracks[0].title), eighty);
}

// A disc is never refused for its CD-TEXT alone: what cannot be read is left
// out (the placeholders show), quotes inside a value are kept.
TEST(CueSheetTest, CdTextThatCannotBeReadIsLeftOutAndTheDiscKept) {
  const std::string one = "FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n";
  const struct {
    std::string text;
    const char* title;
    const char* why;
  } cases[] = {
      {"TITLE \"Say \"Hi\"\"\n" + one, "Say \"Hi\"", "quotes inside the quoted text"},
      {"TITLE \"a \"b\" c\"  \n" + one, "a \"b\" c", "from the first to the last quote"},
      {"TITLE a\nTITLE b\n" + one, "a", "disc TITLE twice: the first stays"},
      {"TITLE \"open quote\n" + one, "open quote", "quote not closed"},
      {"TITLE \"a\" b\n" + one, "a", "text after a quoted title"},
      {"TITLE \"\x83\x7D\x83\x8A\"\n" + one, "", "Shift-JIS text"},
      {"TITLE \"\xC0\xAF\"\n" + one, "", "overlong UTF-8"},
      {"TITLE\n" + one, "", "no value"},
  };
  for (const auto& c : cases) {
    CueSheet sheet;
    CueError error;
    ASSERT_TRUE(mediaengine::ParseCueSheet(c.text, &sheet, &error))
        << c.why << ": " << os::Utf8FromWide(error.reason);
    EXPECT_EQ(os::Utf8FromWide(sheet.title), c.title) << c.why;
  }
  CueSheet sheet;
  CueError error;
  ASSERT_TRUE(mediaengine::ParseCueSheet(
      "FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\nPERFORMER \"The \"Q\" Band\"\nINDEX 01 00:00:00\n",
      &sheet, &error));
  EXPECT_EQ(os::Utf8FromWide(sheet.tracks[0].performer), "The \"Q\" Band");
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
      {file + "TRACK 01 MODE1/2352\nINDEX 01 00:00:00\n", 2, "data track"},
      {file + "TRACK 01 AUDIO\nTITLE x\nTRACK 02 AUDIO\nINDEX 01 00:00:00\n", 2, "no INDEX 01"},
      {one + "TRACK 02 AUDIO\nINDEX 00 00:10:00\n", 4, "last track without INDEX 01"},
      {file + "TRACK 01 AUDIO\nINDEX 01 00:00:01\n", 3, "first index not at the start"},
      {file + "TRACK 01 AUDIO\nINDEX 01 00:60:00\n", 3, "seconds 60"},
      {file + "TRACK 01 AUDIO\nINDEX 02 00:00:00\n", 3, "INDEX 02 first"},
      {one + "TRACK 02 AUDIO\nINDEX 01 00:00:00\n", 5, "track starting where the one before does"},
      {one + "TRACK 02 AUDIO\nINDEX 00 00:05:00\nINDEX 01 00:04:00\n", 6, "index going back"},
      {one + "TRACK 02 AUDIO\nINDEX 01 00:05:00\nPREGAP 00:02:00\n", 6, "PREGAP after INDEX"},
      {one + "POSTGAP 00:01:00\nINDEX 02 00:05:00\n", 5, "INDEX after POSTGAP"},
      {one + "FROBNICATE 1\n", 4, "unknown command"},
      {"REM GENRE a\nREM GENRE b\n" + one, 2, "REM GENRE twice"},
      {"REM DATE \"open quote\n" + one, 1, "quote not closed outside CD-TEXT"},
      {"FILE \"\x83\x7D.bin\" BINARY\n", 1, "Shift-JIS file name"},
      {one + "FILE \"b.bin\" BINARY\n", 4, "second FILE"},
      {"FILE \"a.wav\" WAVE\n", 1, "WAVE file"},
      {"FILE \"..\\a.bin\" BINARY\n", 1, "file in another folder"},
      {std::string("TITLE \"a\0b\"\n", 12) + one, 1, "NUL byte"},
      {"\xEF\xBB\xBF"
       "REM DATE 1\r\n" +
           file + "TRACK 01 AUDIO\r\nINDEX 01 00:00:01\r\n",
       4, "CRLF lines after a BOM count once"},
  };
  for (const Case& c : cases) {
    CueSheet sheet;
    CueError error;
    EXPECT_FALSE(mediaengine::ParseCueSheet(c.text, &sheet, &error)) << c.why;
    EXPECT_EQ(error.line, c.line) << c.why << ": " << os::Utf8FromWide(error.reason);
    EXPECT_FALSE(error.reason.empty()) << c.why;
  }
}

TEST(CueTimeTest, ReadsMinutesSecondsFrames) {
  const std::pair<const char*, std::uint32_t> good[] = {
      {"00:00:74", 74}, {"01:02:03", 62 * 75 + 3}, {"1:00:00", 4500}, {"100:00:00", 450000}};
  for (const auto& [text, sectors] : good) {
    std::uint32_t parsed = 0;
    EXPECT_TRUE(mediaengine::ParseCueTime(text, &parsed)) << text;
    EXPECT_EQ(parsed, sectors) << text;
  }
  for (const char* text : {"00:60:00", "00:00:75", "0:0:0", "00:00", "00:00:00:00", "1000:00:00",
                           "-1:00:00", " 00:00:00", ""}) {
    std::uint32_t parsed = 0;
    EXPECT_FALSE(mediaengine::ParseCueTime(text, &parsed)) << text;
  }
}

}  // namespace
