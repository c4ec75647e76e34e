#include "play/frame_copy.h"
#include "play/frames_layout.h"
#include "play/frames_writer.h"
#include "play/pixel_swap.h"

#include "play/fake_frames.h"
#include "support/deadline.h"
#include "support/frames_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>

namespace orvelle::clips {
namespace {

VideoGeometry full(std::uint32_t w, std::uint32_t h, std::int32_t stride) { return {h, 0, 0, w, h, stride}; }

struct FramesTest : ::testing::Test {
  static constexpr std::uint32_t W = 12, H = 5;
  FramesSize size = *frames_size(W, H);
  MemoryFramesFile file{size.file_bytes};
  FramesWriter writer{file, W, H, size};
  std::uint8_t* slot(std::uint32_t i) { return file.bytes().data() + kFramesHeaderBytes + i * size.slot_bytes; }
  // R, G, B, A of pixel (x, y) of slot i.
  std::array<std::uint8_t, 4> pixel(std::uint32_t i, std::uint32_t x, std::uint32_t y) {
    std::uint8_t* p = slot(i) + (y * W + x) * 4;
    return {p[0], p[1], p[2], p[3]};
  }
};

TEST_F(FramesTest, AFreshHeaderHoldsExactlyTheLayout) {
  auto bytes = file.bytes();
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes.data()), 4), "QVRM");
  EXPECT_EQ(file.u32(4), 1u);
  EXPECT_EQ(file.u32(8), 3u);
  EXPECT_EQ(file.u32(12), W * H * 4);
  EXPECT_EQ(file.u32(16), 1u);
  EXPECT_EQ(file.u32(20), W);
  EXPECT_EQ(file.u32(24), H);
  for (std::size_t i = 28; i < 128; ++i) EXPECT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(bytes.size(), 128 + 3 * W * H * 4);
}

TEST_F(FramesTest, WithoutAReaderTheWriterAlternatesAndNeverTouchesTheReadersSlot) {
  std::memset(slot(2), 0xee, size.slot_bytes);
  TestPicture picture(W, H, W * 4, 9);
  ASSERT_TRUE(writer.publish_frame(picture, full(W, H, W * 4), 20'000'000, 4));
  EXPECT_EQ(file.u32(16), 0x100u);
  EXPECT_EQ(writer.write_slot(), 1u);
  EXPECT_EQ(file.slot_time(0), 2.0);
  EXPECT_EQ(file.slot_generation(0), 4u);
  EXPECT_EQ(pixel(0, 3, 2), (std::array<std::uint8_t, 4>{9, 2, 3, 255}));
  std::uint32_t expected[] = {1, 0, 1, 0};
  for (std::uint32_t want : expected) {
    ASSERT_TRUE(writer.publish_frame(picture, full(W, H, W * 4), 0, 5));
    EXPECT_EQ(file.u32(16), want | 0x100u);
  }
  for (std::size_t i = 0; i < size.slot_bytes; ++i) ASSERT_EQ(slot(2)[i], 0xee);
  EXPECT_EQ(picture.locks, picture.unlocks);
}

TEST_F(FramesTest, BottomUpAndTwoDimensionalBuffersAreWrittenTopRowFirst) {
  constexpr auto kRow = static_cast<std::int32_t>(W * 4);
  struct Case {
    std::int32_t stride;
    bool two_d;
    bool packed = false;  // the lock's extent is the packed picture's
    std::int32_t type_stride = 0;  // the geometry's, when not the buffer's
  } cases[] = {{-kRow, false}, {-64, true}, {64, true}, {64, false},
               // Rows wider than the type's stride, top-down and bottom-up.
               {64, true, true, kRow}, {-64, true, true, kRow}, {-64, true, true, -kRow}};
  for (const auto& c : cases) {
    TestPicture picture(W, H, c.stride, 1, c.two_d, c.packed);
    ASSERT_TRUE(writer.publish_frame(picture, full(W, H, c.type_stride ? c.type_stride : c.stride), 0, 1))
        << c.stride;
    std::uint32_t written = file.u32(16) & 0xff;
    for (std::uint32_t y = 0; y < H; ++y)
      EXPECT_EQ(pixel(written, W - 1, y), (std::array<std::uint8_t, 4>{1, static_cast<std::uint8_t>(y), W - 1, 255}))
          << c.stride << " row " << y;
  }
}

TEST_F(FramesTest, OnlyTheVisibleAreaIsCopiedAndTheRestOfTheSlotStays) {
  std::memset(slot(0), 0x11, size.slot_bytes);
  TestPicture picture(16, 8, 64, 3);
  VideoGeometry g{8, 2, 1, 6, 3, 64};  // 6 × 3 visible from (2, 1)
  ASSERT_TRUE(writer.publish_frame(picture, g, 0, 1));
  EXPECT_EQ(pixel(0, 0, 0), (std::array<std::uint8_t, 4>{3, 1, 2, 255}));
  EXPECT_EQ(pixel(0, 5, 2), (std::array<std::uint8_t, 4>{3, 3, 7, 255}));
  EXPECT_EQ(pixel(0, 6, 0), (std::array<std::uint8_t, 4>{0x11, 0x11, 0x11, 0x11}));
  EXPECT_EQ(pixel(0, 0, 3), (std::array<std::uint8_t, 4>{0x11, 0x11, 0x11, 0x11}));
}

TEST_F(FramesTest, RowsBeyondTheLockedBufferAreRefusedAndNothingIsPublished) {
  struct Case {
    const char* what;
    VideoGeometry geometry;
    std::size_t shrink;
  } cases[] = {
      {"a buffer shorter than its rows", full(W, H, W * 4), 1},
      {"a stride shorter than a row", full(W, H, W * 2), 0},
      {"a bottom-up frame taller than the buffer", {H + 3, 0, 0, W, H, -static_cast<std::int32_t>(W * 4)}, 0},
      {"a visible area below the buffer", {H, 0, 3, W, H, static_cast<std::int32_t>(W * 4)}, 0},
  };
  for (const auto& c : cases) {
    TestPicture picture(W, H, W * 4, 1);
    picture.shrink(c.shrink);
    std::uint32_t before = file.u32(16);
    auto published = writer.publish_frame(picture, c.geometry, 0, 1);
    EXPECT_FALSE(published) << c.what;
    EXPECT_EQ(file.u32(16), before) << c.what;
    EXPECT_EQ(picture.unlocks, 1) << c.what;
  }
}

TEST(FramesSize, SizesAreSixtyFourBitAndASlotBeyondThirtyTwoIsRefused) {
  auto hd = frames_size(1920, 1080);
  ASSERT_TRUE(hd);
  EXPECT_EQ(hd->slot_bytes, 1920u * 1080 * 4);
  EXPECT_EQ(hd->file_bytes, 128u + 3ull * 1920 * 1080 * 4);
  auto largest = frames_size(32768, 32767);
  ASSERT_TRUE(largest);
  EXPECT_EQ(largest->file_bytes, 128 + 3ull * 32768 * 32767 * 4);
  EXPECT_FALSE(frames_size(32768, 32768));
  EXPECT_FALSE(frames_size(UINT32_MAX, UINT32_MAX));
}

// Every path the processor runs, against the bytes the conversion has always
// given, over every alignment of a row's start (0 to 63 bytes past a 64-byte
// boundary) and of its end (row lengths 0 to 80 pixels), for source and
// destination apart; the bytes on either side stay as they were.
TEST(FrameCopy, EveryPathSwapsEveryPixelAtEveryAlignment) {
  std::vector<std::uint8_t> in(64 + 80 * 4 + 64);
  for (std::size_t i = 0; i < in.size(); ++i) in[i] = static_cast<std::uint8_t>(i * 7 + 3);
  std::vector<std::uint8_t> out(in.size());
  for (SwapPath path : available_swap_paths()) {
    for (std::size_t start = 0; start < 64; ++start) {
      for (std::size_t n = 0; n <= 80; ++n) {
        const std::size_t to = (start * 5) % 64;  // the destination at another alignment
        std::fill(out.begin(), out.end(), std::uint8_t{0xcc});
        bgrx_to_rgba(path, in.data() + start, out.data() + to, n);
        for (std::size_t p = 0; p < n; ++p) {
          const std::uint8_t* s = in.data() + start + p * 4;
          const std::uint8_t* d = out.data() + to + p * 4;
          ASSERT_TRUE(d[0] == s[2] && d[1] == s[1] && d[2] == s[0] && d[3] == 255)
              << "path " << static_cast<int>(path) << ", start " << start << ", " << n << " pixels, pixel " << p;
        }
        for (std::size_t i = 0; i < out.size(); ++i) {
          if (i < to || i >= to + n * 4) {
            ASSERT_EQ(out[i], 0xcc) << "path " << static_cast<int>(path) << ", start " << start << ", " << n
                                    << " pixels, byte " << i;
          }
        }
      }
    }
  }
  // The dispatched one is one of them.
  std::vector<std::uint8_t> a(4 * 33), b(4 * 33);
  bgrx_to_rgba(in.data() + 1, a.data(), 33);
  bgrx_to_rgba(SwapPath::plain, in.data() + 1, b.data(), 33);
  EXPECT_EQ(a, b);
}

// The writer publishes as fast as it can, the reader takes at random
// moments; every picture the reader holds stays whole while it holds it,
// and the pictures it takes only go forward.
TEST(FramesExchange, TheWriterNeverWritesTheSlotTheReaderHolds) {
  Deadline deadline(std::chrono::seconds(60), "a million exchanges");
  constexpr std::uint32_t W = 4, H = 1;
  FramesSize size = *frames_size(W, H);
  MemoryFramesFile file(size.file_bytes);
  FramesWriter writer(file, W, H, size);
  constexpr int kPictures = 1'000'000;
  std::atomic<bool> done{false};
  std::thread writing([&] {
    for (int i = 1; i <= kPictures; ++i) {
      TestPicture picture(W, H, W * 4, static_cast<std::uint8_t>(i));
      // Every pixel of a picture carries its number in R, so a torn slot shows.
      ASSERT_TRUE(writer.publish_frame(picture, full(W, H, W * 4), i, 1));
    }
    done = true;
  });
  FramesReader reader{file.bytes()};
  std::mt19937 random(7);
  double last_time = 0;
  int taken = 0;
  while (!done.load() || (file.u32(16) & kFreshPicture)) {
    auto slot = reader.take();
    if (!slot) continue;
    ++taken;
    const std::uint8_t* pixels = file.bytes().data() + kFramesHeaderBytes + *slot * size.slot_bytes;
    double time = file.slot_time(*slot);
    ASSERT_GT(time, last_time);
    last_time = time;
    for (int spin = random() % 64; spin > 0; --spin) std::atomic_signal_fence(std::memory_order_seq_cst);
    for (std::uint32_t p = 1; p < W; ++p) ASSERT_EQ(pixels[p * 4], pixels[0]);
    ASSERT_EQ(pixels[0], static_cast<std::uint8_t>(static_cast<std::int64_t>(time * 1e7 + 0.5)));
  }
  writing.join();
  EXPECT_GT(taken, 0);
  EXPECT_EQ(last_time, kPictures / 1e7);
}

}  // namespace
}  // namespace orvelle::clips
