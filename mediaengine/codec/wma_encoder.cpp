#include "mediaengine/codec/wma_encoder.h"

#include <algorithm>

namespace mediaengine {
namespace {

// Large blocks and one block a packet keep the overhead small: 4096 bytes per
// channel hold 8185 samples, so the 64 class declares 16000 * 4096 / 8185 =
// 8006 bytes/s (64048 bit/s) and the 128 class 16013 bytes/s (128104 bit/s);
// with the 28 bytes of each packet the file as a whole stays below 64.5 and
// 128.6 kbit/s, still in its class once a track is longer than a minute or
// two (the header and the last packet's padding count then).
constexpr int kBlockBytesPerChannel = 4096;
constexpr int kBlocksPerPacket = 1;

// Input handed to the resampler at a time, so a long Write needs little memory.
constexpr std::size_t kInputChunk = 16384;

}  // namespace

bool WmaEncoder::SettingsForClass(std::uint32_t rateClass, AsfWriterSettings* settings) {
  if (rateClass != kWmaRateClass64 && rateClass != kWmaRateClass128) return false;
  AsfAudioFormat* format = &settings->format;
  ImaAdpcmLayout layout;
  layout.channels = rateClass == kWmaRateClass64 ? 1 : 2;
  layout.blockAlign = kBlockBytesPerChannel * layout.channels;
  format->formatTag = kWaveFormatImaAdpcm;
  format->channels = static_cast<std::uint16_t>(layout.channels);
  format->sampleRate = kOutputRate;
  format->avgBytesPerSecond = layout.AvgBytesPerSecond(kOutputRate);
  format->blockAlign = static_cast<std::uint16_t>(layout.blockAlign);
  format->bitsPerSample = 4;
  format->samplesPerBlock = static_cast<std::uint16_t>(layout.SamplesPerBlock());
  settings->blocksPerPacket = kBlocksPerPacket;
  return true;
}

os::ErrorCode WmaEncoder::Open(os::IFileSystem& files, const std::wstring& path,
                               const AsfTags& tags, std::uint32_t rateClass,
                               os::FileTime creationTime) {
  if (state_ != State::Closed) return os::kErrorInvalidParameter;
  AsfWriterSettings settings;
  if (!SettingsForClass(rateClass, &settings)) return os::kErrorInvalidParameter;
  settings.tags = tags;
  settings.creationTime = creationTime;

  const os::ErrorCode opened = writer_.Open(files, path, settings);
  if (opened != os::kSuccess) return Fail(opened);
  ImaAdpcmLayout layout;
  layout.channels = settings.format.channels;
  layout.blockAlign = settings.format.blockAlign;
  resampler_ = std::make_unique<Resampler>(layout.channels);
  encoder_ = std::make_unique<ImaAdpcmEncoder>(layout);
  bitrate_ = writer_.bitrate();
  state_ = State::Open;
  return os::kSuccess;
}

os::ErrorCode WmaEncoder::Write(const std::int16_t* stereoFrames, std::size_t frameCount) {
  if (state_ == State::Failed) return error_;
  if (state_ != State::Open) return os::kErrorInvalidParameter;
  while (frameCount > 0) {
    const std::size_t count = std::min(frameCount, kInputChunk);
    resampler_->Write(stereoFrames, count, &pending_);
    inputFrames_ += count;
    stereoFrames += 2 * count;
    frameCount -= count;
    const os::ErrorCode encoded = EncodePending(false);
    if (encoded != os::kSuccess) return encoded;
  }
  return os::kSuccess;
}

os::ErrorCode WmaEncoder::Finish() {
  if (state_ == State::Failed) return error_;
  if (state_ != State::Open) return os::kErrorInvalidParameter;
  resampler_->Flush(&pending_);
  const os::ErrorCode encoded = EncodePending(true);
  if (encoded != os::kSuccess) return encoded;
  const os::ErrorCode finished = writer_.Finish(DurationHns());
  if (finished != os::kSuccess) return Fail(finished);
  state_ = State::Finished;
  return os::kSuccess;
}

void WmaEncoder::Abandon() {
  if (state_ != State::Open) return;
  writer_.Abandon();
  Fail(os::kErrorInvalidHandle);
}

std::uint64_t WmaEncoder::DurationHns() const {
  return inputFrames_ * 10000000ULL / kInputRate;
}

os::ErrorCode WmaEncoder::EncodePending(bool final) {
  const ImaAdpcmLayout& layout = encoder_->layout();
  const std::size_t blockSamples =
      static_cast<std::size_t>(layout.SamplesPerBlock()) * layout.channels;
  if (final && pending_.size() % blockSamples != 0) {
    // The declared duration ends the track; the rest of the block is silence.
    pending_.resize((pending_.size() / blockSamples + 1) * blockSamples, 0);
  }
  const std::size_t count = pending_.size() / blockSamples;
  if (count == 0) return os::kSuccess;
  blocks_.resize(count * layout.blockAlign);
  for (std::size_t i = 0; i < count; ++i) {
    encoder_->EncodeBlock(pending_.data() + i * blockSamples, blocks_.data() + i * layout.blockAlign);
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count * blockSamples));
  const os::ErrorCode written = writer_.WriteBlocks(blocks_.data(), count);
  return written == os::kSuccess ? written : Fail(written);
}

os::ErrorCode WmaEncoder::Fail(os::ErrorCode error) {
  state_ = State::Failed;
  error_ = error;
  return error;
}

}  // namespace mediaengine
