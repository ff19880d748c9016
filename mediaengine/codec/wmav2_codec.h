#pragma once
// Windows Media Audio 2 through libavcodec's wmav2 encoder: one fixed-size
// frame of 16-bit stereo CD audio in, one coded block of a fixed size out.
// Each instance is independent, so tracks can be coded on several threads.
//
// The encoder overlaps each frame with the one before it and keeps nothing
// else from frame to frame (every block's quantiser is chosen afresh to fit
// the block size): a codec that has just coded frame k-1 codes frame k into
// the block any other codec would after k-1. So a track can be cut into runs
// of frames coded on different threads (EncodeAfter), the blocks the same
// bytes as those of one codec coding the whole track.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace mediaengine {

// `count` interleaved 16-bit stereo frames as the encoder takes them: a
// plane of floats in [-1, 1) a channel.
void SplitChannels(const std::int16_t* frames, std::size_t count, float* left, float* right);

class Wmav2Codec {
 public:
  static constexpr int kSampleRate = 44100;
  static constexpr int kChannels = 2;

  // True when the libavcodec at hand is the major version this was built
  // against and holds the wmav2 encoder (a replaced DLL may not).
  static bool Available();
  // Null when libavcodec cannot set the encoder up at `bitsPerSecond`.
  static std::unique_ptr<Wmav2Codec> Open(std::uint32_t bitsPerSecond);
  ~Wmav2Codec();
  // Only Open can build the libavcodec state it takes.
  struct Av;
  explicit Wmav2Codec(std::unique_ptr<Av> av);
  Wmav2Codec(const Wmav2Codec&) = delete;
  Wmav2Codec& operator=(const Wmav2Codec&) = delete;

  // Stereo frames each block codes (the encoder's frame length).
  std::size_t FrameSize() const { return frameSize_; }
  // Bytes of every coded block (the stream's nBlockAlign).
  std::size_t BlockAlign() const { return blockAlign_; }
  // The decoder set-up that goes after the WAVEFORMATEX of the stream.
  const std::vector<std::uint8_t>& CodecData() const { return codecData_; }

  // Codes FrameSize() interleaved stereo frames into BlockAlign() bytes at
  // `block`; false when libavcodec refuses them.
  bool Encode(const std::int16_t* stereoFrames, std::uint8_t* block);
  // Codes `frameCount` whole frames that follow `previous` (one frame; null
  // for a run that starts a stream) into frameCount blocks at `blocks`.
  bool EncodeAfter(const std::int16_t* previous, const std::int16_t* stereoFrames,
                   std::size_t frameCount, std::uint8_t* blocks);

 private:
  std::unique_ptr<Av> av_;
  std::size_t frameSize_ = 0;
  std::size_t blockAlign_ = 0;
  std::vector<std::uint8_t> codecData_;
  std::vector<std::int16_t> silence_;     // a frame, the overlap of a fresh codec
  std::vector<std::uint8_t> discarded_;  // the block of the frame before a run
};

}  // namespace mediaengine
