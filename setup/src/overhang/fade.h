#pragma once
// The logo's fade-in: 180 ms from transparent to opaque.

#include <cstdint>

namespace orvelle::setup {

struct FadeStep {
  std::uint8_t alpha = 0;  // the constant alpha to present
  bool goes_on = false;    // false once fully opaque
  friend bool operator==(const FadeStep&, const FadeStep&) = default;
};

FadeStep fade_step(std::uint64_t elapsed_ms);

}  // namespace orvelle::setup
