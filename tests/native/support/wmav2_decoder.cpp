#include "native/support/wmav2_decoder.h"

#include <cmath>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
}

#include "mediaengine/codec/av_owners.h"

namespace testing_support {
namespace {

std::int16_t Sample(float value) {
  const float scaled = std::round(value * 32768.0f);
  return static_cast<std::int16_t>(std::fmax(-32768.0f, std::fmin(32767.0f, scaled)));
}

}  // namespace

struct Wmav2Decoder::Av : mediaengine::AvCodecObjects {};

std::unique_ptr<Wmav2Decoder> Wmav2Decoder::Open(int channels, int sampleRate, int bitRate,
                                                 int blockAlign,
                                                 const std::vector<std::uint8_t>& codecData) {
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_WMAV2);
  if (!codec) return nullptr;
  auto av = std::make_unique<Av>();
  if (!av->Allocate(codec)) return nullptr;
  AVCodecContext* context = av->context.get();
  av_channel_layout_default(&context->ch_layout, channels);
  context->sample_rate = sampleRate;
  context->bit_rate = bitRate;
  context->block_align = blockAlign;
  context->extradata =
      static_cast<std::uint8_t*>(av_mallocz(codecData.size() + AV_INPUT_BUFFER_PADDING_SIZE));
  if (!context->extradata) return nullptr;
  if (!codecData.empty()) std::memcpy(context->extradata, codecData.data(), codecData.size());
  context->extradata_size = static_cast<int>(codecData.size());
  if (avcodec_open2(context, codec, nullptr) < 0) return nullptr;
  return std::unique_ptr<Wmav2Decoder>(new Wmav2Decoder(std::move(av)));
}

Wmav2Decoder::Wmav2Decoder(std::unique_ptr<Av> av) : av_(std::move(av)) {}
Wmav2Decoder::~Wmav2Decoder() = default;

bool Wmav2Decoder::Decode(const std::uint8_t* blocks, std::size_t size,
                          std::vector<std::int16_t>* out) {
  AVPacket* packet = av_->packet.get();
  if (av_new_packet(packet, static_cast<int>(size)) < 0) return false;
  std::memcpy(packet->data, blocks, size);
  const int sent = avcodec_send_packet(av_->context.get(), packet);
  av_packet_unref(packet);
  return sent >= 0 && Receive(out);
}

bool Wmav2Decoder::Drain(std::vector<std::int16_t>* out) {
  return avcodec_send_packet(av_->context.get(), nullptr) >= 0 && Receive(out);
}

bool Wmav2Decoder::Receive(std::vector<std::int16_t>* out) {
  AVFrame* frame = av_->frame.get();
  for (;;) {
    const int received = avcodec_receive_frame(av_->context.get(), frame);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return true;
    if (received < 0) return false;
    const int channels = frame->ch_layout.nb_channels;
    for (int i = 0; i < frame->nb_samples; ++i) {
      for (int c = 0; c < channels; ++c) {
        out->push_back(Sample(reinterpret_cast<const float*>(frame->extended_data[c])[i]));
      }
    }
    av_frame_unref(frame);
  }
}

}  // namespace testing_support
