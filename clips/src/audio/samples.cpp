#include "audio/samples.h"

#include <algorithm>
#include <cstring>

namespace orvelle::clips {
namespace {

template <typename T>
T load(const std::uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

float sample_float(const std::uint8_t* p, SampleKind kind) {
  switch (kind) {
    case SampleKind::i16: return static_cast<float>(load<std::int16_t>(p)) * 3.0517578125e-05f;
    case SampleKind::i32: return static_cast<float>(load<std::int32_t>(p)) * 4.656612873077393e-10f;
    case SampleKind::f32: break;
  }
  return load<float>(p);
}

// The loop for one kind, so the kind is looked at once per packet.
template <SampleKind Kind>
void append_stereo(const std::uint8_t* p, std::uint32_t frames, const MixFormat& f, std::int16_t* out) {
  constexpr std::uint32_t size = sample_bytes(Kind);
  const std::uint32_t right = std::min<std::uint32_t>(1, f.channels - 1u) * size;
  for (std::uint32_t i = 0; i < frames; ++i, p += f.block_align) {
    if constexpr (Kind == SampleKind::i16) {
      out[2 * i] = load<std::int16_t>(p);
      out[2 * i + 1] = load<std::int16_t>(p + right);
    } else if constexpr (Kind == SampleKind::i32) {
      out[2 * i] = static_cast<std::int16_t>(load<std::int32_t>(p) >> 16);
      out[2 * i + 1] = static_cast<std::int16_t>(load<std::int32_t>(p + right) >> 16);
    } else {
      out[2 * i] = float_to_i16(load<float>(p));
      out[2 * i + 1] = float_to_i16(load<float>(p + right));
    }
  }
}

}  // namespace

std::int16_t read_sample_i16(const std::uint8_t* frame, std::uint16_t channel, const MixFormat& f) {
  const std::uint16_t index = std::min<std::uint16_t>(channel, static_cast<std::uint16_t>(f.channels - 1));
  const std::uint8_t* p = frame + index * sample_bytes(f.kind);
  switch (f.kind) {
    case SampleKind::i16: return load<std::int16_t>(p);
    case SampleKind::i32: return static_cast<std::int16_t>(load<std::int32_t>(p) >> 16);
    case SampleKind::f32: break;
  }
  return float_to_i16(load<float>(p));
}

void game_sound_to_stereo_i16(std::span<const std::uint8_t> bytes, std::uint32_t frames,
                              const MixFormat& f, bool silent, std::vector<std::int16_t>& out) {
  const std::size_t at = out.size();
  out.resize(at + 2 * std::size_t{frames});
  std::int16_t* dst = out.data() + at;
  if (silent || f.block_align == 0 || f.channels == 0) {
    std::fill(dst, dst + 2 * std::size_t{frames}, std::int16_t{0});
    return;
  }
  // A packet shorter than its frame count says is read as far as it goes.
  const std::uint32_t readable = static_cast<std::uint32_t>(
      std::min<std::size_t>(frames, bytes.size() / f.block_align));
  std::fill(dst + 2 * std::size_t{readable}, dst + 2 * std::size_t{frames}, std::int16_t{0});
  switch (f.kind) {
    case SampleKind::i16: append_stereo<SampleKind::i16>(bytes.data(), readable, f, dst); break;
    case SampleKind::i32: append_stereo<SampleKind::i32>(bytes.data(), readable, f, dst); break;
    case SampleKind::f32:
      if (f.channels == 2 && f.block_align == 8) {
        // The usual shared-mode stream: the values lie as they go out.
        const std::uint8_t* src = bytes.data();
        for (std::size_t i = 0; i < 2 * std::size_t{readable}; ++i) dst[i] = float_to_i16(load<float>(src + 4 * i));
      } else {
        append_stereo<SampleKind::f32>(bytes.data(), readable, f, dst);
      }
      break;
  }
}

float mono_sample(const std::uint8_t* frame, const MixFormat& f) {
  float sum = 0;
  const std::uint32_t size = sample_bytes(f.kind);
  for (std::uint32_t c = 0; c < f.channels; ++c) sum += sample_float(frame + c * size, f.kind);
  return sum / static_cast<float>(std::max<std::uint16_t>(f.channels, 1));
}

}  // namespace orvelle::clips
