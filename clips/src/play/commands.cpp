#include "play/commands.h"

#include "common/tagged_command.h"

#include <array>
#include <cmath>
#include <limits>

namespace orvelle::clips {
namespace {

constexpr std::array<std::string_view, 1> kSeekFields = {"t"};
constexpr std::array<std::string_view, 1> kVolumeFields = {"v"};

constexpr std::array<CommandVariant, 5> kVariants = {{
    {"play", "Play", {}, 0},
    {"pause", "Pause", {}, 0},
    {"seek", "Seek", kSeekFields, 1},
    {"volume", "Volume", kVolumeFields, 1},
    {"stop", "Stop", {}, 0},
}};
constexpr CommandEnum kCommand = {"Command", kVariants};

std::expected<PlayerCommand, std::string> build(const CommandVariant& variant,
                                                const VariantContent& content) {
  if (variant.tag == "play") return PlayCommand{};
  if (variant.tag == "pause") return PauseCommand{};
  if (variant.tag == "seek") {
    auto t = content.number_field("t", "f64");
    if (!t) return std::unexpected(t.error());
    return SeekCommand{*t};
  }
  if (variant.tag == "volume") {
    auto v = content.number_field("v", "f32");
    if (!v) return std::unexpected(v.error());
    // Beyond float's range the volume is an infinity, which the player maps
    // like any value out of 0..1.
    double d = *v;
    constexpr double kMax = std::numeric_limits<float>::max();
    float f = d > kMax    ? std::numeric_limits<float>::infinity()
              : d < -kMax ? -std::numeric_limits<float>::infinity()
                          : static_cast<float>(d);
    return VolumeCommand{f};
  }
  return PlayerStopCommand{};
}

}  // namespace

std::expected<PlayerCommand, std::string> deserialize_player_command(std::string_view line) {
  return deserialize_tagged<PlayerCommand>(line, kCommand, build);
}

}  // namespace orvelle::clips
