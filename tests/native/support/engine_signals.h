#pragma once
// Test signals and measurements for the audio codec tests.
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace engine_signals {

constexpr double kPi = 3.14159265358979323846;

inline std::int16_t Clip(double v) {
  return static_cast<std::int16_t>(std::lround(std::fmin(std::fmax(v, -32768.0), 32767.0)));
}

// Interleaved stereo: left = amplitude * sin(2 pi f t), right = left * rightScale.
inline std::vector<std::int16_t> StereoTone(double frequency, double amplitude, double rightScale,
                                            std::size_t frames, double rate = 44100.0) {
  std::vector<std::int16_t> out(frames * 2);
  for (std::size_t n = 0; n < frames; ++n) {
    const double v = amplitude * std::sin(2.0 * kPi * frequency * static_cast<double>(n) / rate);
    out[2 * n] = Clip(v);
    out[2 * n + 1] = Clip(v * rightScale);
  }
  return out;
}

// Something like music, different in the two channels: decaying notes with
// harmonics over low-passed noise. Deterministic.
inline std::vector<std::int16_t> MusicLike(std::size_t frames, double rate) {
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0.0, 1.0);
  std::vector<std::int16_t> out(frames * 2);
  const double notes[] = {220.0, 277.18, 329.63, 440.0, 554.37};
  double lowL = 0.0, lowR = 0.0;
  for (std::size_t n = 0; n < frames; ++n) {
    const double t = static_cast<double>(n) / rate;
    double left = 0.0, right = 0.0;
    for (int k = 0; k < 5; ++k) {
      const double envelope = std::exp(-3.0 * std::fmod(t + 10.0 - 0.37 * k, 1.85));
      for (int h = 1; h <= 4; ++h) {
        const double partial = envelope / h * std::sin(2.0 * kPi * notes[k] * h * t + k);
        left += (k % 2 ? 0.6 : 1.0) * partial;
        right += (k % 2 ? 1.0 : 0.6) * partial;
      }
    }
    lowL += 0.2 * (noise(random) - lowL);
    lowR += 0.2 * (noise(random) - lowR);
    out[2 * n] = Clip(4000.0 * left + 1500.0 * lowL);
    out[2 * n + 1] = Clip(4000.0 * right + 1500.0 * lowR);
  }
  return out;
}

// Signal-to-noise ratio in dB of `decoded` against the first `count` samples
// of `reference`.
inline double SnrDb(const std::vector<std::int16_t>& reference,
                    const std::vector<std::int16_t>& decoded, std::size_t count) {
  double signal = 0.0, error = 0.0;
  for (std::size_t i = 0; i < count; ++i) {
    signal += static_cast<double>(reference[i]) * reference[i];
    error += (static_cast<double>(decoded[i]) - reference[i]) * (static_cast<double>(decoded[i]) - reference[i]);
  }
  return error == 0.0 ? 200.0 : 10.0 * std::log10(signal / error);
}

// Least-squares fit of a sine of known frequency to channel `channel` of
// interleaved samples, over frames [begin, end) holding whole periods.
struct ToneFit {
  double amplitude = 0.0;
  double phase = 0.0;       // value = amplitude * sin(w n + phase)
  double residualDb = 0.0;  // everything else, relative to the tone
};

inline ToneFit FitTone(const std::vector<std::int16_t>& x, int channels, int channel,
                       std::size_t begin, std::size_t end, double frequency, double rate) {
  const double w = 2.0 * kPi * frequency / rate;
  const auto at = [&](std::size_t n) { return static_cast<double>(x[n * channels + channel]); };
  double s = 0.0, c = 0.0;
  for (std::size_t n = begin; n < end; ++n) {
    s += at(n) * std::sin(w * static_cast<double>(n));
    c += at(n) * std::cos(w * static_cast<double>(n));
  }
  const double count = static_cast<double>(end - begin);
  const double a = 2.0 * s / count, b = 2.0 * c / count;
  double rest = 0.0;
  for (std::size_t n = begin; n < end; ++n) {
    const double e = at(n) - a * std::sin(w * static_cast<double>(n)) - b * std::cos(w * static_cast<double>(n));
    rest += e * e;
  }
  ToneFit fit;
  fit.amplitude = std::hypot(a, b);
  fit.phase = std::atan2(b, a);
  fit.residualDb = 10.0 * std::log10(std::fmax(rest, 1e-9) / (fit.amplitude * fit.amplitude / 2.0 * count));
  return fit;
}

// The lag in frames, up to `maxLag`, at which stereo `decoded` best matches
// `reference` (a decoder's delay), judged on frames [begin, begin + span).
inline std::size_t BestLag(const std::vector<std::int16_t>& reference,
                           const std::vector<std::int16_t>& decoded, std::size_t begin,
                           std::size_t span, std::size_t maxLag) {
  std::size_t best = 0;
  double bestError = -1.0;
  for (std::size_t lag = 0; lag <= maxLag; ++lag) {
    if (2 * (begin + span) > reference.size() || 2 * (begin + span + lag) > decoded.size()) break;
    double error = 0.0;
    for (std::size_t i = 2 * begin; i < 2 * (begin + span); ++i) {
      const double d = static_cast<double>(decoded[i + 2 * lag]) - reference[i];
      error += d * d;
    }
    if (bestError < 0.0 || error < bestError) {
      bestError = error;
      best = lag;
    }
  }
  return best;
}

}  // namespace engine_signals
