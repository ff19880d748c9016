#pragma once
// Test signals and measurements for the audio codec tests.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace engine_signals {

constexpr double kPi = 3.14159265358979323846;

inline std::int16_t Clip(double value) {
  return static_cast<std::int16_t>(std::lround(std::fmin(std::fmax(value, -32768.0), 32767.0)));
}

// Interleaved stereo frames: left = amplitude * sin(2 pi f t), right scaled.
inline std::vector<std::int16_t> StereoTone(double frequency, double amplitude, double rightScale,
                                            std::size_t frames, double rate = 44100.0) {
  std::vector<std::int16_t> out(frames * 2);
  for (std::size_t n = 0; n < frames; ++n) {
    const double value = amplitude * std::sin(2.0 * kPi * frequency * static_cast<double>(n) / rate);
    out[2 * n] = Clip(value);
    out[2 * n + 1] = Clip(value * rightScale);
  }
  return out;
}

// Something like music: a few decaying notes with harmonics over low-passed
// noise, different in the two channels. Deterministic for a given seed.
inline std::vector<std::int16_t> MusicLike(std::size_t frames, double rate, unsigned seed = 7) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0.0, 1.0);
  std::vector<std::int16_t> out(frames * 2);
  const double notes[] = {220.0, 277.18, 329.63, 440.0, 554.37};
  double lowL = 0.0, lowR = 0.0;
  for (std::size_t n = 0; n < frames; ++n) {
    const double t = static_cast<double>(n) / rate;
    double left = 0.0, right = 0.0;
    for (int k = 0; k < 5; ++k) {
      const double start = 0.37 * k;
      const double since = std::fmod(t - start + 10.0, 1.85);
      const double envelope = std::exp(-3.0 * since);
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

// One channel of interleaved samples.
inline std::vector<double> Channel(const std::vector<std::int16_t>& samples, int channels,
                                   int channel) {
  std::vector<double> out;
  for (std::size_t i = channel; i < samples.size(); i += channels) out.push_back(samples[i]);
  return out;
}

// Signal-to-noise ratio in dB of `decoded` against `reference` over their
// common first `count` samples.
inline double SnrDb(const std::vector<std::int16_t>& reference,
                    const std::vector<std::int16_t>& decoded, std::size_t count) {
  double signal = 0.0, error = 0.0;
  for (std::size_t i = 0; i < count; ++i) {
    const double r = reference[i];
    signal += r * r;
    error += (decoded[i] - r) * (decoded[i] - r);
  }
  return error == 0.0 ? 200.0 : 10.0 * std::log10(signal / error);
}

// Least-squares fit of a sinusoid of known frequency over x[begin, end).
struct ToneFit {
  double amplitude = 0.0;
  double phase = 0.0;    // of a sine: value = amplitude * sin(w n + phase)
  double residualDb = 0; // power of the rest relative to the tone, in dB
};

inline ToneFit FitTone(const std::vector<double>& x, std::size_t begin, std::size_t end,
                       double frequency, double rate) {
  // Over whole periods sine and cosine are orthogonal.
  double s = 0.0, c = 0.0;
  const double w = 2.0 * kPi * frequency / rate;
  for (std::size_t n = begin; n < end; ++n) {
    s += x[n] * std::sin(w * static_cast<double>(n));
    c += x[n] * std::cos(w * static_cast<double>(n));
  }
  const double count = static_cast<double>(end - begin);
  const double a = 2.0 * s / count, b = 2.0 * c / count;
  ToneFit fit;
  fit.amplitude = std::hypot(a, b);
  fit.phase = std::atan2(b, a);
  double rest = 0.0;
  for (std::size_t n = begin; n < end; ++n) {
    const double model = a * std::sin(w * static_cast<double>(n)) + b * std::cos(w * static_cast<double>(n));
    rest += (x[n] - model) * (x[n] - model);
  }
  const double tone = fit.amplitude * fit.amplitude / 2.0 * count;
  fit.residualDb = 10.0 * std::log10(std::fmax(rest, 1e-9) / tone);
  return fit;
}

inline double RmsOf(const std::vector<double>& x, std::size_t begin, std::size_t end) {
  double sum = 0.0;
  for (std::size_t n = begin; n < end; ++n) sum += x[n] * x[n];
  return std::sqrt(sum / static_cast<double>(end - begin));
}

}  // namespace engine_signals
