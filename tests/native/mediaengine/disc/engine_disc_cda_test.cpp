#include "mediaengine/disc/cda_file.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using mediaengine::CdaTrack;

// Track 2 of a disc with serial 1234ABCD, starting at LBA 13650 (address
// 13800 = 03:04:00) and 20287 sectors long (04:30:37).
const CdaTrack kTrack{2, 0x1234ABCDu, 13650, 20287};
const std::uint8_t kTrackBytes[44] = {
    'R',  'I',  'F',  'F',  36,  0,   0,   0,    // RIFF, 36 bytes follow
    'C',  'D',  'D',  'A',  'f', 'm', 't', ' ',  // form and chunk
    24,   0,    0,    0,                         // chunk size
    1,    0,                                     // version
    2,    0,                                     // track number
    0xCD, 0xAB, 0x34, 0x12,                      // serial
    0x52, 0x35, 0,    0,                         // start 13650 = 0x3552
    0x3F, 0x4F, 0,    0,                         // length 20287 = 0x4F3F
    0,    4,    3,    0,                         // start frame, second, minute
    37,   30,   4,    0,                         // length frame, second, minute
};

TEST(CdaFileTest, BuildsTheFileByteForByte) {
  const auto bytes = mediaengine::BuildCdaFile(kTrack);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
            std::vector<std::uint8_t>(std::begin(kTrackBytes), std::end(kTrackBytes)));
}

TEST(CdaFileTest, ParsesWhatItBuildsAndRefusesDamage) {
  CdaTrack parsed;
  ASSERT_TRUE(mediaengine::ParseCdaFile(kTrackBytes, sizeof kTrackBytes, &parsed));
  EXPECT_EQ(parsed, kTrack);

  const CdaTrack firstTrack{1, 7, 0, 4500};  // start 00:02:00, length 01:00:00
  const auto built = mediaengine::BuildCdaFile(firstTrack);
  ASSERT_TRUE(mediaengine::ParseCdaFile(built.data(), built.size(), &parsed));
  EXPECT_EQ(parsed, firstTrack);

  struct Case {
    std::size_t offset;
    std::uint8_t value;
    const char* why;
  };
  const Case damage[] = {
      {0, 'X', "not RIFF"},
      {4, 37, "RIFF size"},
      {8, 'W', "not CDDA"},
      {16, 16, "format size"},
      {20, 2, "version"},
      {22, 0, "track 0"},
      {28, 0x53, "start without its MSF"},
      {36, 1, "start MSF off by a frame"},
      {37, 2, "start MSF without the lead-in"},
      {41, 31, "length MSF"},
      {39, 1, "MSF pad byte"},
  };
  for (const Case& c : damage) {
    std::vector<std::uint8_t> bytes(std::begin(kTrackBytes), std::end(kTrackBytes));
    bytes[c.offset] = c.value;
    EXPECT_FALSE(mediaengine::ParseCdaFile(bytes.data(), bytes.size(), &parsed)) << c.why;
  }
  EXPECT_FALSE(mediaengine::ParseCdaFile(kTrackBytes, 43, &parsed));
  std::vector<std::uint8_t> longer(std::begin(kTrackBytes), std::end(kTrackBytes));
  longer.push_back(0);
  EXPECT_FALSE(mediaengine::ParseCdaFile(longer.data(), longer.size(), &parsed));
  EXPECT_FALSE(mediaengine::ParseCdaFile(nullptr, 44, &parsed));
}

TEST(CdaFileTest, NamesFilesWithTwoDigits) {
  EXPECT_EQ(mediaengine::CdaFileName(1), L"Track01.cda");
  EXPECT_EQ(mediaengine::CdaFileName(10), L"Track10.cda");
  EXPECT_EQ(mediaengine::CdaFileName(99), L"Track99.cda");
}

}  // namespace
