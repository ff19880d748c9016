// The first line of WMPInfo.xml, whichever engine wrote it.
#include "device/first_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_file_system.h"

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> Utf16(const std::u16string& text, bool littleEndian) {
  std::vector<std::uint8_t> bytes = littleEndian ? std::vector<std::uint8_t>{0xFF, 0xFE}
                                                 : std::vector<std::uint8_t>{0xFE, 0xFF};
  for (char16_t c : text) {
    const auto low = static_cast<std::uint8_t>(c & 0xFF);
    const auto high = static_cast<std::uint8_t>(c >> 8);
    bytes.push_back(littleEndian ? low : high);
    bytes.push_back(littleEndian ? high : low);
  }
  return bytes;
}

// Stands for a code page that maps 0xE9 to "é" and marks that it was asked.
std::wstring MarkedLatin1(const std::string& bytes) {
  return L"[" + device::DecodeUtf8OrLatin1(bytes) + L"]";
}

TEST(FirstLineTest, HonoursTheByteOrderMarkOrTheCodePage) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::wstring expected;
  };
  const std::vector<Case> cases = {
      {"UTF-16LE", Utf16(u"<WMP DeviceID=\"{A}\"/>\r\nsecond", true), L"<WMP DeviceID=\"{A}\"/>"},
      {"UTF-16BE", Utf16(u"ID=\u30C6\nx", false), L"ID=\u30C6"},
      {"UTF-8", Bytes("\xEF\xBB\xBF" "caf\xC3\xA9\nx"), L"caf\u00E9"},
      {"code page", Bytes("caf\xE9\r\nx"), L"[caf\u00E9]"},
      {"no line end", Bytes("one line"), L"[one line]"},
      {"empty", Bytes(""), L"[]"},
      {"only a mark", Utf16(u"", true), L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(device::FirstLineOfBytes(c.bytes, 1999, MarkedLatin1), c.expected);
  }
}

TEST(FirstLineTest, ALineIsCutAfterTheLimit) {
  const std::vector<std::uint8_t> bytes(5000, 'a');
  EXPECT_EQ(device::FirstLineOfBytes(bytes, 1999, device::DecodeUtf8OrLatin1),
            std::wstring(1999, L'a'));
}

TEST(FirstLineTest, WithoutAMarkWellFormedUtf8IsKeptElseEachByteIsACharacter) {
  EXPECT_EQ(device::DecodeUtf8OrLatin1("\xE3\x83\x86"), L"\u30C6");
  EXPECT_EQ(device::DecodeUtf8OrLatin1("\xE3\x83"), L"\u00E3\u0083");
  // An overlong form is not UTF-8.
  EXPECT_EQ(device::DecodeUtf8OrLatin1("\xC0\xAF"), L"\u00C0\u00AF");
  EXPECT_EQ(device::DecodeUtf8OrLatin1("\xED\xA0\x80"), L"\u00ED\u00A0\u0080");
}

TEST(FirstLineTest, ReadsFilesOnlyAsFarAsTheLineCanGo) {
  fakes::FakeFileSystem files;
  files.AddDrive(L'F');
  std::string huge(100000, 'x');
  huge[0] = 'y';
  files.AddFile(L"F:\\WMPInfo.xml", huge);
  std::wstring line;
  ASSERT_TRUE(device::ReadFirstLine(files, L"F:\\WMPInfo.xml", 10, nullptr, &line));
  EXPECT_EQ(line, L"yxxxxxxxxx");
  EXPECT_FALSE(device::ReadFirstLine(files, L"F:\\missing.xml", 10, nullptr, &line));
  EXPECT_TRUE(line.empty());
}

// A reader that stops at its limit in the middle of a character decides
// the encoding as one that has the whole file.
TEST(FirstLineTest, ALineCutInsideACharacterReadsAsTheWholeFile) {
  fakes::FakeFileSystem files;
  files.AddDrive(L'F');
  std::string japanese;
  for (int i = 0; i < 10; ++i) japanese += "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88";  // テスト
  const struct {
    const char* what;
    std::string bytes;
    std::size_t maxChars;
    std::wstring line;
  } cases[] = {
      {"UTF-8 without a mark", japanese + "\n", 5, L"\u30C6\u30B9\u30C8\u30C6\u30B9"},
      {"UTF-8 with a mark", "\xEF\xBB\xBF" + japanese, 4, L"\u30C6\u30B9\u30C8\u30C6"},
      // Only the bytes that can make the characters shown decide.
      {"a stray byte past them", japanese + "\xFF\n", 2, L"\u30C6\u30B9"},
      {"a stray byte among them", "\xE3\x83\x86\xFF" + japanese, 2, L"\u00E3\u0083"},
      // The reader stops after an odd byte; with the one before it, it looks
      // like a carriage return that is no UTF-16 unit of the file.
      {"UTF-16 read up to an odd byte", std::string("\xFE\xFF\xD8\x3D\xDE\x00\x0D\x41", 8), 1,
       std::wstring(L"\U0001F600").substr(0, 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    files.AddFile(L"F:\\WMPInfo.xml", c.bytes);
    std::wstring read;
    ASSERT_TRUE(device::ReadFirstLine(files, L"F:\\WMPInfo.xml", c.maxChars, nullptr, &read));
    EXPECT_EQ(read, device::FirstLineOfBytes(Bytes(c.bytes), c.maxChars, device::DecodeUtf8OrLatin1));
    EXPECT_EQ(read, c.line);
  }
}

}  // namespace
