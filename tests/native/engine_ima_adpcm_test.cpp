// IMA ADPCM blocks: the byte layout readers expect, the quality of the
// encoder, and its step index at the extremes.
#include <gtest/gtest.h>

#include "codec/ima_adpcm.h"
#include "native/engine_signals.h"

namespace {

using engine::DecodeImaAdpcmBlock;
using engine::ImaAdpcmEncoder;
using engine::ImaAdpcmLayout;
using namespace engine_signals;

ImaAdpcmLayout Layout(int channels, int blockAlign) {
  ImaAdpcmLayout layout;
  layout.channels = channels;
  layout.blockAlign = blockAlign;
  return layout;
}

// Encodes whole blocks of `samples` (interleaved; the tail that does not fill
// a block is dropped) and decodes them again.
struct RoundTrip {
  std::vector<std::uint8_t> bytes;
  std::vector<std::int16_t> decoded;
  bool decodedAll = true;
};

RoundTrip EncodeAndDecode(const ImaAdpcmLayout& layout, const std::vector<std::int16_t>& samples) {
  const std::size_t blockSamples = static_cast<std::size_t>(layout.SamplesPerBlock()) * layout.channels;
  ImaAdpcmEncoder encoder(layout);
  RoundTrip trip;
  for (std::size_t first = 0; first + blockSamples <= samples.size(); first += blockSamples) {
    std::vector<std::uint8_t> block(layout.blockAlign);
    encoder.EncodeBlock(samples.data() + first, block.data());
    std::vector<std::int16_t> frames;
    trip.decodedAll = trip.decodedAll && DecodeImaAdpcmBlock(layout, block.data(), block.size(), &frames);
    trip.bytes.insert(trip.bytes.end(), block.begin(), block.end());
    trip.decoded.insert(trip.decoded.end(), frames.begin(), frames.end());
  }
  return trip;
}

std::vector<std::int16_t> At16k(const std::vector<std::int16_t>& stereo, int channels) {
  if (channels == 2) return stereo;
  std::vector<std::int16_t> mono;
  for (std::size_t i = 0; i < stereo.size(); i += 2) mono.push_back(stereo[i]);
  return mono;
}

TEST(ImaAdpcmLayout, CountsSamplesAndCheckedGroups) {
  EXPECT_EQ(Layout(1, 256).SamplesPerBlock(), 505);
  EXPECT_EQ(Layout(2, 1024).SamplesPerBlock(), 1017);
  EXPECT_EQ(Layout(2, 2048).SamplesPerBlock(), 2041);
  EXPECT_EQ(Layout(1, 4096).SamplesPerBlock(), 8185);
  EXPECT_EQ(Layout(2, 8192).SamplesPerBlock(), 8185);
  EXPECT_EQ(Layout(2, 2048).AvgBytesPerSecond(16000), 16054u) << "header bytes are paid for";

  EXPECT_TRUE(Layout(1, 8).Valid());
  EXPECT_TRUE(Layout(2, 16).Valid());
  EXPECT_FALSE(Layout(1, 4).Valid()) << "a header without samples";
  EXPECT_FALSE(Layout(1, 1026).Valid()) << "half a group";
  EXPECT_FALSE(Layout(2, 2052).Valid()) << "a group for one channel only";
  EXPECT_FALSE(Layout(3, 1036).Valid());
}

// Blocks worked out by hand from the step table, with what they decode to.
struct HandMadeBlock {
  ImaAdpcmLayout layout;
  std::vector<std::uint8_t> bytes;
  std::vector<std::int16_t> frames;
};

std::vector<HandMadeBlock> HandMadeBlocks() {
  std::vector<HandMadeBlock> blocks;
  // Mono: 1000 at step index 0, then codes 4 C 7 0 8 F 1 2, low nibble first.
  blocks.push_back({Layout(1, 8),
                    {0xE8, 0x03, 0x00, 0x00, 0xC4, 0x07, 0xF8, 0x21},
                    {1000, 1007, 997, 1016, 1018, 1016, 982, 997, 1019}});
  // Stereo: both headers first, then the left group's 4 bytes, then the
  // right's. Left climbs with code 4, right falls with code C.
  HandMadeBlock stereo{Layout(2, 16),
                       {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                        0x44, 0x44, 0x44, 0x44, 0xCC, 0xCC, 0xCC, 0xCC},
                       {}};
  for (std::int16_t value : {0, 7, 17, 29, 43, 61, 82, 107, 138}) {
    stereo.frames.push_back(value);
    stereo.frames.push_back(static_cast<std::int16_t>(-value));
  }
  blocks.push_back(stereo);
  return blocks;
}

TEST(ImaAdpcm, DecodesAndEncodesHandMadeBlocks) {
  for (const HandMadeBlock& block : HandMadeBlocks()) {
    SCOPED_TRACE(block.layout.channels);
    std::vector<std::int16_t> frames;
    ASSERT_TRUE(DecodeImaAdpcmBlock(block.layout, block.bytes.data(), block.bytes.size(), &frames));
    EXPECT_EQ(frames, block.frames);
    // Every sample is reachable exactly, so a nearest-code encoder must find
    // these very codes, in this very order.
    std::vector<std::uint8_t> encoded(block.bytes.size());
    ImaAdpcmEncoder(block.layout).EncodeBlock(block.frames.data(), encoded.data());
    EXPECT_EQ(encoded, block.bytes);
  }
}

TEST(ImaAdpcmDecoder, RejectsDamagedBlocks) {
  std::uint8_t block[] = {0xE8, 0x03, 0x00, 0x00, 0xC4, 0x07, 0xF8, 0x21};
  std::vector<std::int16_t> frames;
  EXPECT_FALSE(DecodeImaAdpcmBlock(Layout(1, 8), block, 7, &frames)) << "short block";
  EXPECT_FALSE(DecodeImaAdpcmBlock(Layout(1, 6), block, 6, &frames)) << "invalid layout";
  block[2] = 89;
  EXPECT_FALSE(DecodeImaAdpcmBlock(Layout(1, 8), block, 8, &frames)) << "step index past the table";
  block[2] = 88;
  EXPECT_TRUE(DecodeImaAdpcmBlock(Layout(1, 8), block, 8, &frames));
  block[3] = 1;
  EXPECT_FALSE(DecodeImaAdpcmBlock(Layout(1, 8), block, 8, &frames)) << "reserved byte set";
}

TEST(ImaAdpcmEncoder, WritesHeadersAndInterleavesGroupsPerChannel) {
  // Two groups per channel: left rises steeply, right falls.
  const ImaAdpcmLayout layout = Layout(2, 24);
  ASSERT_EQ(layout.SamplesPerBlock(), 17);
  std::vector<std::int16_t> frames;
  for (int n = 0; n < 17; ++n) {
    frames.push_back(static_cast<std::int16_t>(-3000 + 400 * n));
    frames.push_back(static_cast<std::int16_t>(2500 - 300 * n));
  }
  std::vector<std::uint8_t> block(24);
  ImaAdpcmEncoder(layout).EncodeBlock(frames.data(), block.data());

  EXPECT_EQ(block[0] | (block[1] << 8), 0x10000 - 3000) << "left's first sample, little-endian";
  EXPECT_EQ(block[4] | (block[5] << 8), 2500);
  EXPECT_LE(block[2], engine::kImaMaxStepIndex);
  EXPECT_EQ(block[3], 0);
  EXPECT_EQ(block[7], 0);
  // Bytes 8..11 and 16..19 belong to the left channel, 12..15 and 20..23 to
  // the right: every left code is positive, every right code negative.
  for (int i = 8; i < 24; ++i) {
    const bool left = ((i - 8) / 4) % 2 == 0;
    for (int code : {block[i] & 0x0F, block[i] >> 4}) {
      EXPECT_EQ((code & 8) != 0, !left) << "byte " << i;
    }
  }
}

TEST(ImaAdpcmEncoder, KeepsTonesAndMusicClear) {
  const std::vector<std::int16_t> tone = At16k(StereoTone(1000.0, 10000.0, 1.0, 16000, 16000.0), 1);
  const RoundTrip toneTrip = EncodeAndDecode(Layout(1, 4096), tone);
  ASSERT_TRUE(toneTrip.decodedAll);
  EXPECT_GT(SnrDb(tone, toneTrip.decoded, toneTrip.decoded.size()), 28.0);

  for (int channels : {1, 2}) {
    SCOPED_TRACE(channels);
    const std::vector<std::int16_t> music = At16k(MusicLike(16000 * 3, 16000.0), channels);
    const RoundTrip trip = EncodeAndDecode(Layout(channels, 4096 * channels), music);
    ASSERT_TRUE(trip.decodedAll);
    ASSERT_GT(trip.decoded.size(), music.size() / 2);
    EXPECT_GT(SnrDb(music, trip.decoded, trip.decoded.size()), 22.0);
    // The first block also starts without a burst of error.
    EXPECT_GT(SnrDb(music, trip.decoded, 64 * channels), 15.0);
  }
}

TEST(ImaAdpcmEncoder, SilenceAfterLoudAudioSettlesToExactZeros) {
  const ImaAdpcmLayout layout = Layout(1, 256);  // 505 samples a block
  std::vector<std::int16_t> samples = At16k(MusicLike(505, 16000.0), 1);
  for (auto& s : samples) s = static_cast<std::int16_t>(s * 4);
  samples.resize(505 * 3, 0);
  const RoundTrip trip = EncodeAndDecode(layout, samples);
  ASSERT_TRUE(trip.decodedAll);
  // The step shrinks by one index a silent sample, so the third block starts
  // at the smallest step and codes nothing but zeros.
  EXPECT_GT(trip.bytes[256 + 2], 0) << "the loud block left a large step behind";
  EXPECT_EQ(trip.bytes[512 + 2], 0);
  for (std::size_t i = 505 * 2; i < trip.decoded.size(); ++i) ASSERT_EQ(trip.decoded[i], 0) << i;
  for (std::size_t i = 512 + 4; i < trip.bytes.size(); ++i) ASSERT_EQ(trip.bytes[i], 0) << i;
  // Within the second block the decay reaches zero error well before its end.
  for (std::size_t i = 505 + 200; i < 505 * 2; ++i) ASSERT_LE(std::abs(trip.decoded[i]), 2) << i;
}

TEST(ImaAdpcmEncoder, FullScaleSquaresKeepTheStepIndexInRange) {
  const ImaAdpcmLayout layout = Layout(2, 1024);
  for (int halfPeriod : {1, 3, 20}) {
    SCOPED_TRACE(halfPeriod);
    std::vector<std::int16_t> square;
    for (int n = 0; n < 1017 * 4; ++n) {
      const std::int16_t value = (n / halfPeriod) % 2 ? -32768 : 32767;
      square.push_back(value);
      square.push_back(static_cast<std::int16_t>(-1 - value));  // right in opposition
    }
    const RoundTrip trip = EncodeAndDecode(layout, square);
    ASSERT_TRUE(trip.decodedAll) << "every header carries a valid step index";
    for (std::size_t block = 0; block < trip.bytes.size(); block += 1024) {
      EXPECT_LE(trip.bytes[block + 2], engine::kImaMaxStepIndex);
      EXPECT_LE(trip.bytes[block + 6], engine::kImaMaxStepIndex);
    }
    // Predictions clamp at full scale on both sides of the coder alike (a
    // drift between them would wreck what follows), and a plateau at either
    // rail is held exactly once the coder has caught up with the edge.
    for (std::size_t i = 0; i < trip.decoded.size(); ++i) {
      const int phase = static_cast<int>(i / 2) % halfPeriod;
      if (halfPeriod == 1) {
        ASSERT_EQ(trip.decoded[i] > 0, square[i] > 0) << i;
        ASSERT_LE(std::abs(trip.decoded[i] - square[i]), 4100) << i;
      } else if (i >= 2 * 1017 && phase >= std::min(halfPeriod - 1, 4)) {
        ASSERT_EQ(trip.decoded[i], square[i]) << i;
      }
    }
  }
}

}  // namespace
