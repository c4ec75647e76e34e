#include "ring/sequence_header.h"

namespace orvelle::clips {
namespace {

// Start codes: 00 00 01, or 00 00 00 01. Returns the code's length at i, or 0.
std::size_t start_code_at(std::span<const std::uint8_t> b, std::size_t i) {
  if (b[i] != 0 || b[i + 1] != 0) return 0;
  if (b[i + 2] == 1) return 3;
  if (b[i + 2] == 0 && i + 4 <= b.size() && b[i + 3] == 1) return 4;
  return 0;
}

void put_unit(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> unit) {
  static constexpr std::uint8_t kStartCode[] = {0, 0, 0, 1};
  out.insert(out.end(), std::begin(kStartCode), std::end(kStartCode));
  out.insert(out.end(), unit.begin(), unit.end());
}

}  // namespace

std::optional<std::vector<std::uint8_t>> find_sequence_header(
    std::span<const std::uint8_t> frame) {
  std::optional<std::span<const std::uint8_t>> sps, pps;
  auto take = [&](std::size_t from, std::size_t to) {
    if (from >= to) return;
    auto unit = frame.subspan(from, to - from);
    std::uint8_t type = unit[0] & 0x1F;
    if (type == 7 && !sps) sps = unit;
    if (type == 8 && !pps) pps = unit;
  };
  std::optional<std::size_t> unit_start;
  std::size_t i = 0;
  // The scan ends once both are found: what follows them is the picture,
  // most of a key frame's bytes.
  while (i + 3 <= frame.size() && !(sps && pps)) {
    std::size_t code = start_code_at(frame, i);
    if (code == 0) {
      ++i;
      continue;
    }
    if (unit_start) take(*unit_start, i);
    i += code;
    unit_start = i;
  }
  if (unit_start) take(*unit_start, frame.size());
  if (!sps || !pps) return std::nullopt;
  std::vector<std::uint8_t> header;
  header.reserve(8 + sps->size() + pps->size());
  put_unit(header, *sps);
  put_unit(header, *pps);
  return header;
}

}  // namespace orvelle::clips
