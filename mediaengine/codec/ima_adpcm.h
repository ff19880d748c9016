#pragma once
// IMA ADPCM (WAVE format tag 0x0011, 4 bits a sample) in the block layout of
// WAVE/ASF files: per channel a 4-byte header (first sample, step index,
// reserved 0), then 4-byte groups of 8 samples per channel, interleaved
// channel by channel, low nibble first.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mediaengine {

constexpr std::uint16_t kWaveFormatImaAdpcm = 0x0011;
constexpr int kImaMaxStepIndex = 88;

struct ImaAdpcmLayout {
  int channels = 1;
  int blockAlign = 0;  // bytes per block, every channel included

  // The header sample plus two samples per data byte of a channel.
  int SamplesPerBlock() const { return (blockAlign - 4 * channels) * 2 / channels + 1; }
  // One or two channels and a whole number of 8-sample groups per channel.
  bool Valid() const {
    return (channels == 1 || channels == 2) && blockAlign > 4 * channels &&
           (blockAlign - 4 * channels) % (4 * channels) == 0;
  }
  // WAVEFORMATEX nAvgBytesPerSec: the header bytes count as payload.
  std::uint32_t AvgBytesPerSecond(std::uint32_t sampleRate) const {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(sampleRate) * blockAlign /
                                      SamplesPerBlock());
  }
};

class ImaAdpcmEncoder {
 public:
  // `layout` must be Valid().
  explicit ImaAdpcmEncoder(const ImaAdpcmLayout& layout);

  const ImaAdpcmLayout& layout() const { return layout_; }

  // Encodes SamplesPerBlock() interleaved frames into layout().blockAlign
  // bytes. The step index carries over from block to block, as a decoder
  // adapts it, so that the next block starts with a fitting step.
  void EncodeBlock(const std::int16_t* frames, std::uint8_t* block);

 private:
  struct ChannelState {
    int predictor = 0;
    int stepIndex = 0;
  };
  std::uint8_t EncodeSample(ChannelState& state, int sample);

  ImaAdpcmLayout layout_;
  ChannelState state_[2];
  bool started_ = false;
};

// Decodes one block of `layout` into interleaved frames (replacing `frames`).
// False when the block has the wrong size or a header is damaged (step index
// above 88 or reserved byte not 0).
bool DecodeImaAdpcmBlock(const ImaAdpcmLayout& layout, const std::uint8_t* block,
                         std::size_t size, std::vector<std::int16_t>* frames);

}  // namespace mediaengine
