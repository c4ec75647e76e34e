#include "capture/convert.h"
#include "capture/converter_setup.h"

#include <gtest/gtest.h>

#include <memory>

namespace orvelle::clips {
namespace {

TEST(FrameConversion, Rectangles) {
  ConverterSetup s = windowed_setup(ConvertMode::video_processor);
  EXPECT_EQ(source_rect(s), (Rect{8, 31, 1288, 751}));
  EXPECT_EQ(destination_rect(s), (Rect{0, 0, 1280, 720}));
  EXPECT_EQ(crop_box(s), (CropBox{8, 31, 0, 1288, 751, 1}));

  s.crop_x = -4;  // the box never starts left of the texture
  s.crop_y = 0;
  EXPECT_EQ(crop_box(s), (CropBox{0, 0, 0, 1280, 720, 1}));
  EXPECT_EQ(source_rect(s), (Rect{-4, 0, 1276, 720}));
}

TEST(FrameConversion, Descriptions) {
  ConverterSetup s = windowed_setup(ConvertMode::video_processor);
  OutputTexture nv12 = output_texture(s);
  EXPECT_EQ(nv12.format, kFormatNv12);
  EXPECT_EQ(nv12.width, 1280u);
  EXPECT_EQ(nv12.height, 720u);
  EXPECT_EQ(nv12.bind_flags, 0x28u);
  EXPECT_EQ(nv12.mip_levels, 1u);
  EXPECT_EQ(nv12.array_size, 1u);
  EXPECT_EQ(nv12.sample_count, 1u);
  EXPECT_EQ(output_texture(windowed_setup(ConvertMode::copy)).format, kFormatBgra);

  ContentDescription d = content_description(s);
  EXPECT_EQ(d.rate_numerator, 60u);
  EXPECT_EQ(d.rate_denominator, 1u);
  EXPECT_EQ(d.input.width, 1296u);  // the whole item goes in, the crop comes out
  EXPECT_EQ(d.input.height, 759u);
  EXPECT_EQ(d.output.width, 1280u);
  EXPECT_EQ(d.output.height, 720u);
  s.fps = 0;
  EXPECT_EQ(content_description(s).rate_numerator, 1u);
}

TEST(FrameConversion, SeventhFrameReusesTheFirstSlot) {
  SlotRing ring;
  std::vector<std::size_t> slots;
  for (int i = 0; i < 8; ++i) slots.push_back(ring.take());
  EXPECT_EQ(slots, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 0, 1}));
}

TEST(FrameConversion, InputViewCacheStartsOverAtTheNinthTexture) {
  // Each entry holds a reference, as the real one holds the texture and its view.
  InputViewCache<std::shared_ptr<int>> cache;
  int textures[9];
  std::vector<std::shared_ptr<int>> views;
  for (int i = 0; i < 9; ++i) views.push_back(std::make_shared<int>(i));

  for (int i = 0; i < 8; ++i) cache.add(&textures[i], views[i]);
  EXPECT_EQ(cache.size(), 8u);
  ASSERT_NE(cache.find(&textures[3]), nullptr);
  EXPECT_EQ(**cache.find(&textures[3]), 3);  // found again, not added again
  EXPECT_EQ(cache.size(), 8u);
  EXPECT_EQ(views[0].use_count(), 2);

  cache.add(&textures[8], views[8]);
  EXPECT_EQ(cache.size(), 1u);
  EXPECT_EQ(cache.find(&textures[0]), nullptr);
  EXPECT_EQ(views[0].use_count(), 1);  // released with the cache
  ASSERT_NE(cache.find(&textures[8]), nullptr);
  EXPECT_EQ(**cache.find(&textures[8]), 8);
}

}  // namespace
}  // namespace orvelle::clips
