#include "audio/mix_format.h"

#include <algorithm>

namespace orvelle::clips {
namespace {

constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagFloat = 3;
constexpr std::uint16_t kTagExtensible = 0xFFFE;
constexpr std::size_t kBaseSize = 18;        // WAVEFORMATEX with its cbSize
constexpr std::size_t kExtensibleSize = 40;  // WAVEFORMATEXTENSIBLE
constexpr std::uint16_t kExtensibleExtra = 22;

// KSDATAFORMAT_SUBTYPE_PCM and _IEEE_FLOAT as they lie in memory: the
// format tag in the first field, then the fixed tail every such id shares.
constexpr std::array<std::uint8_t, 16> subformat(std::uint8_t tag) {
  return {tag, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
}

std::uint16_t u16_at(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::uint32_t u32_at(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(u16_at(b, at)) | static_cast<std::uint32_t>(u16_at(b, at + 2)) << 16;
}

WinError bad_format() { return fail("mix format", hresult::kUnsupportedFormat); }

}  // namespace

Result<MixFormat> parse_mix_format(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kBaseSize) return error(bad_format());
  const std::uint16_t tag = u16_at(bytes, 0);
  const std::uint16_t bits = u16_at(bytes, 14);
  MixFormat f{u32_at(bytes, 4), u16_at(bytes, 2), u16_at(bytes, 12), SampleKind::f32};

  if (tag == kTagExtensible) {
    if (u16_at(bytes, 16) < kExtensibleExtra || bytes.size() < kExtensibleSize) return error(bad_format());
    const auto sub = bytes.subspan(24, 16);
    const bool pcm = std::ranges::equal(sub, subformat(kTagPcm));
    const bool real = std::ranges::equal(sub, subformat(kTagFloat));
    if (bits == 16 && pcm) f.kind = SampleKind::i16;
    else if (bits == 32 && real) f.kind = SampleKind::f32;
    else if (bits == 32 && pcm) f.kind = SampleKind::i32;
    else return error(bad_format());
  } else if (tag == kTagFloat && bits == 32) {
    f.kind = SampleKind::f32;
  } else if (tag == kTagPcm && bits == 16) {
    f.kind = SampleKind::i16;
  } else {
    return error(bad_format());
  }

  const std::uint32_t needed = std::min<std::uint32_t>(f.channels, 2) * sample_bytes(f.kind);
  if (f.channels == 0 || f.block_align < needed) return error(bad_format());
  return f;
}

std::array<std::uint8_t, 18> float_mono_format(std::uint32_t rate) {
  std::array<std::uint8_t, 18> b{};
  auto put16 = [&](std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    put16(at, static_cast<std::uint16_t>(v));
    put16(at + 2, static_cast<std::uint16_t>(v >> 16));
  };
  put16(0, kTagFloat);
  put16(2, 1);
  put32(4, rate);
  put32(8, rate * 4);
  put16(12, 4);
  put16(14, 32);
  put16(16, 0);
  return b;
}

}  // namespace orvelle::clips
