#include "overhang/fade.h"

#include "common/numbers.h"

#include <algorithm>

namespace orvelle::setup {

FadeStep fade_step(std::uint64_t elapsed_ms) {
  float h = std::min(static_cast<float>(elapsed_ms) / 180.0f, 1.0f);
  int alpha = std::clamp(round_saturate<int>(h * 255.0f), 0, 255);
  return {static_cast<std::uint8_t>(alpha), h < 1.0f};
}

}  // namespace orvelle::setup
