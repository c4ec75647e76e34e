#pragma once
// The H.264 sequence header of a recording, taken from its first key frame
// that carries one.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orvelle::clips {

// The H.264 sequence header (start code, SPS, start code, PPS) carried by
// an Annex B key frame, if it carries both.
std::optional<std::vector<std::uint8_t>> find_sequence_header(std::span<const std::uint8_t> frame);


}  // namespace orvelle::clips
