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

}  // namespace mediaengine
