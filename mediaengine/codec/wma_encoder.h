#pragma once
// Turns ripped CD audio (44100 Hz, 16-bit stereo) into a .wma file: resampled
// to 16 kHz and IMA ADPCM coded inside ASF. The rate class picks the channels:
// 64000 gives mono (64 kbit/s class), 128000 stereo (128 kbit/s class).
//
//   WmaEncoder encoder;
//   if (encoder.Open(files, tempPath, tags, 128000) != os::kSuccess) ...
//   while (more audio) if (encoder.Write(frames, count) != os::kSuccess) ...
//   if (encoder.Finish() != os::kSuccess) ... (delete tempPath)
//
// After a failure the file is closed and every later call repeats the error;
// Abandon closes it when the caller stops early.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mediaengine/codec/asf_info.h"
#include "mediaengine/codec/asf_writer.h"
#include "mediaengine/codec/ima_adpcm.h"
#include "mediaengine/codec/resampler.h"
#include "os/file_system.h"

namespace mediaengine {

constexpr std::uint32_t kWmaRateClass64 = 64000;
constexpr std::uint32_t kWmaRateClass128 = 128000;

class WmaEncoder {
 public:
  static constexpr int kInputRate = Resampler::kInputRate;
  static constexpr int kOutputRate = Resampler::kOutputRate;

  // Stream format and packet layout of a rate class (tags and time are left
  // alone); false for a class other than the two.
  static bool SettingsForClass(std::uint32_t rateClass, AsfWriterSettings* settings);

  // kErrorInvalidParameter for a rate class other than the two above or a
  // second Open; otherwise the outcome of creating the file.
  os::ErrorCode Open(os::IFileSystem& files, const std::wstring& path, const AsfTags& tags,
                     std::uint32_t rateClass, os::FileTime creationTime = 0);
  os::ErrorCode Write(const std::int16_t* stereoFrames, std::size_t frameCount);
  // Encodes what is left (the last block padded with silence), completes the
  // header and closes the file.
  os::ErrorCode Finish();
  // Gives up on an open file (a stopped rip): closes it unfinished so the
  // caller can delete it. Later calls report kErrorInvalidHandle.
  void Abandon();

  // Declared bit rate in bits per second (known once opened).
  std::uint32_t Bitrate() const { return bitrate_; }
  // Length of the audio written so far, in seconds and in 100-ns units.
  double DurationSeconds() const { return static_cast<double>(inputFrames_) / kInputRate; }
  std::uint64_t DurationHns() const;
  // Size of the finished file in bytes.
  std::uint64_t FileSize() const { return writer_.fileSize(); }

 private:
  os::ErrorCode EncodePending(bool final);
  os::ErrorCode Fail(os::ErrorCode error);

  enum class State { Closed, Open, Finished, Failed };
  State state_ = State::Closed;
  os::ErrorCode error_ = os::kSuccess;
  std::uint32_t bitrate_ = 0;
  std::uint64_t inputFrames_ = 0;
  std::unique_ptr<Resampler> resampler_;
  std::unique_ptr<ImaAdpcmEncoder> encoder_;
  AsfWriter writer_;
  std::vector<std::int16_t> pending_;  // resampled frames not yet in a block
  std::vector<std::uint8_t> blocks_;
};

}  // namespace mediaengine
