// The encoder stand-in: times passed through, a key frame with its sequence
// header every two seconds of pictures, nothing held back, the bitrate kept.

#include "sim/ffmpeg/x264_encoder.h"

#include "sim/tests/coded_pictures.h"
#include "ring/sequence_header.h"

#include <gtest/gtest.h>

namespace orvelle::clips::sim {
namespace {

// The NAL unit types in an Annex B packet, in order.
std::vector<int> nal_types(std::span<const std::uint8_t> bytes) {
  std::vector<int> types;
  for (std::size_t i = 0; i + 3 < bytes.size(); ++i)
    if (bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 1) types.push_back(bytes[i + 3] & 0x1F);
  return types;
}

bool has(const std::vector<int>& v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }

TEST(X264Encoder, PassesTimesThroughWithAKeyFrameEveryGroup) {
  EncoderSettings settings = encoder_settings({320, 180}, 30, 1'500'000);
  CodedPictures pictures(settings.size);
  auto encoder = X264Encoder::create(settings);
  ASSERT_TRUE(encoder) << encoder.error().text();
  // Paced pictures are not evenly spaced.
  auto time_of = [](int i) { return Ticks{5'000'000 + i * 333'333 + (i % 3) * 1'111}; };
  const Ticks duration{333'333};
  for (int i = 0; i < 150; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE((*encoder)->send(pictures.picture(i), time_of(i), duration));
    // Low latency: every picture's packet is out before the next goes in.
    auto out = (*encoder)->receive();
    ASSERT_TRUE(out) << out.error().text();
    ASSERT_TRUE(*out);
    const EncodedView& v = **out;
    EXPECT_EQ(v.time, time_of(i));
    EXPECT_EQ(v.duration, duration);
    EXPECT_EQ(v.key, i % 60 == 0);
    ASSERT_GE(v.bytes.size(), 4u);
    EXPECT_TRUE(v.bytes[0] == 0 && v.bytes[1] == 0 && (v.bytes[2] == 1 || (v.bytes[2] == 0 && v.bytes[3] == 1)))
        << "not Annex B";
    const std::vector<int> types = nal_types(v.bytes);
    // A key frame is an IDR picture behind its own sequence header; no
    // other picture repeats the header or refers back past a key frame.
    EXPECT_EQ(has(types, 5), v.key);
    EXPECT_EQ(find_sequence_header(v.bytes).has_value(), v.key);
    EXPECT_FALSE(has(types, 7) && !v.key);
    auto more = (*encoder)->receive();
    ASSERT_TRUE(more);
    EXPECT_FALSE(*more);
  }
  ASSERT_TRUE((*encoder)->drain());
  auto rest = (*encoder)->receive();
  ASSERT_TRUE(rest);
  EXPECT_FALSE(*rest);
}

TEST(X264Encoder, KeepsAConstantBitrate) {
  for (std::uint32_t bitrate : {1'000'000u, 4'000'000u}) {
    SCOPED_TRACE(bitrate);
    EncoderSettings settings = encoder_settings({640, 360}, 30, bitrate);
    auto packets = encoded_pictures(
        settings, 120, [](int i) { return Ticks{i * 333'333}; },
        [](int i) { return std::uint64_t(i) * 33; });
    ASSERT_EQ(packets.size(), 120u);
    // Each second's bytes near a second's worth of the rate: the flat grid
    // alone would take far less.
    for (int second = 0; second < 4; ++second) {
      std::uint64_t bytes = 0;
      for (int i = second * 30; i < second * 30 + 30; ++i) bytes += packets[std::size_t(i)].len;
      EXPECT_NEAR(double(bytes), bitrate / 8.0, bitrate / 8.0 * 0.15) << second;
    }
  }
}

TEST(X264Encoder, TakesOnlyNv12OfItsSize) {
  EncoderSettings settings = encoder_settings({320, 180}, 60, 2'000'000);
  auto encoder = X264Encoder::create(settings);
  ASSERT_TRUE(encoder);
  CodedPictures larger({640, 360});
  auto sent = (*encoder)->send(larger.picture(1), Ticks{1}, Ticks{1});
  ASSERT_FALSE(sent);
  EXPECT_EQ(sent.error().code, hresult::kInvalidMediaType);
  EXPECT_FALSE((*encoder)->send(VideoPicture(), Ticks{1}, Ticks{1}));
}

}  // namespace
}  // namespace orvelle::clips::sim
