#include "mp4/boxes.h"

#include <algorithm>
#include <cstring>

namespace orvelle::clips {

std::uint32_t read_be32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         std::uint32_t{p[3]};
}

std::uint64_t read_be64(const std::uint8_t* p) {
  return (std::uint64_t{read_be32(p)} << 32) | read_be32(p + 4);
}

std::optional<Box> read_box_header(std::span<const std::uint8_t> bytes, std::uint64_t offset,
                                   std::uint64_t range_end) {
  if (offset > range_end) return std::nullopt;
  const std::uint64_t room = range_end - offset;
  if (room < kBoxHeader || bytes.size() < kBoxHeader) return std::nullopt;
  Box box;
  box.offset = offset;
  std::memcpy(box.type.data(), bytes.data() + 4, 4);
  std::uint64_t size = read_be32(bytes.data());
  box.header_length = kBoxHeader;
  if (size == 1) {
    if (room < kLongBoxHeader || bytes.size() < kLongBoxHeader) return std::nullopt;
    size = read_be64(bytes.data() + 8);
    box.header_length = kLongBoxHeader;
  } else if (size == 0) {
    size = room;
  }
  // Compared against the room, never added to a position: a 64-bit size
  // near 2^64 must not wrap around.
  if (size < box.header_length || size > room) return std::nullopt;
  box.end = offset + size;
  return box;
}

std::vector<Box> parse_box_list(std::span<const std::uint8_t> buffer, std::uint64_t start,
                                std::uint64_t end) {
  std::vector<Box> boxes;
  end = std::min<std::uint64_t>(end, buffer.size());
  std::uint64_t p = start;
  while (p < end) {
    auto box = read_box_header(buffer.subspan(p, std::min(end - p, kLongBoxHeader)), p, end);
    if (!box) break;
    p = box->end;
    boxes.push_back(*box);
  }
  return boxes;
}

std::optional<Box> find_box(const std::vector<Box>& boxes, std::string_view type) {
  for (const Box& box : boxes)
    if (box.is(type)) return box;
  return std::nullopt;
}

}  // namespace orvelle::clips
