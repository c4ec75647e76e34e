// The cover decoder's own checks on what a file's stream and its decoder
// hand over, where no small file gets there: the decoded picture's size and
// the copy of the stream's parameters into the decoder.

#include "sim/ffmpeg/picture_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
}

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace orvelle::media::sim {
namespace {

struct FrameFree {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using Frame = std::unique_ptr<AVFrame, FrameFree>;

// An RGBA frame, every pixel the same.
Frame rgba_frame(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  Frame frame(av_frame_alloc());
  frame->width = width;
  frame->height = height;
  frame->format = AV_PIX_FMT_RGBA;
  if (av_frame_get_buffer(frame.get(), 0) < 0) return nullptr;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = frame->data[0] + y * frame->linesize[0] + x * 4;
      p[0] = r, p[1] = g, p[2] = b, p[3] = 255;
    }
  return frame;
}

// A decoder may give a picture larger than its stream declared: past 16384
// on a side it is refused before its pixels are held.
TEST(PictureFile, ADecodedPicturePastTheLargestSideIsRefused) {
  struct Case {
    int width, height;
    bool refused;
  };
  for (const Case& c : {Case{16385, 1, true}, Case{1, 16385, true}, Case{16384, 1, false}, Case{3, 2, false}}) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    Frame frame = rgba_frame(c.width, c.height, 200, 10, 30);
    ASSERT_TRUE(frame);
    auto picture = picture_of_frame("cover.png", *frame);
    if (c.refused) {
      ASSERT_FALSE(picture);
      EXPECT_EQ(picture.error().message,
                "cover.png: " + std::to_string(c.width) + " x " + std::to_string(c.height) +
                    " is larger than 16384 x 16384");
      continue;
    }
    ASSERT_TRUE(picture) << picture.error().text();
    auto size = (*picture)->size();
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, static_cast<std::uint32_t>(c.width));
    EXPECT_EQ(size->height, static_cast<std::uint32_t>(c.height));
  }
  // The picture that is kept has the frame's pixels.
  Frame small = rgba_frame(3, 2, 200, 10, 30);
  auto picture = picture_of_frame("cover.png", *small);
  ASSERT_TRUE(picture);
  auto pixels = (*picture)->pixels({3, 2}, std::nullopt);
  ASSERT_TRUE(pixels) << pixels.error().text();
  ASSERT_EQ(pixels->size(), 3u * 2 * 4);
  for (std::size_t p = 0; p < pixels->size(); p += 4)
    EXPECT_EQ((std::vector<int>{(*pixels)[p], (*pixels)[p + 1], (*pixels)[p + 2], (*pixels)[p + 3]}),
              (std::vector<int>{200, 10, 30, 255}));
}

// Copying the stream's parameters into the decoder can fail (here its
// extra data finds no memory under a lowered allocation limit); the cover is
// then refused with that error, not decoded with half its parameters.
TEST(PictureFile, AFailedCopyOfTheStreamsParametersIsTheDecodersError) {
  std::vector<std::uint8_t> extra(2 << 20);
  AVCodecParameters* par = avcodec_parameters_alloc();
  ASSERT_NE(par, nullptr);
  par->codec_type = AVMEDIA_TYPE_VIDEO;
  par->codec_id = AV_CODEC_ID_PNG;
  par->width = 16;
  par->height = 8;
  auto opened = open_decoder("cover.png", *par);
  ASSERT_TRUE(opened) << opened.error().text();  // the same stream without the extra data
  par->extradata = extra.data();
  par->extradata_size = static_cast<int>(extra.size());
  av_max_alloc(1 << 20);
  auto refused = open_decoder("cover.png", *par);
  av_max_alloc(INT_MAX);
  par->extradata = nullptr;
  par->extradata_size = 0;
  avcodec_parameters_free(&par);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().message, "cover.png: Cannot allocate memory");
}

}  // namespace
}  // namespace orvelle::media::sim
