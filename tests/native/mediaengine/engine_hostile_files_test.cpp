// Files from outside that the engine reads: WMPInfo.xml, PLAYER.INF, cue
// sheets and .cda files made to mislead. Each is either read the one way
// every reader reads it, or refused with a reason.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_file_system.h"
#include "mediaengine/devices/player_identity.h"
#include "mediaengine/devices/player_inf.h"
#include "mediaengine/devices/wmp_info_file.h"
#include "mediaengine/disc/cd_audio.h"
#include "mediaengine/disc/cda_file.h"
#include "mediaengine/disc/cue_sheet.h"
#include "mediaengine/library/xml_text.h"
#include "os/text_encoding.h"

namespace {

TEST(XmlReader, OnlyWellFormedDocumentsAreRead) {
  const struct {
    const wchar_t* document;
    bool wellFormed;
  } cases[] = {
      {L"<a/>", true},
      {L"<?xml version=\"1.0\"?>\r\n<!-- c --><a x='1' y = \"2\"><b>t&amp;<![CDATA[<c/>]]></b></a>\n", true},
      {L"", false},
      {L"text", false},
      {L"<a>", false},
      {L"<a></b>", false},
      {L"<a/><b/>", false},
      {L"<a x=\"1\" x=\"2\"/>", false},
      {L"<a x=1/>", false},
      {L"<a x=\"<\"/>", false},
      {L"<a x=\"&nbsp;\"/>", false},
      {L"<a x=\"&#0;\"/>", false},
      {L"<a x=\"&#x110000;\"/>", false},
      {L"<a x=\"1\"y=\"2\"/>", false},
      {L"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", false},
      {L"<a><!-- unclosed </a>", false},
      {L"<a>\uFFFF</a>", false},
  };
  for (const auto& c : cases) {
    std::vector<mediaengine::XmlElement> elements;
    EXPECT_EQ(mediaengine::ReadXmlDocument(c.document, &elements), c.wellFormed)
        << os::Utf8FromWide(c.document);
  }
  std::vector<mediaengine::XmlElement> elements;
  ASSERT_TRUE(mediaengine::ReadXmlDocument(
      L"<a v=\"&lt;&#65;&#x42;&apos;&quot;&gt;\tx\n\"><b>1&amp;2<![CDATA[<c/>]]></b></a>", &elements));
  ASSERT_EQ(elements.size(), 2u);
  std::wstring value;
  ASSERT_TRUE(elements[0].Attribute(L"v", &value));
  EXPECT_EQ(value, L"<AB'\"> x ") << "blanks written as such read as spaces";
  EXPECT_EQ(elements[1].name, L"b");
  EXPECT_EQ(elements[1].depth, 1);
  EXPECT_EQ(elements[1].text, L"1&2<c/>");
}

TEST(WmpInfoFile, TheIdIsTheDeviceIdAttributeOfTheWmpElementAsXmlReadsIt) {
  const struct {
    const char* what;
    std::string bytes;
    const wchar_t* id;  // null: no id
  } cases[] = {
      {"plain", "<DeviceInfo><WMP DeviceID=\"{A}\"/></DeviceInfo>", L"{A}"},
      {"in a comment first",
       "<!-- <WMP DeviceID=\"{WRONG}\"/> --><DeviceInfo><WMP DeviceID=\"{A}\"/></DeviceInfo>", L"{A}"},
      {"only in a comment", "<DeviceInfo><!-- <WMP DeviceID=\"{WRONG}\"/> --></DeviceInfo>", nullptr},
      {"another attribute first",
       "<DeviceInfo><WMP NotADeviceID=\"{WRONG}\" DeviceID=\"{A}\"/></DeviceInfo>", L"{A}"},
      {"only another attribute", "<DeviceInfo><WMP NotADeviceID=\"{WRONG}\"/></DeviceInfo>", nullptr},
      {"another element", "<DeviceInfo><Other DeviceID=\"{WRONG}\"/></DeviceInfo>", nullptr},
      {"attribute case", "<DeviceInfo><WMP deviceid=\"{WRONG}\"/></DeviceInfo>", nullptr},
      {"entities", "<DeviceInfo><WMP DeviceID=\"a&amp;b&quot;&#x43;\"/></DeviceInfo>", L"a&b\"C"},
      {"unknown entity", "<DeviceInfo><WMP DeviceID=\"a&b;\"/></DeviceInfo>", nullptr},
      {"bare ampersand", "<DeviceInfo><WMP DeviceID=\"a&b\"/></DeviceInfo>", nullptr},
      {"written unescaped", "<DeviceInfo><WMP DeviceID=\"\"\"/></DeviceInfo>", nullptr},
      {"in character data", "<DeviceInfo><![CDATA[<WMP DeviceID=\"{WRONG}\"/>]]></DeviceInfo>", nullptr},
      {"not closed", "<DeviceInfo><WMP DeviceID=\"{A}\"/>", nullptr},
  };
  for (const auto& c : cases) {
    std::wstring id = L"<unset>";
    const bool found = mediaengine::DeviceIdOfWmpInfo(c.bytes, &id);
    EXPECT_EQ(found, c.id != nullptr) << c.what;
    if (found && c.id) {
      EXPECT_EQ(id, c.id) << c.what;
    }
  }
}

TEST(WmpInfoFile, AnyIdIsWrittenEscapedAndReadBackUnchanged) {
  const std::wstring ids[] = {L"\"", L"a\"b'c<d>&e", L"{A}\t\n", L"東京 \U0001F3B5"};
  for (const std::wstring& id : ids) {
    const std::string bytes = mediaengine::WmpInfoBytes(id);
    std::wstring read;
    ASSERT_TRUE(mediaengine::DeviceIdOfWmpInfo(bytes, &read)) << os::Utf8FromWide(id);
    EXPECT_EQ(read, id);
  }
  const std::string quote = mediaengine::WmpInfoBytes(L"\"");
  std::u16string units;
  for (std::size_t i = 2; i + 1 < quote.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(quote[i]) |
                                          (static_cast<unsigned char>(quote[i + 1]) << 8)));
  }
  EXPECT_EQ(os::WideFromUtf16(units), L"<DeviceInfo><WMP DeviceID=\"&quot;\"/></DeviceInfo>");
}

// What PlatDevice.dll reads (the shared C reading) and what the engine
// reads must be the same player, whatever the bytes.
TEST(PlayerInf, TheEngineAndTheMakerLibraryReadTheSamePlayer) {
  const std::string filler = "Comment=" + std::string(4096, 'x') + "\n";
  std::string exactlyFull = "Serial=FULL\nComment=";
  exactlyFull += std::string(PLAYER_INF_MAX_BYTES - exactlyFull.size(), 'x');
  const struct {
    const char* what;
    std::string bytes;
    bool player;
    bool card;
    const wchar_t* serial;
  } cases[] = {
      {"overlong line feed hides a serial", "Maker=Orbit\xC0\x8ASerial=ORB", false, false, L""},
      {"the last Storage counts", "Serial=S\nStorage=Card\nStorage=SD\n", true, false, L"S"},
      {"the last Storage counts, card", "Serial=S\nStorage=SD\nStorage=card\n", true, true, L"S"},
      {"the last Serial counts", "Serial=A\r\nSerial=\r\n", false, false, L""},
      {"a serial past the size limit", filler + "Serial=LATE\n", false, false, L""},
      {"a file exactly at the limit", exactlyFull, true, false, L"FULL"},
      {"a NUL byte", std::string("Serial=A\0B\n", 11), false, false, L""},
      {"mark, CRLF, blanks and case", "\xEF\xBB\xBF sErIaL = \xE3\x83\x86 \r\nSTORAGE=Card\r\n", true, true,
       L"\u30C6"},
      {"bytes that are not UTF-8", "Serial=\xFF\xFE\n", true, false, L"\uFFFD\uFFFD"},
      {"no equals sign", "Serial\nCard\n", false, false, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PlayerInf inf;
    EXPECT_EQ(ParsePlayerInf(c.bytes.data(), c.bytes.size(), &inf) != 0, c.player);
    mediaengine::PlayerIdentity identity;
    ASSERT_EQ(mediaengine::ParsePlayerIdentity(c.bytes, &identity), c.player);
    if (!c.player) continue;
    EXPECT_EQ(inf.isCard != 0, c.card);
    EXPECT_EQ(identity.storage == mediaengine::StorageKind::Card, c.card);
    EXPECT_EQ(identity.serial, c.serial);
  }

  fakes::FakeFileSystem files;
  files.AddDrive(L'F');
  mediaengine::PlayerIdentity identity;
  files.AddFile(L"F:\\PLAYER.INF", exactlyFull);
  EXPECT_TRUE(mediaengine::ReadPlayerIdentity(files, L"F:\\", &identity));
  files.AddFile(L"F:\\PLAYER.INF", exactlyFull + "\n");
  EXPECT_FALSE(mediaengine::ReadPlayerIdentity(files, L"F:\\", &identity))
      << "one byte more than the maker library reads";
}

TEST(CueSheetNames, FilesOutsideTheDiscFolderArePatternsOrDevicesAreRefused) {
  const auto sheet = [](const std::string& fileLine, const std::string& extra = "") {
    return extra + fileLine + "\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
  };
  const struct {
    const char* what;
    std::string text;
    bool valid;
  } cases[] = {
      {"a name beside the sheet", sheet("FILE \"disc.bin\" BINARY"), true},
      {"a Japanese name", sheet("FILE \"\xE6\x9D\xB1\xE4\xBA\xAC.bin\" BINARY"), true},
      {"the parent folder", sheet("FILE \"..\" BINARY"), false},
      {"this folder", sheet("FILE \".\" BINARY"), false},
      {"up a folder", sheet("FILE \"../disc.bin\" BINARY"), false},
      {"a device", sheet("FILE \"CON\" BINARY"), false},
      {"a device with an extension", sheet("FILE \"nul.bin\" BINARY"), false},
      {"a pattern", sheet("FILE \"*.bin\" BINARY"), false},
      {"a question mark", sheet("FILE \"disc?.bin\" BINARY"), false},
      {"a drive", sheet("FILE \"C:disc.bin\" BINARY"), false},
      {"a trailing dot", sheet("FILE \"disc.\" BINARY"), false},
      {"a CD-TEXT file beside the sheet", sheet("FILE \"disc.bin\" BINARY", "CDTEXTFILE \"disc.cdt\"\n"), true},
      {"an absolute CD-TEXT file",
       sheet("FILE \"disc.bin\" BINARY", "CDTEXTFILE \"C:\\Windows\\win.ini\"\n"), false},
      {"a CD-TEXT file elsewhere", sheet("FILE \"disc.bin\" BINARY", "CDTEXTFILE /etc/passwd\n"), false},
      {"a CD-TEXT device", sheet("FILE \"disc.bin\" BINARY", "CDTEXTFILE \"AUX\"\n"), false},
  };
  for (const auto& c : cases) {
    mediaengine::CueSheet parsed;
    mediaengine::CueError error;
    EXPECT_EQ(mediaengine::ParseCueSheet(c.text, &parsed, &error), c.valid) << c.what;
    if (!c.valid) {
      EXPECT_FALSE(error.reason.empty()) << c.what;
      EXPECT_GT(error.line, 0) << c.what;
    }
  }
}

TEST(CdaFileRange, TracksNoCdCanHoldAreRefused) {
  using mediaengine::CdaTrack;
  constexpr std::uint32_t kLastLba = mediaengine::kMaxAddress - mediaengine::kLeadInSectors;
  const struct {
    const char* what;
    CdaTrack track;
    bool valid;
  } cases[] = {
      {"an ordinary track", {2, 7, 13650, 20287}, true},
      {"track 99", {99, 7, 0, 75}, true},
      {"ends on the last address", {1, 7, kLastLba, 1}, true},
      {"track 100", {100, 7, 0, 75}, false},
      {"track 65535", {65535, 7, 0, 75}, false},
      {"length 0", {1, 7, 0, 0}, false},
      {"starts beyond any CD", {1, 7, kLastLba + 1, 1}, false},
      {"ends beyond any CD", {1, 7, kLastLba, 2}, false},
      {"starts at 100 minutes", {1, 7, 100 * 60 * 75 - 150, 75}, false},
  };
  for (const auto& c : cases) {
    const auto bytes = mediaengine::BuildCdaFile(c.track);
    CdaTrack parsed;
    EXPECT_EQ(mediaengine::ParseCdaFile(bytes.data(), bytes.size(), &parsed), c.valid) << c.what;
  }
}

}  // namespace
