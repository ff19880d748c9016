#include "mediaengine/codec/wmav2_codec.h"

#include <cstring>
#include <mutex>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

extern "C" {
#include <libavutil/channel_layout.h>
}

#include "mediaengine/codec/av_owners.h"

namespace mediaengine {
namespace {

constexpr float kSampleScale = 1.0f / 32768.0f;

}  // namespace

struct Wmav2Codec::Av : AvCodecObjects {
  std::int64_t nextPts = 0;
};

bool Wmav2Codec::Available() {
  return AV_VERSION_MAJOR(avcodec_version()) == LIBAVCODEC_VERSION_MAJOR &&
         AV_VERSION_MAJOR(avutil_version()) == LIBAVUTIL_VERSION_MAJOR &&
         avcodec_find_encoder(AV_CODEC_ID_WMAV2) != nullptr;
}

std::unique_ptr<Wmav2Codec> Wmav2Codec::Open(std::uint32_t bitsPerSecond) {
  // libavcodec fills shared tables the first time an encoder is set up and
  // guards that with its own lock, which the Windows build lacks (it is made
  // without threads, for Windows XP): tracks on two threads open one by one.
  static std::mutex openLock;
  const std::lock_guard<std::mutex> lock(openLock);
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
  if (!codec) return nullptr;
  auto av = std::make_unique<Av>();
  if (!av->Allocate(codec)) return nullptr;

  AVCodecContext* context = av->context.get();
  context->sample_fmt = AV_SAMPLE_FMT_FLTP;
  context->sample_rate = kSampleRate;
  context->bit_rate = bitsPerSecond;
  context->time_base = AVRational{1, kSampleRate};
  context->thread_count = 1;  // parallel work is one track per thread
  av_channel_layout_default(&context->ch_layout, kChannels);
  if (avcodec_open2(context, codec, nullptr) < 0) return nullptr;
  if (context->frame_size <= 0 || context->block_align <= 0) return nullptr;

  AVFrame* frame = av->frame.get();
  frame->format = AV_SAMPLE_FMT_FLTP;
  frame->sample_rate = kSampleRate;
  frame->nb_samples = context->frame_size;
  if (av_channel_layout_copy(&frame->ch_layout, &context->ch_layout) < 0) return nullptr;
  if (av_frame_get_buffer(frame, 0) < 0) return nullptr;

  auto codecOut = std::make_unique<Wmav2Codec>(std::move(av));
  codecOut->frameSize_ = static_cast<std::size_t>(context->frame_size);
  codecOut->blockAlign_ = static_cast<std::size_t>(context->block_align);
  if (context->extradata && context->extradata_size > 0) {
    codecOut->codecData_.assign(context->extradata, context->extradata + context->extradata_size);
  }
  codecOut->silence_.assign(2 * codecOut->frameSize_, 0);
  codecOut->discarded_.resize(codecOut->blockAlign_);
  return codecOut;
}

// Four frames at a time where SSE2 is there: the same values, as each
// sample and the scale are exact in a float.
void SplitChannels(const std::int16_t* frames, std::size_t count, float* left, float* right) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128 scale = _mm_set1_ps(kSampleScale);
  for (; i + 4 <= count; i += 4) {
    // Each 32-bit lane holds a frame: left sample low, right sample high.
    const __m128i lanes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(frames + 2 * i));
    const __m128i lows = _mm_srai_epi32(_mm_slli_epi32(lanes, 16), 16);
    const __m128i highs = _mm_srai_epi32(lanes, 16);
    _mm_storeu_ps(left + i, _mm_mul_ps(_mm_cvtepi32_ps(lows), scale));
    _mm_storeu_ps(right + i, _mm_mul_ps(_mm_cvtepi32_ps(highs), scale));
  }
#endif
  for (; i < count; ++i) {
    left[i] = static_cast<float>(frames[2 * i]) * kSampleScale;
    right[i] = static_cast<float>(frames[2 * i + 1]) * kSampleScale;
  }
}

Wmav2Codec::Wmav2Codec(std::unique_ptr<Av> av) : av_(std::move(av)) {}
Wmav2Codec::~Wmav2Codec() = default;

bool Wmav2Codec::Encode(const std::int16_t* stereoFrames, std::uint8_t* block) {
  AVFrame* frame = av_->frame.get();
  // The encoder may still hold a reference to the last frame's buffers.
  if (av_frame_make_writable(frame) < 0) return false;
  SplitChannels(stereoFrames, frameSize_, reinterpret_cast<float*>(frame->data[0]),
                reinterpret_cast<float*>(frame->data[1]));
  frame->pts = av_->nextPts;
  av_->nextPts += static_cast<std::int64_t>(frameSize_);

  if (avcodec_send_frame(av_->context.get(), frame) < 0) return false;
  AVPacket* packet = av_->packet.get();
  // One frame in gives exactly one block out: the encoder keeps no queue.
  const int received = avcodec_receive_packet(av_->context.get(), packet);
  if (received < 0) return false;
  const bool whole = packet->size == static_cast<int>(blockAlign_);
  if (whole) std::memcpy(block, packet->data, blockAlign_);
  av_packet_unref(packet);
  return whole;
}

bool Wmav2Codec::EncodeAfter(const std::int16_t* previous, const std::int16_t* stereoFrames,
                             std::size_t frameCount, std::uint8_t* blocks) {
  // Silence leaves the overlap as a fresh codec has it (all zero).
  if (!Encode(previous ? previous : silence_.data(), discarded_.data())) return false;
  for (std::size_t i = 0; i < frameCount; ++i) {
    if (!Encode(stereoFrames + 2 * frameSize_ * i, blocks + blockAlign_ * i)) return false;
  }
  return true;
}

}  // namespace mediaengine
