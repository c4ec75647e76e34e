// The source readers under Wine on an H.264/AAC MP4 that ffmpeg made for
// the run (play_clip.mp4 beside the test program).

#include "play/media_reader_win.h"

#include "common/utf.h"
#include "play/video_geometry.h"
#include "win/media_foundation_up.h"
#include "win/test_paths.h"

#include <gtest/gtest.h>

namespace orvelle::clips {
namespace {

std::string clip_path() {
  std::wstring w = beside_this_program(L"play_clip.mp4");
  return utf16_to_utf8(std::u16string(w.begin(), w.end()));
}

TEST(MediaReaderWin, TheVideoStreamsNativeTypeDurationAndSeek) {
  start_media_foundation();
  auto reader = open_video_reader_win(clip_path());
  ASSERT_TRUE(reader) << reader.error().text();
  auto native = (*reader)->native_type();
  ASSERT_TRUE(native) << native.error().text();
  auto geometry = read_video_geometry(*native);
  ASSERT_TRUE(geometry);
  EXPECT_EQ(geometry->visible_width, 320u);
  EXPECT_EQ(geometry->visible_height, 180u);
  auto duration = (*reader)->duration();
  ASSERT_TRUE(duration) << duration.error().text();
  EXPECT_NEAR(static_cast<double>(*duration) / 1e7, 2.0, 0.1);
  EXPECT_TRUE((*reader)->seek(10'000'000));
}

TEST(MediaReaderWin, ANonExistentClipIsTheSystemsError) {
  start_media_foundation();
  auto reader = open_video_reader_win(clip_path() + ".missing");
  ASSERT_FALSE(reader);
  EXPECT_NE(reader.error().code, 0u);
}

TEST(MediaReaderWin, TheSoundStreamDecodesToFloatAndSeeks) {
  start_media_foundation();
  auto reader = open_sound_reader_win(clip_path());
  ASSERT_TRUE(reader) << reader.error().text();
  ASSERT_TRUE(*reader);
  auto format = (**reader)->set_float_output();
  ASSERT_TRUE(format) << format.error().text();
  EXPECT_EQ(format->channels, 2u);
  EXPECT_EQ(format->rate, 48'000u);
  EXPECT_TRUE(format->is_float);
  ASSERT_TRUE((**reader)->seek(10'000'000));
  std::vector<float> samples;
  bool got = false;
  for (int i = 0; i < 50 && !got; ++i) {
    auto read = (**reader)->read(samples);
    ASSERT_TRUE(read) << read.error().text();
    ASSERT_FALSE(read->end_of_stream);
    if (read->has_sample) {
      got = true;
      // Wine's reader lands a little after the time, not on the packet before.
      EXPECT_NEAR(static_cast<double>(read->time), 10'000'000, 1'000'000);
      EXPECT_FALSE(samples.empty());
    }
  }
  EXPECT_TRUE(got);
}

}  // namespace
}  // namespace orvelle::clips
