// The capture-time code: which cell holds which bit, and that the code
// reads back from the luma of the client area at any size the recorder
// encodes, including the even crop of an odd client area.

#include "sim/time_code.h"

#include "sim/tests/pictures.h"

#include <gtest/gtest.h>

namespace orvelle::clips::sim {
namespace {

struct Painted {
  BgraPicture picture;
  Rect area;
};

Painted painted(std::uint64_t code, Size client, FrameInsets f = {8, 31, 8, 8}) {
  Painted p{BgraPicture({client.width + f.left + f.right, client.height + f.top + f.bottom}),
            Rect{static_cast<std::int32_t>(f.left), static_cast<std::int32_t>(f.top),
                 static_cast<std::int32_t>(f.left + client.width),
                 static_cast<std::int32_t>(f.top + client.height)}};
  paint_time_code(code, p.picture.view(), p.area);
  return p;
}

std::uint32_t pixel(const BgraPicture& picture, std::uint32_t x, std::uint32_t y) {
  const std::uint8_t* p = picture.data() + y * picture.stride() + x * 4;
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

TEST(TimeCode, BitIGoesToCellIRowByRowFromTheTopLeft) {
  // Bit 9: second row, second column; bit 63: the bottom-right cell.
  Painted p = painted((std::uint64_t{1} << 9) | (std::uint64_t{1} << 63), {800, 400}, {0, 0, 0, 0});
  for (std::uint32_t row = 0; row < 8; ++row)
    for (std::uint32_t column = 0; column < 8; ++column) {
      const bool white = (row == 1 && column == 1) || (row == 7 && column == 7);
      SCOPED_TRACE(row * 8 + column);
      // Every pixel of the cell: its corners and its middle.
      for (auto [x, y] : {std::pair{column * 100, row * 50}, std::pair{column * 100 + 99, row * 50 + 49},
                          std::pair{column * 100 + 50, row * 50 + 25}})
        EXPECT_EQ(pixel(p.picture, x, y), white ? 0xFFFFFFFFu : 0xFF000000u);
    }
}

TEST(TimeCode, TheFrameAroundStaysGrey) {
  Painted p = painted(~std::uint64_t{0}, {160, 90});
  const Size size = p.picture.size();
  for (auto [x, y] : {std::pair{0u, 0u}, std::pair{7u, 40u}, std::pair{100u, 30u},
                      std::pair{size.width - 1, size.height - 1}, std::pair{50u, 31u + 90u}})
    EXPECT_EQ(pixel(p.picture, x, y), 0xFF808080u) << x << "," << y;
  EXPECT_EQ(pixel(p.picture, 8, 31), 0xFFFFFFFFu);
}

TEST(TimeCode, ReadsBackAtEverySize) {
  const std::uint64_t codes[] = {0, 1, 9'000, 86'400'000, 0x8000'0000'0000'0001u, ~std::uint64_t{0},
                                 0x5555'AAAA'3333'CCCCu};
  const Size sizes[] = {{160, 90}, {161, 91}, {1281, 721}, {1920, 1080}, {7680, 16}};
  for (Size client : sizes)
    for (std::uint64_t code : codes) {
      SCOPED_TRACE(testing::Message() << client.width << "x" << client.height << " " << code);
      Painted p = painted(code, client);
      // The recorder encodes the client area cut down to even sides.
      Rect even = p.area;
      even.right -= (client.width % 2);
      even.bottom -= (client.height % 2);
      auto luma = luma_of(p.picture, even);
      const Size read{static_cast<std::uint32_t>(even.right - even.left),
                      static_cast<std::uint32_t>(even.bottom - even.top)};
      EXPECT_EQ(read_time_code(luma.data(), read.width, read), code);
    }
}

TEST(TimeCode, AnUnclearCellReadsAsNothing) {
  Painted p = painted(0x0F0F, {320, 180}, {0, 0, 0, 0});
  auto luma = luma_of(p.picture, p.area);
  ASSERT_EQ(read_time_code(luma.data(), 320, {320, 180}), 0x0F0Fu);
  // One cell (bit 20: row 2, column 4) turned mid grey in its middle.
  for (std::uint32_t y = 50; y < 64; ++y)
    for (std::uint32_t x = 165; x < 195; ++x) luma[y * 320 + x] = 126;
  EXPECT_EQ(read_time_code(luma.data(), 320, {320, 180}), std::nullopt);
}

TEST(TimeCode, IsTheWholeMillisecondsSinceTheStart) {
  EXPECT_EQ(time_code(Ticks{0}), 0u);
  EXPECT_EQ(time_code(Ticks{9'999}), 0u);
  EXPECT_EQ(time_code(Ticks{10'000}), 1u);
  EXPECT_EQ(time_code(Ticks{30'019'999}), 3001u);
  EXPECT_EQ(time_code(Ticks{-10'000}), 0u);
}

}  // namespace
}  // namespace orvelle::clips::sim
