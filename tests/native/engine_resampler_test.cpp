// 44.1 kHz to 16 kHz conversion: pass band kept in level and timing, stop
// band removed, output independent of how the input arrives.
#include <gtest/gtest.h>

#include "mediaengine/codec/resampler.h"
#include "native/engine_signals.h"

namespace {

using mediaengine::Resampler;
using namespace engine_signals;

std::vector<std::int16_t> ResampleAll(const std::vector<std::int16_t>& stereo, int channels) {
  Resampler resampler(channels);
  std::vector<std::int16_t> out;
  resampler.Write(stereo.data(), stereo.size() / 2, &out);
  resampler.Flush(&out);
  return out;
}

TEST(Resampler, ToneKeepsLevelFrequencyAndTiming) {
  const std::vector<std::int16_t> input = StereoTone(1000.0, 10000.0, 0.5, 66150);
  const std::vector<std::int16_t> stereo = ResampleAll(input, 2);
  const std::vector<std::int16_t> mono = ResampleAll(input, 1);
  ASSERT_EQ(mono.size() * 2, stereo.size());
  // Mono is the average of the channels, not their sum or the left one.
  const struct { const std::vector<std::int16_t>* out; int channels, channel; double amplitude; } cases[] = {
      {&stereo, 2, 0, 10000.0}, {&stereo, 2, 1, 5000.0}, {&mono, 1, 0, 7500.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.amplitude);
    // 1000 whole periods of 16 output frames, away from both ends.
    const ToneFit fit = FitTone(*c.out, c.channels, c.channel, 1600, 17600, 1000.0, 16000.0);
    EXPECT_NEAR(fit.amplitude, c.amplitude, 0.001 * c.amplitude);
    // A sine starting at t = 0 still starts at output frame 0: a delay of
    // even one input frame would show as 0.14 rad.
    EXPECT_NEAR(fit.phase, 0.0, 0.002);
    EXPECT_LT(fit.residualDb, -70.0) << "a pure 1 kHz tone with nothing else in it";
  }
}

TEST(Resampler, PassesBelowSevenKilohertzAndStopsFromEight) {
  // Unfiltered, 12 kHz would fold back as a full-level 4 kHz tone.
  const struct { double frequency, minDb, maxDb; } cases[] = {
      {100.0, -0.05, 0.05}, {3000.0, -0.05, 0.05}, {7000.0, -0.05, 0.05},
      {8500.0, -HUGE_VAL, -60.0}, {12000.0, -HUGE_VAL, -60.0}, {20000.0, -HUGE_VAL, -60.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.frequency);
    const std::vector<std::int16_t> out = ResampleAll(StereoTone(c.frequency, 16000.0, 1.0, 44100), 1);
    // Half a second away from the ends: whole periods of each tone or alias.
    double power = 0.0;
    for (std::size_t n = 4000; n < 12000; ++n) power += static_cast<double>(out[n]) * out[n];
    const double gainDb = 10.0 * std::log10(power / 8000.0 * 2.0 / (16000.0 * 16000.0));
    EXPECT_GE(gainDb, c.minDb);
    EXPECT_LE(gainDb, c.maxDb);
  }
}

TEST(Resampler, ChunkedInputGivesExactlyTheOneShotOutput) {
  const std::size_t frames = 100000;
  const std::vector<std::int16_t> input = MusicLike(frames, 44100.0);
  std::mt19937 random(3);
  for (int channels : {1, 2}) {
    SCOPED_TRACE(channels);
    const std::vector<std::int16_t> whole = ResampleAll(input, channels);
    EXPECT_EQ(whole.size(), 36282u * channels) << "ceil(100000 * 160 / 441): as long as the input";
    Resampler resampler(channels);
    std::vector<std::int16_t> chunked;
    for (std::size_t done = 0, count = 0; done < frames; done += count) {
      count = std::min<std::size_t>(frames - done, random() % 4 == 0 ? random() % 2 : random() % 3000);
      resampler.Write(input.data() + 2 * done, count, &chunked);
    }
    resampler.Flush(&chunked);
    EXPECT_EQ(chunked, whole);
  }
  for (std::size_t few : {0u, 1u, 441u, 442u}) {
    EXPECT_EQ(ResampleAll(std::vector<std::int16_t>(few * 2, 99), 2).size() / 2, (few * 160 + 440) / 441);
  }
}

TEST(Resampler, ConstantStaysExactAndFullScaleEdgesClipInsteadOfWrapping) {
  const std::vector<std::int16_t> flat = ResampleAll(std::vector<std::int16_t>(2 * 20000, -12345), 2);
  for (std::size_t i = 400; i < flat.size() - 400; ++i) ASSERT_EQ(flat[i], -12345) << i;

  // A full-scale square wave (44 input frames high, 44 low) rings past full
  // scale next to each edge: that must saturate, never flip sign.
  std::vector<std::int16_t> square(2 * 44100);
  for (std::size_t n = 0; n < square.size(); ++n) square[n] = (n / 88) % 2 == 0 ? 32767 : -32768;
  const std::vector<std::int16_t> out = ResampleAll(square, 1);
  int clipped = 0;
  for (std::size_t n = 32; n + 32 < out.size(); ++n) {
    const double input = static_cast<double>(n) * 441.0 / 160.0;
    const double sinceEdge = std::fmod(input, 44.0);
    if (sinceEdge < 5.0 || sinceEdge > 39.0) continue;  // within 0.1 ms of an edge
    ASSERT_EQ(out[n] > 0, static_cast<long>(input / 44.0) % 2 == 0) << n << ": " << out[n];
    clipped += out[n] == 32767 || out[n] == -32768;
  }
  EXPECT_GT(clipped, 0) << "the overshoot should have reached full scale";
}

}  // namespace
