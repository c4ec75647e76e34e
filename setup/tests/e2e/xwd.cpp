#include "e2e/xwd.h"

#include <bit>

namespace orvelle::e2e {
namespace {

std::uint32_t big_endian(const std::string& b, std::size_t at) {
  auto u = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i])); };
  return u(0) << 24 | u(1) << 16 | u(2) << 8 | u(3);
}

int channel(std::uint32_t value, std::uint32_t mask) {
  if (mask == 0) return 0;
  return static_cast<int>((value & mask) >> std::countr_zero(mask));
}

}  // namespace

std::optional<Screenshot> Screenshot::read(std::string bytes) {
  if (bytes.size() < 100) return std::nullopt;
  auto field = [&](int i) { return big_endian(bytes, static_cast<std::size_t>(i) * 4); };
  std::uint32_t header = field(0), format = field(2), bits = field(11), colours = field(19);
  if (format != 2 || (bits != 24 && bits != 32)) return std::nullopt;
  Screenshot s;
  s.width_ = static_cast<int>(field(4));
  s.height_ = static_cast<int>(field(5));
  s.msb_first_ = field(7) != 0;
  s.bytes_per_pixel_ = static_cast<int>(bits / 8);
  s.stride_ = field(12);
  s.masks_[0] = field(14);
  s.masks_[1] = field(15);
  s.masks_[2] = field(16);
  s.offset_ = header + std::size_t{colours} * 12;
  if (s.offset_ + s.stride_ * static_cast<std::size_t>(s.height_) > bytes.size())
    return std::nullopt;
  s.bytes_ = std::move(bytes);
  return s;
}

Rgb Screenshot::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  std::size_t at = offset_ + static_cast<std::size_t>(y) * stride_ +
                   static_cast<std::size_t>(x) * static_cast<std::size_t>(bytes_per_pixel_);
  std::uint32_t v = 0;
  for (int i = 0; i < bytes_per_pixel_; ++i) {
    auto byte = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[at + static_cast<std::size_t>(i)]));
    if (msb_first_) v = v << 8 | byte;
    else v |= byte << (8 * i);
  }
  return {channel(v, masks_[0]), channel(v, masks_[1]), channel(v, masks_[2])};
}

}  // namespace orvelle::e2e
