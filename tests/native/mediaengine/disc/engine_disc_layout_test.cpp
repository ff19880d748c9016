#include "mediaengine/disc/disc_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "mediaengine/disc/cd_audio.h"
#include "os/text_encoding.h"

namespace {

using mediaengine::CueError;
using mediaengine::CueSheet;
using mediaengine::DiscLayout;

CueSheet Sheet(const std::string& text) {
  CueSheet sheet;
  CueError error;
  EXPECT_TRUE(mediaengine::ParseCueSheet(text, &sheet, &error)) << os::Utf8FromWide(error.reason);
  return sheet;
}

// Track 2 has its pregap in the file (INDEX 00), track 3 gets two seconds of
// silence the file does not hold (PREGAP). The image is 10:00:00 long.
const char kThreeTracks[] =
    "FILE \"a.bin\" BINARY\n"
    "TRACK 01 AUDIO\nINDEX 01 00:00:00\n"
    "TRACK 02 AUDIO\nINDEX 00 03:00:00\nINDEX 01 03:02:00\n"
    "TRACK 03 AUDIO\nPREGAP 00:02:00\nINDEX 01 07:30:37\n";
constexpr std::uint64_t kTenMinutes = 45000ull * mediaengine::kSectorBytes;

TEST(DiscLayoutTest, PlacesTracksAndGapsAsTheTocShowsThem) {
  DiscLayout layout;
  CueError error;
  ASSERT_TRUE(mediaengine::LayOutDisc(Sheet(kThreeTracks), kTenMinutes, &layout, &error));
  // Track 2 starts at 3:02:00 = 182 s * 75 = 13650; track 3 at 7:30:37 =
  // 450 * 75 + 37 = 33787 in the file, plus the 150 sectors of PREGAP.
  ASSERT_EQ(layout.tracks.size(), 3u);
  EXPECT_EQ(layout.tracks[0].startLba, 0u);
  EXPECT_EQ(layout.tracks[1].startLba, 13650u);
  EXPECT_EQ(layout.tracks[2].startLba, 33937u);
  EXPECT_EQ(layout.leadOutLba, 45150u);
  // Track 1 keeps track 2's pregap (13650 - 0); track 2 runs into track 3's
  // silence (33937 - 13650); track 3 to the lead-out (45150 - 33937).
  EXPECT_EQ(layout.tracks[0].lengthSectors, 13650u);
  EXPECT_EQ(layout.tracks[1].lengthSectors, 20287u);
  EXPECT_EQ(layout.tracks[2].lengthSectors, 11213u);

  // Addresses are LBA + 150: 150 = 0x96, 13800 = 0x35E8, 34087 = 0x8527,
  // lead-out 45300 = 0xB0F4.
  EXPECT_EQ(mediaengine::TocText(layout), L"3+96+35E8+8527+B0F4");

  // The disc as the reader walks it: track 2's file part, then the silence.
  ASSERT_EQ(layout.segments.size(), 4u);
  EXPECT_EQ(layout.segments[1].fileStart, 13500u);
  EXPECT_EQ(layout.segments[2].discStart, 33787u);
  EXPECT_TRUE(layout.segments[2].silence);
  EXPECT_EQ(layout.segments[3].fileStart, 33787u);
}

TEST(DiscLayoutTest, PostgapAndTrackOnePregapShiftTheDisc) {
  DiscLayout layout;
  CueError error;
  ASSERT_TRUE(mediaengine::LayOutDisc(Sheet("FILE \"a.bin\" BINARY\n"
                                       "TRACK 01 AUDIO\nPREGAP 00:01:00\nINDEX 01 00:00:00\n"
                                       "POSTGAP 00:00:10\n"
                                       "TRACK 02 AUDIO\nINDEX 01 00:02:00\n"),
                                 300ull * mediaengine::kSectorBytes, &layout, &error));
  // 75 silent sectors, track 1 (150 file sectors + 10 silent), track 2.
  EXPECT_EQ(layout.tracks[0].startLba, 75u);
  EXPECT_EQ(layout.tracks[0].lengthSectors, 160u);
  EXPECT_EQ(layout.tracks[1].startLba, 235u);
  EXPECT_EQ(layout.leadOutLba, 385u);
  EXPECT_EQ(mediaengine::TocText(layout), L"2+E1+181+217");
}

TEST(DiscLayoutTest, SerialSumsTheStartAddresses) {
  DiscLayout layout;
  CueError error;
  ASSERT_TRUE(mediaengine::LayOutDisc(Sheet(kThreeTracks), kTenMinutes, &layout, &error));
  // Starts 00:02:00, 03:04:00 and 07:34:37 packed as minute, second, frame.
  EXPECT_EQ(mediaengine::AudioCdSerial(layout), 0x000200u + 0x030400u + 0x072225u);

  // Fewer than three tracks: add the first start's frame (33) and the
  // sectors from that start (LBA 33) to the lead-out (LBA 20000).
  ASSERT_TRUE(mediaengine::LayOutDisc(Sheet("FILE \"a.bin\" BINARY\n"
                                       "TRACK 01 AUDIO\nINDEX 00 00:00:00\nINDEX 01 00:00:33\n"
                                       "TRACK 02 AUDIO\nINDEX 01 03:02:00\n"),
                                 20000ull * mediaengine::kSectorBytes, &layout, &error));
  EXPECT_EQ(mediaengine::AudioCdSerial(layout), 0x000221u + 0x030400u + 33u + (20000u - 33u));
}

TEST(DiscLayoutTest, RefusesImagesThatDoNotHoldTheTracks) {
  const std::string twoTracks =
      "FILE \"a.bin\" BINARY\n"
      "TRACK 01 AUDIO\nINDEX 01 00:00:00\n"
      "TRACK 02 AUDIO\nINDEX 01 00:02:00\n";  // line 4, sector 150
  const std::uint64_t sector = mediaengine::kSectorBytes;
  struct Case {
    std::string sheet;
    std::uint64_t bytes;
    int line;
    const char* why;
  };
  const Case cases[] = {
      {twoTracks, 0, 0, "empty image"},
      {twoTracks, 200 * sector - 1, 0, "truncated by a byte"},
      {twoTracks, 200 * sector + 1176, 0, "half a sector too long"},
      {twoTracks, 150 * sector, 4, "track 2 starts exactly at the end"},
      {twoTracks, 100 * sector, 4, "track 2 starts beyond the end"},
      {twoTracks, (mediaengine::kMaxAddress + 1ull) * sector, 0, "longer than a CD"},
      {"FILE \"a.bin\" BINARY\nTRACK 01 AUDIO\nPREGAP 99:59:00\nINDEX 01 00:00:00\n", 300 * sector,
       0, "a pregap beyond the last address"},
  };
  for (const Case& c : cases) {
    DiscLayout layout;
    CueError error;
    EXPECT_FALSE(mediaengine::LayOutDisc(Sheet(c.sheet), c.bytes, &layout, &error)) << c.why;
    EXPECT_EQ(error.line, c.line) << c.why;
    EXPECT_FALSE(error.reason.empty()) << c.why;
  }
}

}  // namespace
