#include "sim/tests/aac_fixture.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
}

namespace orvelle::clips::sim {

SoundFixture aac_tone(Ticks length, double frequency, std::uint32_t sample_rate, std::uint32_t channels) {
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
  AVCodecContext* c = avcodec_alloc_context3(codec);
  c->sample_fmt = AV_SAMPLE_FMT_FLTP;
  c->sample_rate = static_cast<int>(sample_rate);
  av_channel_layout_default(&c->ch_layout, static_cast<int>(channels));
  c->bit_rate = 128'000;
  c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;  // the config comes apart from the packets
  if (avcodec_open2(c, codec, nullptr) < 0) throw std::runtime_error("no AAC encoder");

  SoundFixture out;
  out.track = {sample_rate, channels, 128'000,
               std::vector<std::uint8_t>(c->extradata, c->extradata + c->extradata_size)};
  AVFrame* frame = av_frame_alloc();
  AVPacket* packet = av_packet_alloc();
  const Ticks per_packet{1024 * 10'000'000LL / sample_rate};
  auto collect = [&] {
    while (avcodec_receive_packet(c, packet) == 0) {
      const auto k = static_cast<std::int64_t>(out.packets.size());
      out.packets.push_back({share_bytes({packet->data, static_cast<std::size_t>(packet->size)}),
                             static_cast<std::uint64_t>(packet->size), k * per_packet, per_packet, true});
      av_packet_unref(packet);
    }
  };
  const std::int64_t total = length.count() * sample_rate / 10'000'000;
  for (std::int64_t start = 0; start < total; start += c->frame_size) {
    frame->nb_samples = c->frame_size;
    frame->format = c->sample_fmt;
    av_channel_layout_copy(&frame->ch_layout, &c->ch_layout);
    av_frame_get_buffer(frame, 0);
    for (int ch = 0; ch < static_cast<int>(channels); ++ch) {
      auto* samples = reinterpret_cast<float*>(frame->data[ch]);
      for (int i = 0; i < c->frame_size; ++i)
        samples[i] = 0.3f * static_cast<float>(std::sin(2 * std::numbers::pi * frequency *
                                                        double(start + i) / sample_rate));
    }
    frame->pts = start;
    avcodec_send_frame(c, frame);
    av_frame_unref(frame);
    collect();
  }
  avcodec_send_frame(c, nullptr);
  collect();
  av_packet_free(&packet);
  av_frame_free(&frame);
  avcodec_free_context(&c);
  return out;
}

}  // namespace orvelle::clips::sim
