#pragma once
// NV12 pictures that carry a code, made the way the simulation makes them:
// painted as the game's window, then cropped and converted.

#include "ring/ring.h"
#include "sim/ffmpeg/sws_converter.h"
#include "sim/ffmpeg/x264_encoder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace orvelle::clips::sim {

class CodedPictures {
 public:
  explicit CodedPictures(Size size) : window_(size) {
    ConverterSetup setup;
    setup.item = size;
    setup.encode = size;
    auto made = SwsConverter::create(setup);
    EXPECT_TRUE(made) << made.error().text();
    if (made) converter_ = std::move(*made);
  }

  VideoPicture picture(std::uint64_t code) {
    paint_time_code(code, window_.view(),
                    {0, 0, static_cast<std::int32_t>(window_.size().width),
                     static_cast<std::int32_t>(window_.size().height)});
    auto out = converter_->convert(window_);
    EXPECT_TRUE(out) << out.error().text();
    return out ? std::move(*out) : VideoPicture();
  }

 private:
  BgraPicture window_;
  std::unique_ptr<SwsConverter> converter_;
};

inline EncoderSettings encoder_settings(Size size, std::uint32_t fps, std::uint32_t bitrate) {
  EncoderSettings s;
  s.size = size;
  s.fps = fps;
  s.bitrate = bitrate;
  return s;
}

// count pictures encoded, picture i at time_of(i) showing code_of(i) and
// lasting one frame; each packet as the ring would hold it.
inline std::vector<Packet> encoded_pictures(const EncoderSettings& settings, int count,
                                            const std::function<Ticks(int)>& time_of,
                                            const std::function<std::uint64_t(int)>& code_of) {
  CodedPictures pictures(settings.size);
  auto encoder = X264Encoder::create(settings);
  EXPECT_TRUE(encoder) << encoder.error().text();
  std::vector<Packet> packets;
  if (!encoder) return packets;
  auto collect = [&] {
    while (true) {
      auto out = (*encoder)->receive();
      EXPECT_TRUE(out) << out.error().text();
      if (!out || !*out) return;
      const EncodedView& v = **out;
      packets.push_back({share_bytes(v.bytes), v.bytes.size(), v.time, v.duration, v.key});
    }
  };
  const Ticks frame{10'000'000 / settings.fps};
  for (int i = 0; i < count; ++i) {
    auto sent = (*encoder)->send(pictures.picture(code_of(i)), time_of(i), frame);
    EXPECT_TRUE(sent) << sent.error().text();
    collect();
  }
  EXPECT_TRUE((*encoder)->drain());
  collect();
  return packets;
}

}  // namespace orvelle::clips::sim
