#include "mediaengine/codec/ima_adpcm.h"

#include <algorithm>
#include <cstdlib>

namespace mediaengine {
namespace {

constexpr int kStepSizes[kImaMaxStepIndex + 1] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

constexpr int kIndexAdjust[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

// The difference a code's magnitude bits stand for, computed bit by bit the
// way decoders do (not (2m+1)*step/8, which rounds differently).
int DeltaOf(int step, int magnitude) {
  int delta = step >> 3;
  if (magnitude & 4) delta += step;
  if (magnitude & 2) delta += step >> 1;
  if (magnitude & 1) delta += step >> 2;
  return delta;
}

// The first block has no history: start with a step that fits its first
// difference instead of creeping up from the smallest one (audible as a click).
int StepIndexFor(int difference) {
  int index = 0;
  while (index < kImaMaxStepIndex && kStepSizes[index] < difference) ++index;
  return index;
}

int Clamp16(int value) { return std::min(std::max(value, -32768), 32767); }

int NextStepIndex(int index, int code) {
  return std::min(std::max(index + kIndexAdjust[code & 7], 0), kImaMaxStepIndex);
}

int Decode(int& predictor, int& stepIndex, int code) {
  const int delta = DeltaOf(kStepSizes[stepIndex], code & 7);
  predictor = Clamp16((code & 8) ? predictor - delta : predictor + delta);
  stepIndex = NextStepIndex(stepIndex, code);
  return predictor;
}

void PutHeader(std::uint8_t* out, int sample, int stepIndex) {
  const auto bits = static_cast<std::uint16_t>(static_cast<std::int16_t>(sample));
  out[0] = static_cast<std::uint8_t>(bits & 0xFF);
  out[1] = static_cast<std::uint8_t>(bits >> 8);
  out[2] = static_cast<std::uint8_t>(stepIndex);
  out[3] = 0;
}

}  // namespace

ImaAdpcmEncoder::ImaAdpcmEncoder(const ImaAdpcmLayout& layout) : layout_(layout) {}

// Picks the code whose reconstruction, clamped as a decoder clamps it, lands
// nearest the sample; then moves the state exactly as a decoder will.
std::uint8_t ImaAdpcmEncoder::EncodeSample(ChannelState& state, int sample) {
  const int step = kStepSizes[state.stepIndex];
  const int diff = sample - state.predictor;
  const int sign = diff < 0 ? 8 : 0;
  const int target = std::abs(diff);
  const auto errorOf = [&](int code) {
    const int delta = DeltaOf(step, code & 7);
    return std::abs(sample - Clamp16((code & 8) ? state.predictor - delta : state.predictor + delta));
  };
  int best = sign;
  int bestError = errorOf(best);
  for (int magnitude = 1; magnitude < 8; ++magnitude) {
    const int error = errorOf(sign | magnitude);
    if (error < bestError) {
      bestError = error;
      best = sign | magnitude;
    }
    if (DeltaOf(step, magnitude) >= target) break;  // larger codes only move further away
  }
  // Even the smallest code moves the prediction by step/8; at full scale the
  // other direction can be exact because the decoder clamps there.
  if (errorOf(sign ^ 8) < bestError) best = sign ^ 8;
  Decode(state.predictor, state.stepIndex, best);
  return static_cast<std::uint8_t>(best);
}

void ImaAdpcmEncoder::EncodeBlock(const std::int16_t* frames, std::uint8_t* block) {
  const int channels = layout_.channels;
  const int samples = layout_.SamplesPerBlock();
  for (int c = 0; c < channels; ++c) {
    ChannelState& state = state_[c];
    if (!started_) state.stepIndex = StepIndexFor(std::abs(frames[channels + c] - frames[c]));
    state.predictor = frames[c];
    PutHeader(block + 4 * c, state.predictor, state.stepIndex);
  }
  std::uint8_t* out = block + 4 * channels;
  // Groups of 8 samples: channel 0's 4 bytes, then channel 1's.
  for (int first = 1; first < samples; first += 8) {
    for (int c = 0; c < channels; ++c) {
      ChannelState& state = state_[c];
      for (int pair = 0; pair < 4; ++pair) {
        const int index = first + 2 * pair;
        const std::uint8_t low = EncodeSample(state, frames[index * channels + c]);
        const std::uint8_t high = EncodeSample(state, frames[(index + 1) * channels + c]);
        *out++ = static_cast<std::uint8_t>(low | (high << 4));
      }
    }
  }
  started_ = true;
}

bool DecodeImaAdpcmBlock(const ImaAdpcmLayout& layout, const std::uint8_t* block,
                         std::size_t size, std::vector<std::int16_t>* frames) {
  if (!layout.Valid() || size != static_cast<std::size_t>(layout.blockAlign)) return false;
  const int channels = layout.channels;
  const int samples = layout.SamplesPerBlock();
  int predictor[2] = {0, 0};
  int stepIndex[2] = {0, 0};
  for (int c = 0; c < channels; ++c) {
    const std::uint8_t* header = block + 4 * c;
    predictor[c] = static_cast<std::int16_t>(header[0] | (header[1] << 8));
    stepIndex[c] = header[2];
    if (stepIndex[c] > kImaMaxStepIndex || header[3] != 0) return false;
  }
  frames->assign(static_cast<std::size_t>(samples) * channels, 0);
  for (int c = 0; c < channels; ++c) (*frames)[c] = static_cast<std::int16_t>(predictor[c]);
  const std::uint8_t* in = block + 4 * channels;
  for (int first = 1; first < samples; first += 8) {
    for (int c = 0; c < channels; ++c) {
      for (int pair = 0; pair < 4; ++pair) {
        const int index = first + 2 * pair;
        const std::uint8_t byte = *in++;
        (*frames)[index * channels + c] =
            static_cast<std::int16_t>(Decode(predictor[c], stepIndex[c], byte & 0x0F));
        (*frames)[(index + 1) * channels + c] =
            static_cast<std::int16_t>(Decode(predictor[c], stepIndex[c], byte >> 4));
      }
    }
  }
  return true;
}

}  // namespace mediaengine
