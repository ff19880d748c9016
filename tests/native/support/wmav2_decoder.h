#pragma once
// libavcodec's wmav2 decoder for the tests: turns the blocks of our .wma
// files back into 16-bit stereo, set up only from what the file declares.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace testing_support {

class Wmav2Decoder {
 public:
  // Null when the decoder refuses the stream description.
  static std::unique_ptr<Wmav2Decoder> Open(int channels, int sampleRate, int bitRate,
                                            int blockAlign,
                                            const std::vector<std::uint8_t>& codecData);
  ~Wmav2Decoder();
  // Decodes `size` bytes of whole blocks and appends interleaved samples;
  // false when the decoder rejects them.
  bool Decode(const std::uint8_t* blocks, std::size_t size, std::vector<std::int16_t>* out);
  // Appends what the decoder still holds at the end of the stream.
  bool Drain(std::vector<std::int16_t>* out);

 private:
  struct Av;
  explicit Wmav2Decoder(std::unique_ptr<Av> av);
  bool Receive(std::vector<std::int16_t>* out);
  std::unique_ptr<Av> av_;
};

}  // namespace testing_support
