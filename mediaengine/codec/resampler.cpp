#include "mediaengine/codec/resampler.h"

#include <algorithm>
#include <cmath>

namespace mediaengine {
namespace {

// 16000 / 44100 reduced: an output frame n sits at input position n * 441 / 160.
constexpr int kUp = 160;
constexpr int kDown = 441;

// Kaiser-windowed sinc, half-amplitude at 7.5 kHz with a 1 kHz transition:
// flat to 7 kHz, about 80 dB down from 8 kHz on.
constexpr int kTaps = 224;
constexpr int kHalf = kTaps / 2;
constexpr double kCutoff = 7500.0 / Resampler::kInputRate;
constexpr double kKaiserBeta = 7.86;

// Bounds the history kept when a caller hands over a long stretch at once.
constexpr std::size_t kMaxChunk = 8192;
constexpr std::size_t kCompactThreshold = 16384;

constexpr double kPi = 3.14159265358979323846;

double BesselI0(double x) {
  double sum = 1.0;
  double term = 1.0;
  const double quarterSquare = x * x / 4.0;
  for (int k = 1; k < 64 && term > sum * 1e-17; ++k) {
    term *= quarterSquare / (static_cast<double>(k) * k);
    sum += term;
  }
  return sum;
}

// One row of kTaps coefficients per phase; each row sums to 1 so that a
// constant input stays exactly constant whatever the phase.
std::vector<float> MakeTaps() {
  std::vector<float> taps(static_cast<std::size_t>(kUp) * kTaps);
  const double windowNorm = BesselI0(kKaiserBeta);
  std::vector<double> row(kTaps);
  for (int phase = 0; phase < kUp; ++phase) {
    double sum = 0.0;
    for (int k = 0; k < kTaps; ++k) {
      // Distance from the output position to input frame (first + k).
      const double tau = static_cast<double>(phase) / kUp + (kHalf - 1) - k;
      const double ratio = tau / kHalf;
      const double window =
          std::fabs(ratio) >= 1.0 ? 0.0
                                  : BesselI0(kKaiserBeta * std::sqrt(1.0 - ratio * ratio)) / windowNorm;
      const double sinc = tau == 0.0 ? 2.0 * kCutoff
                                     : std::sin(2.0 * kPi * kCutoff * tau) / (kPi * tau);
      row[k] = sinc * window;
      sum += row[k];
    }
    for (int k = 0; k < kTaps; ++k) {
      taps[static_cast<std::size_t>(phase) * kTaps + k] = static_cast<float>(row[k] / sum);
    }
  }
  return taps;
}

const std::vector<float>& Taps() {
  static const std::vector<float> taps = MakeTaps();
  return taps;
}

// Four partial sums keep the pipeline busy; the order is fixed, so the result
// is the same for every chunking of the input.
float Dot(const float* a, const float* b) {
  float s0 = 0.0f, s1 = 0.0f, s2 = 0.0f, s3 = 0.0f;
  for (int k = 0; k < kTaps; k += 4) {
    s0 += a[k] * b[k];
    s1 += a[k + 1] * b[k + 1];
    s2 += a[k + 2] * b[k + 2];
    s3 += a[k + 3] * b[k + 3];
  }
  return (s0 + s1) + (s2 + s3);
}

std::int16_t ToSample(float value) {
  // The filter overshoots on full-scale edges: clip rather than wrap.
  const float clipped = std::min(std::max(value, -32768.0f), 32767.0f);
  return static_cast<std::int16_t>(std::lrint(clipped));
}

}  // namespace

static_assert(kTaps % 4 == 0, "Dot works in groups of four");

Resampler::Resampler(int outputChannels)
    : outputChannels_(outputChannels == 1 ? 1 : 2), historyStart_(-(kHalf - 1)) {
  // Input before the first frame counts as silence.
  for (int c = 0; c < outputChannels_; ++c) history_[c].assign(kHalf - 1, 0.0f);
}

void Resampler::Write(const std::int16_t* stereoFrames, std::size_t frameCount,
                      std::vector<std::int16_t>* out) {
  if (flushed_) return;
  while (frameCount > 0) {
    const std::size_t count = std::min(frameCount, kMaxChunk);
    if (outputChannels_ == 1) {
      for (std::size_t f = 0; f < count; ++f) {
        history_[0].push_back((static_cast<float>(stereoFrames[2 * f]) +
                               static_cast<float>(stereoFrames[2 * f + 1])) * 0.5f);
      }
    } else {
      for (std::size_t f = 0; f < count; ++f) {
        history_[0].push_back(static_cast<float>(stereoFrames[2 * f]));
        history_[1].push_back(static_cast<float>(stereoFrames[2 * f + 1]));
      }
    }
    inputFrames_ += count;
    stereoFrames += 2 * count;
    frameCount -= count;
    Produce(UINT64_MAX, out);
  }
}

void Resampler::Flush(std::vector<std::int16_t>* out) {
  if (flushed_) return;
  flushed_ = true;
  // The last output frame sits before the last input frame; kHalf frames of
  // silence cover the right half of its filter.
  for (int c = 0; c < outputChannels_; ++c) history_[c].resize(history_[c].size() + kHalf, 0.0f);
  const std::uint64_t total = (inputFrames_ * kUp + kDown - 1) / kDown;
  Produce(total, out);
}

void Resampler::Produce(std::uint64_t limit, std::vector<std::int16_t>* out) {
  const std::vector<float>& taps = Taps();
  const std::int64_t available = historyStart_ + static_cast<std::int64_t>(history_[0].size());
  while (nextOutput_ < limit) {
    const std::uint64_t position = nextOutput_ * kDown;
    const std::int64_t first = static_cast<std::int64_t>(position / kUp) - (kHalf - 1);
    if (first + kTaps > available) break;
    const float* row = &taps[static_cast<std::size_t>(position % kUp) * kTaps];
    const std::size_t offset = static_cast<std::size_t>(first - historyStart_);
    for (int c = 0; c < outputChannels_; ++c) {
      out->push_back(ToSample(Dot(history_[c].data() + offset, row)));
    }
    ++nextOutput_;
  }
  // Forget the input that no later output frame reaches.
  const std::int64_t needed =
      static_cast<std::int64_t>(nextOutput_ * kDown / kUp) - (kHalf - 1);
  const std::int64_t stale = needed - historyStart_;
  if (stale >= static_cast<std::int64_t>(kCompactThreshold)) {
    for (int c = 0; c < outputChannels_; ++c) {
      history_[c].erase(history_[c].begin(), history_[c].begin() + stale);
    }
    historyStart_ = needed;
  }
}

}  // namespace mediaengine
