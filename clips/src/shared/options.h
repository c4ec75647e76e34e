#pragma once
// The command line of orvelle-clips: one record for every option of every
// mode, and the choice of the mode.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orvelle::clips {

// How far the recording pipeline runs, for measuring its stages.
enum class CaptureStage { Capture = 0, Convert = 1, Full = 2 };
// The encoder's input layout.
enum class InputFormat { Automatic = 0, Nv12 = 1, Bgra = 2 };

struct RecorderOptions {
  std::uint32_t pid = 0;
  std::optional<std::string> title;
  std::uint32_t fps = 60;
  std::uint32_t bitrate = 10'000'000;
  std::uint32_t seconds = 60;
  bool audio = false;
  bool mic = false;
  std::optional<std::string> mic_device;
  std::uint32_t mic_volume = 100;
  bool list_mics = false;
  std::optional<std::string> storyboard;
  std::optional<std::string> out;
  std::uint32_t board_width = 640;
  std::uint32_t board_frames = 60;
  std::optional<std::string> play;
  double start = 0;
  std::uint32_t width = 1280;
  std::uint32_t height = 0;
  bool autoplay = false;
  float volume = 1.0f;
  std::optional<std::uint64_t> duration;
  bool json = false;
  bool quiet = false;
  CaptureStage stage = CaptureStage::Full;
  InputFormat input = InputFormat::Automatic;
};

// What the player is handed; nothing else of the command line reaches it.
struct PlayerOptions {
  std::string path;
  double start = 0;
  std::uint32_t width = 1280;
  std::uint32_t height = 0;
  float volume = 1.0f;
  bool autoplay = false;
};

struct UnknownArgument {
  std::string argument;
};

// The arguments after the program's name, as UTF-8.
std::variant<RecorderOptions, UnknownArgument> parse_recorder_options(
    const std::vector<std::string>& args);

PlayerOptions player_options(const RecorderOptions& options);

enum class Mode { ListMics, Storyboard, Play, Record, Usage };
Mode choose_mode(const RecorderOptions& options);

// Printed with one line end after it.
inline constexpr std::string_view kUsage =
    "usage: orvelle-clips --pid <pid> | --title <substring> [--fps N] [--bitrate N] "
    "[--seconds N] [--audio] [--mic [--mic-device ID] [--mic-volume %]] "
    "(--json | --duration S [--quiet]) | --list-mics";

}  // namespace orvelle::clips
