#pragma once
// What the player asks of the platform for sound: a source reader on the
// clip's first sound stream decoding to 32-bit float, and a shared-mode
// playback device with its own clock.

#include "common/win_error.h"

#include <cstdint>
#include <span>
#include <vector>

namespace orvelle::clips {

struct SoundFormat {
  std::uint32_t channels = 0;
  std::uint32_t rate = 0;
  bool is_float = true;  // 32-bit float samples
  // The speaker each channel feeds, as the platform's speaker bits; 0 when
  // the stream does not say. A device takes more than two channels only
  // with it.
  std::uint32_t channel_mask = 0;
  // The stream's own format block as the platform describes it (on Windows
  // a WAVEFORMATEX or WAVEFORMATEXTENSIBLE), for the device as it is.
  std::vector<std::uint8_t> description{};
  bool operator==(const SoundFormat&) const = default;
};

struct SoundRead {
  bool end_of_stream = false;
  bool type_changed = false;
  bool has_sample = false;
  std::int64_t time = 0;  // 100 ns
};

class SoundReader {
 public:
  virtual ~SoundReader() = default;
  // Asks for float output and reads the current type back.
  virtual Result<SoundFormat> set_float_output() = 0;
  virtual Result<SoundFormat> current_format() = 0;
  virtual Status seek(std::int64_t time) = 0;
  // One ReadSample; a sample's samples replace the contents of samples.
  virtual Result<SoundRead> read(std::vector<float>& samples) = 0;
};

struct DevicePosition {
  std::uint64_t position = 0;  // in frequency units
  std::int64_t counter = 0;    // 100 ns, the performance counter at that position
};

class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  virtual std::uint32_t buffer_frames() const = 0;
  virtual std::uint64_t frequency() const = 0;
  virtual Result<std::uint32_t> padding() = 0;
  virtual Result<std::span<float>> get_buffer(std::uint32_t frames) = 0;
  virtual Status release_buffer(std::uint32_t frames) = 0;
  virtual Status start() = 0;
  virtual Status stop() = 0;
  virtual Status reset() = 0;
  virtual Result<DevicePosition> position() = 0;
};

}  // namespace orvelle::clips
