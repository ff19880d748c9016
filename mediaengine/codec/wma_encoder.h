#pragma once
// Turns ripped CD audio (44100 Hz, 16-bit stereo) into a .wma file: Windows
// Media Audio 2 (libavcodec's wmav2 encoder) at 44.1 kHz stereo inside ASF,
// at the bit rate of the rate class (64000 or 128000 bit/s). Decoded, the
// file gives back the input from its first sample on.
//
//   WmaEncoder encoder;
//   if (encoder.Open(files, tempPath, tags, 128000) != os::kSuccess) ...
//   while (more audio) if (encoder.Write(frames, count) != os::kSuccess) ...
//   if (encoder.Finish() != os::kSuccess) ... (delete tempPath)
//
// After a failure the file is closed and every later call repeats the error;
// Abandon closes it when the caller stops early.
//
// The codec frames of a track: Open codes one frame of silence, then come
// the audio's frames, the last one padded with silence, then one frame of
// silence. The audio's frames may instead be coded elsewhere, in runs on
// other threads (Wmav2Codec::EncodeAfter, the first run after a frame of
// silence), and handed in in order with WriteCoded, the last run including
// the padding and the closing frame; FinishCoded then completes the file.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mediaengine/codec/asf_info.h"
#include "mediaengine/codec/asf_writer.h"
#include "mediaengine/codec/wmav2_codec.h"
#include "os/file_system.h"

namespace mediaengine {

constexpr std::uint32_t kWmaRateClass64 = 64000;
constexpr std::uint32_t kWmaRateClass128 = 128000;

class WmaEncoder {
 public:
  static constexpr int kInputRate = Wmav2Codec::kSampleRate;
  // Reported when the codec cannot be set up or refuses the audio.
  static constexpr os::ErrorCode kErrorEncoder = 0x20000001;  // customer bit set

  WmaEncoder();
  ~WmaEncoder();
  WmaEncoder(const WmaEncoder&) = delete;
  WmaEncoder& operator=(const WmaEncoder&) = delete;

  // kErrorInvalidParameter for a rate class other than the two above or a
  // second Open; otherwise the outcome of creating the file.
  os::ErrorCode Open(os::IFileSystem& files, const std::wstring& path, const AsfTags& tags,
                     std::uint32_t rateClass, os::FileTime creationTime = 0);
  os::ErrorCode Write(const std::int16_t* stereoFrames, std::size_t frameCount);
  // Codes what is left (the last frame padded with silence, then one frame
  // of silence that carries the end out of the codec's overlap), completes
  // the header and closes the file.
  os::ErrorCode Finish();
  // Blocks coded elsewhere that follow those written so far, holding
  // `inputFrames` frames of the track's audio (the padding not counted).
  os::ErrorCode WriteCoded(const std::uint8_t* blocks, std::size_t blockCount,
                           std::size_t inputFrames);
  // Completes the header and closes the file after the last WriteCoded.
  os::ErrorCode FinishCoded();
  // Gives up on an open file (a stopped rip): closes it unfinished so the
  // caller can delete it. Later calls report kErrorInvalidHandle.
  void Abandon();

  // Declared bit rate in bits per second (known once opened).
  std::uint32_t Bitrate() const { return bitrate_; }
  // Length of the audio written so far, in seconds and in 100-ns units.
  double DurationSeconds() const { return static_cast<double>(inputFrames_) / kInputRate; }
  std::uint64_t DurationHns() const;
  std::size_t FrameSize() const { return codec_ ? codec_->FrameSize() : 0; }
  std::size_t BlockAlign() const { return codec_ ? codec_->BlockAlign() : 0; }
  // Size of the finished file in bytes.
  std::uint64_t FileSize() const { return writer_.fileSize(); }

 private:
  os::ErrorCode EncodeFrames(const std::int16_t* frames, std::size_t count);
  os::ErrorCode FlushBlocks();
  os::ErrorCode Close();
  os::ErrorCode Fail(os::ErrorCode error);

  enum class State { Closed, Open, Finished, Failed };
  State state_ = State::Closed;
  os::ErrorCode error_ = os::kSuccess;
  std::uint32_t bitrate_ = 0;
  std::uint64_t inputFrames_ = 0;
  std::unique_ptr<Wmav2Codec> codec_;
  AsfWriter writer_;
  std::vector<std::int16_t> partial_;  // frames short of a whole codec frame
  std::vector<std::uint8_t> blocks_;   // coded, not yet handed to the writer
  std::size_t blockCount_ = 0;
};

}  // namespace mediaengine
