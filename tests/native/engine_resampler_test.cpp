// 44.1 kHz to 16 kHz conversion: pass band kept in level and timing, stop
// band removed, output independent of how the input arrives.
#include <gtest/gtest.h>

#include <random>

#include "codec/resampler.h"
#include "native/engine_signals.h"

namespace {

using engine::Resampler;
using namespace engine_signals;

std::vector<std::int16_t> ResampleAll(const std::vector<std::int16_t>& stereo, int channels) {
  Resampler resampler(channels);
  std::vector<std::int16_t> out;
  resampler.Write(stereo.data(), stereo.size() / 2, &out);
  resampler.Flush(&out);
  return out;
}

// Whole 1 kHz periods (16 output samples each), away from the start and end.
constexpr std::size_t kFitBegin = 1600;
constexpr std::size_t kFitEnd = kFitBegin + 16000;

TEST(Resampler, ToneKeepsLevelFrequencyAndTiming) {
  const std::vector<std::int16_t> input = StereoTone(1000.0, 10000.0, 0.5, 44100 * 3 / 2);
  const std::vector<std::int16_t> stereo = ResampleAll(input, 2);
  for (int channel = 0; channel < 2; ++channel) {
    SCOPED_TRACE(channel);
    const ToneFit fit = FitTone(Channel(stereo, 2, channel), kFitBegin, kFitEnd, 1000.0, 16000.0);
    EXPECT_NEAR(fit.amplitude, channel == 0 ? 10000.0 : 5000.0, 0.001 * fit.amplitude);
    // A sine that starts at t = 0 still starts at output frame 0: any delay
    // (even one input frame, 0.14 rad here) shows as a phase error.
    EXPECT_NEAR(fit.phase, 0.0, 0.002);
    EXPECT_LT(fit.residualDb, -70.0) << "a pure 1 kHz tone with nothing else in it";
  }

  // Mono is the average of the channels, not their sum or the left one.
  const std::vector<std::int16_t> mono = ResampleAll(input, 1);
  ASSERT_EQ(mono.size() * 2, stereo.size());
  const ToneFit fit = FitTone(Channel(mono, 1, 0), kFitBegin, kFitEnd, 1000.0, 16000.0);
  EXPECT_NEAR(fit.amplitude, 7500.0, 8.0);
  EXPECT_LT(fit.residualDb, -70.0);
}

TEST(Resampler, PassesTheBandBelowSevenKilohertz) {
  for (double frequency : {100.0, 3000.0, 6000.0, 7000.0}) {
    SCOPED_TRACE(frequency);
    const std::vector<std::int16_t> out = ResampleAll(StereoTone(frequency, 16000.0, 1.0, 44100), 1);
    const std::vector<double> x = Channel(out, 1, 0);
    // 2000 output frames hold whole periods of each of these tones.
    const ToneFit fit = FitTone(x, 4000, 12000, frequency, 16000.0);
    EXPECT_NEAR(fit.amplitude, 16000.0, 16000.0 * 0.005);
  }
}

TEST(Resampler, RemovesWhatWouldFoldBackBelowEightKilohertz) {
  // Without filtering, 12 kHz would come out as a 4 kHz tone of full level.
  for (double frequency : {8500.0, 10000.0, 12000.0, 20000.0}) {
    SCOPED_TRACE(frequency);
    const std::vector<std::int16_t> out = ResampleAll(StereoTone(frequency, 20000.0, 1.0, 44100), 2);
    const double rms = RmsOf(Channel(out, 2, 0), 1000, 15000);
    EXPECT_LT(20.0 * std::log10(rms / (20000.0 / std::sqrt(2.0))), -60.0);
  }
}

TEST(Resampler, ChunkedInputGivesExactlyTheOneShotOutput) {
  const std::size_t frames = 100000;
  const std::vector<std::int16_t> input = MusicLike(frames, 44100.0);
  std::mt19937 random(3);
  std::uniform_int_distribution<std::size_t> sizes(0, 3000);
  for (int channels : {1, 2}) {
    SCOPED_TRACE(channels);
    const std::vector<std::int16_t> whole = ResampleAll(input, channels);
    // ceil(100000 * 160 / 441) frames: the output lasts as long as the input.
    EXPECT_EQ(whole.size(), 36282u * channels);

    Resampler resampler(channels);
    std::vector<std::int16_t> chunked;
    std::size_t done = 0;
    while (done < frames) {
      const std::size_t count = std::min(frames - done, sizes(random) % 4 == 0 ? 1 : sizes(random));
      resampler.Write(input.data() + 2 * done, count, &chunked);
      done += count;
    }
    resampler.Flush(&chunked);
    EXPECT_EQ(chunked, whole);
    EXPECT_EQ(resampler.inputFrames(), frames);
    EXPECT_EQ(resampler.outputFrames() * channels, whole.size());
  }
}

TEST(Resampler, ShortInputsStillEndWithTheirLength) {
  for (std::size_t frames : {0u, 1u, 2u, 3u, 441u, 442u}) {
    SCOPED_TRACE(frames);
    const std::vector<std::int16_t> out = ResampleAll(std::vector<std::int16_t>(frames * 2, 1000), 2);
    EXPECT_EQ(out.size() / 2, (frames * 160 + 440) / 441);
  }
}

TEST(Resampler, ConstantStaysExactAndFullScaleEdgesClipInsteadOfWrapping) {
  const std::vector<std::int16_t> flat = ResampleAll(std::vector<std::int16_t>(2 * 20000, -12345), 2);
  for (std::size_t i = 400; i < flat.size() - 400; ++i) ASSERT_EQ(flat[i], -12345) << i;

  // A full-scale 500 Hz square wave: the filter rings past full scale next
  // to each edge, which must saturate, never turn into the opposite sign.
  std::vector<std::int16_t> square(2 * 44100);
  for (std::size_t n = 0; n < 44100; ++n) {
    square[2 * n] = square[2 * n + 1] = (n / 44) % 2 == 0 ? 32767 : -32768;
  }
  const std::vector<std::int16_t> out = ResampleAll(square, 1);
  int clipped = 0;
  for (std::size_t n = 32; n + 32 < out.size(); ++n) {
    const double input = static_cast<double>(n) * 441.0 / 160.0;  // input position
    const double sinceEdge = std::fmod(input, 44.0);
    if (sinceEdge < 5.0 || sinceEdge > 39.0) continue;  // within 0.1 ms of an edge
    const bool high = static_cast<long>(input / 44.0) % 2 == 0;
    ASSERT_EQ(out[n] > 0, high) << "output frame " << n << " = " << out[n];
    if (out[n] == 32767 || out[n] == -32768) ++clipped;
  }
  EXPECT_GT(clipped, 0) << "the overshoot should have reached full scale";
}

}  // namespace
