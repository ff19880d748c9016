// IMA ADPCM blocks: the byte layout readers expect, the quality of the
// encoder, and its step index at the extremes.
#include <gtest/gtest.h>

#include "mediaengine/codec/ima_adpcm.h"
#include "native/engine_signals.h"

namespace {

using mediaengine::DecodeImaAdpcmBlock;
using mediaengine::ImaAdpcmEncoder;
using mediaengine::ImaAdpcmLayout;
using engine_signals::MusicLike;
using engine_signals::SnrDb;

ImaAdpcmLayout Layout(int channels, int blockAlign) {
  ImaAdpcmLayout layout;
  layout.channels = channels;
  layout.blockAlign = blockAlign;
  return layout;
}

// Encodes the whole blocks of interleaved `samples` and decodes them again.
struct RoundTrip {
  std::vector<std::uint8_t> bytes;
  std::vector<std::int16_t> decoded;
};

RoundTrip EncodeAndDecode(const ImaAdpcmLayout& layout, const std::vector<std::int16_t>& samples) {
  const std::size_t blockSamples = static_cast<std::size_t>(layout.SamplesPerBlock()) * layout.channels;
  ImaAdpcmEncoder encoder(layout);
  RoundTrip trip;
  for (std::size_t first = 0; first + blockSamples <= samples.size(); first += blockSamples) {
    std::vector<std::uint8_t> block(layout.blockAlign);
    std::vector<std::int16_t> frames;
    encoder.EncodeBlock(samples.data() + first, block.data());
    EXPECT_TRUE(DecodeImaAdpcmBlock(layout, block.data(), block.size(), &frames));
    trip.bytes.insert(trip.bytes.end(), block.begin(), block.end());
    trip.decoded.insert(trip.decoded.end(), frames.begin(), frames.end());
  }
  return trip;
}

std::vector<std::int16_t> Channels(const std::vector<std::int16_t>& stereo, int channels) {
  if (channels == 2) return stereo;
  std::vector<std::int16_t> left;
  for (std::size_t i = 0; i < stereo.size(); i += 2) left.push_back(stereo[i]);
  return left;
}

TEST(ImaAdpcmLayout, CountsSamplesAndRefusesPartialGroups) {
  EXPECT_EQ(Layout(1, 256).SamplesPerBlock(), 505);
  EXPECT_EQ(Layout(2, 1024).SamplesPerBlock(), 1017);
  EXPECT_EQ(Layout(2, 8192).SamplesPerBlock(), 8185);
  EXPECT_EQ(Layout(2, 2048).AvgBytesPerSecond(16000), 16054u) << "header bytes are paid for";
  EXPECT_TRUE(Layout(2, 16).Valid());
  EXPECT_FALSE(Layout(1, 4).Valid()) << "a header without samples";
  EXPECT_FALSE(Layout(1, 1026).Valid()) << "half a group";
  EXPECT_FALSE(Layout(2, 2052).Valid()) << "a group for one channel only";
}

TEST(ImaAdpcm, DecodesAndEncodesHandMadeBlocks) {
  // Mono: 1000 at step index 0, then codes 4 C 7 0 8 F 1 2, low nibble first.
  const std::vector<std::uint8_t> mono = {0xE8, 0x03, 0x00, 0x00, 0xC4, 0x07, 0xF8, 0x21};
  const std::vector<std::int16_t> monoFrames = {1000, 1007, 997, 1016, 1018, 1016, 982, 997, 1019};
  // Stereo, two groups a channel: both headers, then left, right, left,
  // right, 4 bytes each. Left climbs with code 4, right falls with code C.
  std::vector<std::uint8_t> stereo(8, 0);
  for (int group = 0; group < 4; ++group) stereo.insert(stereo.end(), 4, group % 2 ? 0xCC : 0x44);
  std::vector<std::int16_t> stereoFrames;
  for (int v : {0, 7, 17, 29, 43, 61, 82, 107, 138, 176, 222, 278, 345, 427, 526, 646, 792}) {
    stereoFrames.push_back(static_cast<std::int16_t>(v));
    stereoFrames.push_back(static_cast<std::int16_t>(-v));
  }
  const struct { ImaAdpcmLayout layout; std::vector<std::uint8_t> bytes; std::vector<std::int16_t> frames; } blocks[] = {
      {Layout(1, 8), mono, monoFrames}, {Layout(2, 24), stereo, stereoFrames}};
  for (const auto& block : blocks) {
    SCOPED_TRACE(block.layout.channels);
    std::vector<std::int16_t> frames;
    ASSERT_TRUE(DecodeImaAdpcmBlock(block.layout, block.bytes.data(), block.bytes.size(), &frames));
    EXPECT_EQ(frames, block.frames);
    // Every sample is reachable exactly, so a nearest-code encoder must find
    // these very codes and lay them out the same way.
    std::vector<std::uint8_t> encoded(block.bytes.size());
    ImaAdpcmEncoder(block.layout).EncodeBlock(block.frames.data(), encoded.data());
    EXPECT_EQ(encoded, block.bytes);
  }

  std::vector<std::uint8_t> damaged = mono;
  std::vector<std::int16_t> frames;
  EXPECT_FALSE(DecodeImaAdpcmBlock(Layout(1, 8), damaged.data(), 7, &frames)) << "short block";
  damaged[2] = 89;
  EXPECT_FALSE(DecodeImaAdpcmBlock(Layout(1, 8), damaged.data(), 8, &frames)) << "step index past the table";
  damaged[2] = 0;
  damaged[3] = 1;
  EXPECT_FALSE(DecodeImaAdpcmBlock(Layout(1, 8), damaged.data(), 8, &frames)) << "reserved byte set";
}

TEST(ImaAdpcmEncoder, KeepsTonesAndMusicClear) {
  const std::vector<std::int16_t> tone =
      Channels(engine_signals::StereoTone(1000.0, 10000.0, 1.0, 16000, 16000.0), 1);
  const RoundTrip toneTrip = EncodeAndDecode(Layout(1, 4096), tone);
  EXPECT_GT(SnrDb(tone, toneTrip.decoded, toneTrip.decoded.size()), 27.0);
  for (int channels : {1, 2}) {
    SCOPED_TRACE(channels);
    const std::vector<std::int16_t> music = Channels(MusicLike(16000 * 3, 16000.0), channels);
    const RoundTrip trip = EncodeAndDecode(Layout(channels, 4096 * channels), music);
    ASSERT_GT(trip.decoded.size(), music.size() / 2);
    EXPECT_GT(SnrDb(music, trip.decoded, trip.decoded.size()), 22.0);
    EXPECT_GT(SnrDb(music, trip.decoded, 64 * channels), 15.0) << "no burst while the first step adapts";
  }
}

TEST(ImaAdpcmEncoder, SilenceAfterLoudAudioSettlesToExactZeros) {
  std::vector<std::int16_t> samples = Channels(MusicLike(505, 16000.0), 1);
  for (auto& s : samples) s = engine_signals::Clip(s * 4.0);
  samples.resize(505 * 3, 0);
  const RoundTrip trip = EncodeAndDecode(Layout(1, 256), samples);
  // The step shrinks by one index a silent sample, so the third block starts
  // at the smallest step and holds nothing but zeros.
  EXPECT_GT(trip.bytes[256 + 2], 0) << "the loud block left a large step behind";
  for (std::size_t i = 512; i < trip.bytes.size(); ++i) ASSERT_EQ(trip.bytes[i], 0) << i;
  for (std::size_t i = 505 + 200; i < trip.decoded.size(); ++i) ASSERT_LE(std::abs(trip.decoded[i]), 2) << i;
}

TEST(ImaAdpcmEncoder, FullScaleSquaresKeepTheStepIndexInRange) {
  for (int halfPeriod : {1, 3, 20}) {
    SCOPED_TRACE(halfPeriod);
    std::vector<std::int16_t> square;
    for (int n = 0; n < 1017 * 4; ++n) {
      const std::int16_t value = (n / halfPeriod) % 2 ? -32768 : 32767;
      square.push_back(value);
      square.push_back(static_cast<std::int16_t>(-1 - value));  // right in opposition
    }
    const RoundTrip trip = EncodeAndDecode(Layout(2, 1024), square);
    for (std::size_t block = 0; block < trip.bytes.size(); block += 1024) {
      EXPECT_LE(trip.bytes[block + 2], mediaengine::kImaMaxStepIndex);
      EXPECT_LE(trip.bytes[block + 6], mediaengine::kImaMaxStepIndex);
    }
    // Both sides clamp predictions at full scale alike (a drift between them
    // would wreck what follows), and a plateau at either rail is held
    // exactly once the coder has caught up with the edge.
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
