#include "mediaengine/codec/wma_encoder.h"

#include <algorithm>
#include <cstring>

namespace mediaengine {
namespace {

// Whole blocks per data packet, as many as fit in about 6000 bytes: few
// packet heads (28 bytes each) keep a whole file in its rate class.
constexpr std::size_t kPacketPayloadTarget = 6000;
// Blocks coded before they go to the writer in one call.
constexpr std::size_t kBlocksPerWrite = 32;
constexpr std::uint16_t kWaveFormatWmav2 = 0x0161;

}  // namespace

WmaEncoder::WmaEncoder() = default;
WmaEncoder::~WmaEncoder() = default;

os::ErrorCode WmaEncoder::Open(os::IFileSystem& files, const std::wstring& path,
                               const AsfTags& tags, std::uint32_t rateClass,
                               os::FileTime creationTime) {
  if (state_ != State::Closed) return os::kErrorInvalidParameter;
  if (rateClass != kWmaRateClass64 && rateClass != kWmaRateClass128) {
    return os::kErrorInvalidParameter;
  }
  codec_ = Wmav2Codec::Open(rateClass);
  if (!codec_) return Fail(kErrorEncoder);

  AsfWriterSettings settings;
  AsfAudioFormat& format = settings.format;
  format.formatTag = kWaveFormatWmav2;
  format.channels = Wmav2Codec::kChannels;
  format.sampleRate = Wmav2Codec::kSampleRate;
  // The class rate, as Windows Media files declare it; the blocks hold a
  // whole number of bytes each, so the coded rate is a hair below it.
  format.avgBytesPerSecond = rateClass / 8;
  format.blockAlign = static_cast<std::uint16_t>(codec_->BlockAlign());
  format.bitsPerSample = 16;
  format.codecData = codec_->CodecData();
  format.samplesPerBlock = static_cast<std::uint32_t>(codec_->FrameSize());
  settings.blocksPerPacket =
      static_cast<int>(std::max<std::size_t>(1, kPacketPayloadTarget / codec_->BlockAlign()));
  settings.tags = tags;
  settings.creationTime = creationTime;

  const os::ErrorCode opened = writer_.Open(files, path, settings);
  if (opened != os::kSuccess) return Fail(opened);
  bitrate_ = writer_.bitrate();
  blocks_.resize(kBlocksPerWrite * codec_->BlockAlign());
  state_ = State::Open;
  // Decoders drop two frames' worth of samples at the start, as Windows
  // Media encoders lag by that much; this encoder lags by one frame, so a
  // frame of silence first keeps the track's first samples.
  const std::vector<std::int16_t> silence(2 * codec_->FrameSize(), 0);
  return EncodeFrames(silence.data(), codec_->FrameSize());
}

os::ErrorCode WmaEncoder::Write(const std::int16_t* stereoFrames, std::size_t frameCount) {
  if (state_ == State::Failed) return error_;
  if (state_ != State::Open) return os::kErrorInvalidParameter;
  inputFrames_ += frameCount;
  const std::size_t frameSize = codec_->FrameSize();
  if (!partial_.empty()) {
    const std::size_t take = std::min(frameCount, frameSize - partial_.size() / 2);
    partial_.insert(partial_.end(), stereoFrames, stereoFrames + 2 * take);
    stereoFrames += 2 * take;
    frameCount -= take;
    if (partial_.size() < 2 * frameSize) return os::kSuccess;
    const os::ErrorCode encoded = EncodeFrames(partial_.data(), frameSize);
    partial_.clear();
    if (encoded != os::kSuccess) return encoded;
  }
  const std::size_t whole = frameCount / frameSize * frameSize;
  const os::ErrorCode encoded = EncodeFrames(stereoFrames, whole);
  if (encoded != os::kSuccess) return encoded;
  partial_.assign(stereoFrames + 2 * whole, stereoFrames + 2 * frameCount);
  return os::kSuccess;
}

os::ErrorCode WmaEncoder::Finish() {
  if (state_ == State::Failed) return error_;
  if (state_ != State::Open) return os::kErrorInvalidParameter;
  const std::size_t frameSize = codec_->FrameSize();
  // The codec overlaps each frame with the next: the frame of silence after
  // the padded last one brings the end of the track out.
  const std::size_t tail = partial_.size() / 2 + frameSize;
  partial_.resize(2 * ((tail + frameSize - 1) / frameSize * frameSize), 0);
  const os::ErrorCode result = EncodeFrames(partial_.data(), partial_.size() / 2);
  return result == os::kSuccess ? Close() : result;
}

os::ErrorCode WmaEncoder::WriteCoded(const std::uint8_t* blocks, std::size_t blockCount,
                                     std::size_t inputFrames) {
  if (state_ == State::Failed) return error_;
  if (state_ != State::Open || !partial_.empty()) return os::kErrorInvalidParameter;
  inputFrames_ += inputFrames;
  if (blockCount_ > 0) {
    const os::ErrorCode flushed = FlushBlocks();
    if (flushed != os::kSuccess) return flushed;
  }
  const os::ErrorCode written = writer_.WriteBlocks(blocks, blockCount);
  return written == os::kSuccess ? written : Fail(written);
}

os::ErrorCode WmaEncoder::FinishCoded() {
  if (state_ == State::Failed) return error_;
  if (state_ != State::Open || !partial_.empty()) return os::kErrorInvalidParameter;
  return Close();
}

os::ErrorCode WmaEncoder::Close() {
  const os::ErrorCode flushed = FlushBlocks();
  if (flushed != os::kSuccess) return flushed;
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

os::ErrorCode WmaEncoder::EncodeFrames(const std::int16_t* frames, std::size_t count) {
  const std::size_t frameSize = codec_->FrameSize();
  const std::size_t blockAlign = codec_->BlockAlign();
  for (std::size_t done = 0; done + frameSize <= count; done += frameSize) {
    if (!codec_->Encode(frames + 2 * done, blocks_.data() + blockCount_ * blockAlign)) {
      writer_.Abandon();
      return Fail(kErrorEncoder);
    }
    if (++blockCount_ == kBlocksPerWrite) {
      const os::ErrorCode written = FlushBlocks();
      if (written != os::kSuccess) return written;
    }
  }
  return os::kSuccess;
}

os::ErrorCode WmaEncoder::FlushBlocks() {
  const os::ErrorCode written = writer_.WriteBlocks(blocks_.data(), blockCount_);
  blockCount_ = 0;
  return written == os::kSuccess ? written : Fail(written);
}

os::ErrorCode WmaEncoder::Fail(os::ErrorCode error) {
  state_ = State::Failed;
  error_ = error;
  return error;
}

}  // namespace mediaengine
