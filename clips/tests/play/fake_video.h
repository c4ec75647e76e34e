#pragma once
// A scripted video reader: pictures at fixed times, a key frame every few,
// seeking to the key frame before a time as the platform's reader does.

#include "play/video_reader.h"

#include "play/fake_frames.h"

#include <atomic>
#include <functional>
#include <mutex>

namespace orvelle::clips {

struct ScriptedVideo {
  std::uint32_t width = 8, height = 4;
  int pictures = 30;
  std::int64_t interval = 333'333;  // 30 fps
  int key_every = 10;
  int empty_reads_first = 0;  // after each seek
  std::optional<std::uint64_t> duration = 10'000'000;
  std::function<void(int picture)> on_read;  // on the reading thread
  std::optional<int> fail_at;                // a read failure at this picture
  bool bottom_up = false;                    // rows stored bottom row first, the stride negative
};

class FakeVideoReader final : public VideoReader {
 public:
  explicit FakeVideoReader(ScriptedVideo script) : s_(std::move(script)) {}
  Result<VideoTypeAttributes> native_type() override { return type(); }
  Status set_rgb32(PictureSize size, Ratio) override {
    asked = size;
    return {};
  }
  Status set_rgb32_native() override { return {}; }
  Result<VideoTypeAttributes> current_type() override { return type(); }
  Result<std::uint64_t> duration() override {
    if (!s_.duration) return error(fail("no duration"));
    return *s_.duration;
  }
  Status seek(std::int64_t t) override {
    ++seeks;
    int i = static_cast<int>(std::max<std::int64_t>(t, 0) / s_.interval);
    // Past the end the platform lands on the last key frame.
    i = std::max(std::min(i, s_.pictures - 1), 0);
    next_ = i - i % s_.key_every;
    empty_left_ = s_.empty_reads_first;
    return {};
  }
  Result<VideoRead> read() override {
    ++reads;
    VideoRead r;
    if (empty_left_ > 0) {
      --empty_left_;
      return r;
    }
    if (next_ >= s_.pictures) {
      r.end_of_stream = true;
      return r;
    }
    int i = next_++;
    if (s_.fail_at && *s_.fail_at == i) return error(fail("decoding failed", 0x8000FFFFu));
    if (s_.on_read) s_.on_read(i);
    r.picture = std::make_unique<TestPicture>(s_.width, s_.height, stride(), static_cast<std::uint8_t>(i));
    r.time = i * s_.interval;
    r.duration = s_.interval;
    return r;
  }
  std::atomic<int> seeks{0}, reads{0};
  PictureSize asked;

 private:
  std::int32_t stride() const { return static_cast<std::int32_t>(s_.width * 4) * (s_.bottom_up ? -1 : 1); }
  VideoTypeAttributes type() const {
    return {std::uint64_t{s_.width} << 32 | s_.height, static_cast<std::uint32_t>(stride()), {},
            std::uint64_t{30} << 32 | 1};
  }
  ScriptedVideo s_;
  int next_ = 0;
  int empty_left_ = 0;
};

}  // namespace orvelle::clips
