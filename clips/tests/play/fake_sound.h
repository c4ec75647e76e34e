#pragma once
// A scripted sound stream and a device that keeps everything written to it.

#include "play/sound_io.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <optional>

namespace orvelle::clips {

struct ScriptedSound {
  SoundFormat format{2, 48'000, true};
  std::uint32_t frames_per_sample = 960;  // 20 ms
  int samples = 50;                       // one second
  std::int64_t first_time = 0;            // negative: an encoder's priming
  int empty_reads = 0;                    // before every sample
  bool forever_empty = false;
  std::optional<int> type_change_at;      // a type change reported with this sample
  SoundFormat changed_to{2, 48'000, true};
};

class FakeSoundReader final : public SoundReader {
 public:
  explicit FakeSoundReader(ScriptedSound s) : s_(s), format_(s.format) {}
  Result<SoundFormat> set_float_output() override { return s_.format; }
  Result<SoundFormat> current_format() override { return format_; }
  Status seek(std::int64_t t) override {
    std::int64_t per = std::int64_t{s_.frames_per_sample} * 10'000'000 / s_.format.rate;
    next_ = static_cast<int>(t / per);
    return {};
  }
  // Sample i holds the value i + 1 in every place, so dropped and kept
  // samples can be told apart.
  Result<SoundRead> read(std::vector<float>& out) override {
    ++reads;
    SoundRead r;
    if (s_.forever_empty || empty_left_ > 0) {
      if (empty_left_ > 0) --empty_left_;
      return r;
    }
    empty_left_ = s_.empty_reads;
    if (next_ >= s_.samples) {
      r.end_of_stream = true;
      return r;
    }
    int i = next_++;
    if (s_.type_change_at == i) {
      r.type_changed = true;
      format_ = s_.changed_to;
    }
    out.assign(std::size_t{s_.frames_per_sample} * s_.format.channels, static_cast<float>(i + 1));
    r.has_sample = true;
    r.time = s_.first_time + std::int64_t{i} * s_.frames_per_sample * 10'000'000 / s_.format.rate;
    return r;
  }
  // The first sample's time after a seek, for a test that seeks into one.
  void start_at(int i, std::int64_t time) {
    next_ = i;
    offset_time_ = time;
  }
  std::atomic<int> reads{0};

 private:
  ScriptedSound s_;
  SoundFormat format_;
  int next_ = 0;
  int empty_left_ = 0;
  std::int64_t offset_time_ = 0;
};

class RecordingDevice final : public SoundDevice {
 public:
  explicit RecordingDevice(std::uint32_t frames = 4800, std::uint32_t channels = 2)
      : frames_(frames), channels_(channels), buffer_(std::size_t{frames} * channels) {}
  std::uint32_t buffer_frames() const override { return frames_; }
  std::uint64_t frequency() const override { return 48'000; }
  Result<std::uint32_t> padding() override { return padding_; }
  Result<std::span<float>> get_buffer(std::uint32_t frames) override {
    return std::span<float>(buffer_.data(), std::size_t{frames} * channels_);
  }
  Status release_buffer(std::uint32_t frames) override {
    std::lock_guard lock(mutex);
    written.insert(written.end(), buffer_.begin(), buffer_.begin() + std::size_t{frames} * channels_);
    return {};
  }
  Status start() override {
    ++starts;
    if (lost) return error(fail("", 0x88890004u));  // AUDCLNT_E_DEVICE_INVALIDATED
    return {};
  }
  Status stop() override {
    ++stops;
    return {};
  }
  Status reset() override {
    ++resets;
    return {};
  }
  Result<DevicePosition> position() override { return DevicePosition{}; }

  std::uint32_t padding_ = 0;
  bool lost = false;  // the device went away: starting it fails
  std::mutex mutex;
  std::vector<float> written;
  std::atomic<int> starts{0}, stops{0}, resets{0};

 private:
  std::uint32_t frames_, channels_;
  std::vector<float> buffer_;
};

}  // namespace orvelle::clips
