#pragma once
// Streaming sample-rate conversion of CD audio (44100 Hz stereo) to 16000 Hz
// for the encoder: polyphase windowed-sinc low-pass with its pass band up to
// about 7 kHz and its stop band from 8 kHz, so nothing folds back below the
// new Nyquist frequency. Output does not depend on how the input is chunked.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mediaengine {

class Resampler {
 public:
  static constexpr int kInputRate = 44100;
  static constexpr int kOutputRate = 16000;

  // `outputChannels` is 2 (stereo kept) or 1 (left and right averaged).
  explicit Resampler(int outputChannels);

  int outputChannels() const { return outputChannels_; }

  // Takes interleaved 16-bit stereo frames and appends every output frame
  // (interleaved, outputChannels() samples each) that is complete so far.
  void Write(const std::int16_t* stereoFrames, std::size_t frameCount,
             std::vector<std::int16_t>* out);
  // Ends the stream: appends the remaining frames so that the total is
  // ceil(inputFrames * 16000 / 44100). Later writes are ignored.
  void Flush(std::vector<std::int16_t>* out);

  std::uint64_t inputFrames() const { return inputFrames_; }
  std::uint64_t outputFrames() const { return nextOutput_; }

 private:
  void Produce(std::uint64_t limit, std::vector<std::int16_t>* out);

  int outputChannels_;
  bool flushed_ = false;
  // Input history per output channel (mono holds the averaged signal).
  // history_[c][0] is input frame historyStart_ (negative at the start,
  // where the history is zero-padded).
  std::vector<float> history_[2];
  std::int64_t historyStart_;
  std::uint64_t inputFrames_ = 0;
  std::uint64_t nextOutput_ = 0;
};

}  // namespace mediaengine
