// The converter stand-in: the crop to the client area, NV12 in the
// recorder's colours, the BGRA copy mode, and output buffers that are used
// in turn but never written while the encoder still holds them.

#include "sim/ffmpeg/sws_converter.h"

#include <gtest/gtest.h>

#include <cstring>

extern "C" {
#include <libavutil/frame.h>
}

namespace orvelle::clips::sim {
namespace {

constexpr FrameInsets kFrame{8, 31, 8, 8};

// A window picture of the given client area with code painted in it.
BgraPicture window_picture(Size client, std::uint64_t code) {
  BgraPicture p({client.width + kFrame.left + kFrame.right, client.height + kFrame.top + kFrame.bottom});
  paint_time_code(code, p.view(),
                  {static_cast<std::int32_t>(kFrame.left), static_cast<std::int32_t>(kFrame.top),
                   static_cast<std::int32_t>(kFrame.left + client.width),
                   static_cast<std::int32_t>(kFrame.top + client.height)});
  return p;
}

ConverterSetup setup(Size client, ConvertMode mode = ConvertMode::video_processor) {
  ConverterSetup s;
  s.fps = 60;
  s.item = {client.width + kFrame.left + kFrame.right, client.height + kFrame.top + kFrame.bottom};
  s.crop_x = static_cast<std::int32_t>(kFrame.left);
  s.crop_y = static_cast<std::int32_t>(kFrame.top);
  s.encode = {client.width & ~1u, client.height & ~1u};
  s.mode = mode;
  return s;
}

TEST(SwsConverter, CropsToTheClientAreaInStudioRangeNv12) {
  for (Size client : {Size{160, 90}, Size{1281, 721}, Size{1920, 1080}}) {
    SCOPED_TRACE(testing::Message() << client.width << "x" << client.height);
    auto converter = SwsConverter::create(setup(client));
    ASSERT_TRUE(converter) << converter.error().text();
    const std::uint64_t code = 0x0123'4567'89AB'CDEFu;
    auto out = (*converter)->convert(window_picture(client, code));
    ASSERT_TRUE(out) << out.error().text();
    ASSERT_EQ(out->format(), PictureFormat::nv12);
    const Size size = out->size();
    ASSERT_EQ(size, (Size{client.width & ~1u, client.height & ~1u}));
    EXPECT_EQ(read_time_code(out->row(0, 0), out->stride(0), size), code);
    // Bit 0 (white) sits top-left, bit 4 (black) in the fifth column: the
    // grey frame around must not show at the picture's edges.
    EXPECT_NEAR(out->row(0, 0)[0], 235, 1);
    EXPECT_NEAR(out->row(0, size.height - 1)[size.width - 1], 16, 1);  // bit 63 of the code is 0
    EXPECT_NEAR(out->row(0, 0)[size.width / 2 + 2], 16, 1);
    for (std::uint32_t x : {0u, size.width / 2, size.width - 2}) {
      EXPECT_NEAR(out->row(1, 0)[x], 128, 1);
      EXPECT_NEAR(out->row(1, 0)[x + 1], 128, 1);
    }
  }
}

TEST(SwsConverter, CopyModeOnlyCrops) {
  const Size client{322, 180};
  auto converter = SwsConverter::create(setup(client, ConvertMode::copy));
  ASSERT_TRUE(converter) << converter.error().text();
  BgraPicture source = window_picture(client, 0xF0F0);
  auto out = (*converter)->convert(source);
  ASSERT_TRUE(out) << out.error().text();
  ASSERT_EQ(out->format(), PictureFormat::bgra);
  ASSERT_EQ(out->size(), client);
  for (std::uint32_t y = 0; y < client.height; ++y)
    ASSERT_EQ(std::memcmp(out->row(0, y), source.data() + (y + kFrame.top) * source.stride() + kFrame.left * 4,
                          client.width * 4),
              0)
        << y;
}

TEST(SwsConverter, OutputBuffersGoRoundButAreNeverWrittenWhileHeld) {
  const Size client{320, 180};
  auto made = SwsConverter::create(setup(client));
  ASSERT_TRUE(made);
  SwsConverter& converter = **made;
  auto first = converter.convert(window_picture(client, 1));
  ASSERT_TRUE(first);
  const std::uint8_t* first_buffer = first->row(0, 0);
  for (std::uint64_t code = 2; code <= 6; ++code) ASSERT_TRUE(converter.convert(window_picture(client, code)));
  EXPECT_EQ(converter.buffers_made(), 6u);

  // The seventh goes to the first slot, whose picture is still held: it
  // gets a buffer of its own and the held picture keeps its code.
  auto seventh = converter.convert(window_picture(client, 7));
  ASSERT_TRUE(seventh);
  EXPECT_NE(seventh->row(0, 0), first_buffer);
  EXPECT_EQ(converter.buffers_made(), 7u);
  EXPECT_EQ(read_time_code(first->row(0, 0), first->stride(0), client), 1u);
  EXPECT_EQ(read_time_code(seventh->row(0, 0), seventh->stride(0), client), 7u);

  // Once let go, a slot's buffer is used again as it is.
  seventh = VideoPicture();
  for (std::uint64_t code = 8; code <= 13; ++code) ASSERT_TRUE(converter.convert(window_picture(client, code)));
  EXPECT_EQ(converter.buffers_made(), 7u);
}

TEST(SwsConverter, RefusesWhatItCannotDo) {
  ConverterSetup odd = setup({320, 180});
  odd.encode = {319, 180};
  EXPECT_FALSE(SwsConverter::create(odd));

  auto converter = SwsConverter::create(setup({320, 180}));
  ASSERT_TRUE(converter);
  // A picture of the window after it shrank no longer holds the crop.
  auto out = (*converter)->convert(window_picture({300, 180}, 5));
  ASSERT_FALSE(out);
  EXPECT_EQ(out.error().message, "the picture does not hold the crop");
}

}  // namespace
}  // namespace orvelle::clips::sim
