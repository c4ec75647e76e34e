#pragma once
// The box structure of ISO base media (MP4) files. Box sizes come from the
// file and are not trusted: a box never reaches past its range, and a size
// that does not fit ends the walk.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace orvelle::clips {

struct Box {
  std::uint64_t offset = 0;         // of the box's first byte
  std::uint64_t header_length = 0;  // 8, or 16 with a 64-bit size
  std::uint64_t end = 0;            // just past the box
  std::array<char, 4> type{};

  std::uint64_t payload() const { return offset + header_length; }
  bool is(std::string_view t) const { return std::string_view(type.data(), type.size()) == t; }
  bool operator==(const Box&) const = default;
};

std::uint32_t read_be32(const std::uint8_t* p);
std::uint64_t read_be64(const std::uint8_t* p);

inline constexpr std::uint64_t kBoxHeader = 8;
inline constexpr std::uint64_t kLongBoxHeader = 16;

// The box whose header is at the start of bytes, lying at offset in a range
// that ends at range_end. bytes holds the 8-byte header, and 8 more when the
// 32-bit size is 1 and the range allows them. Size 1 takes the 64-bit size
// that follows, size 0 the rest of the range. Nothing when the size is
// shorter than its header or runs past the range.
std::optional<Box> read_box_header(std::span<const std::uint8_t> bytes, std::uint64_t offset,
                                   std::uint64_t range_end);

// The boxes one after another in [start, end) of buffer, up to the first
// whose size does not fit.
std::vector<Box> parse_box_list(std::span<const std::uint8_t> buffer, std::uint64_t start,
                                std::uint64_t end);

// The first box of a type in a list.
std::optional<Box> find_box(const std::vector<Box>& boxes, std::string_view type);

}  // namespace orvelle::clips
