#pragma once
// SHA-1, only as the hash inside name-based UUIDs (the interface ids of
// parameterised WinRT types); it protects nothing.

#include <array>
#include <cstdint>
#include <string_view>

namespace orvelle {

using Sha1Digest = std::array<std::uint8_t, 20>;

Sha1Digest sha1(std::string_view bytes);

}  // namespace orvelle
