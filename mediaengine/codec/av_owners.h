#pragma once
// Owners of libavcodec's objects, each freed by libavcodec's own call.
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

namespace mediaengine {

struct AvContextFree {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct AvFrameFree {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct AvPacketFree {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

using AvContextPtr = std::unique_ptr<AVCodecContext, AvContextFree>;
using AvFramePtr = std::unique_ptr<AVFrame, AvFrameFree>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvPacketFree>;

// What one encoder or decoder works with: its context, a frame and a packet.
struct AvCodecObjects {
  AvContextPtr context;
  AvFramePtr frame;
  AvPacketPtr packet;

  // Allocates all three for `codec`; false when any of them could not be had.
  bool Allocate(const AVCodec* codec) {
    context.reset(avcodec_alloc_context3(codec));
    frame.reset(av_frame_alloc());
    packet.reset(av_packet_alloc());
    return context && frame && packet;
  }
};

}  // namespace mediaengine
