// The recorder's command line, as bytes split into arguments at each NUL
// (the one byte no argument can hold): every number that reaches a mode lies
// in its range, an unknown argument is one of the line's and no option, and
// the mode follows from the options.

#include "common/tests/fuzz/fuzz_target.h"

#include "shared/options.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace orvelle::clips;

bool is_option(const std::string& arg) {
  static const std::vector<std::string> kOptions = {
      "--pid", "--title", "--fps", "--bitrate", "--seconds", "--audio", "--mic", "--mic-device",
      "--mic-volume", "--list-mics", "--storyboard", "--out", "--board-width", "--board-frames",
      "--play", "--start", "--width", "--autoplay", "--volume", "--duration", "--json", "--quiet",
      "--stage", "--input"};
  return std::ranges::find(kOptions, arg) != kOptions.end();
}

template <typename T>
bool within(T value, T lo, T hi) {
  return value >= lo && value <= hi;
}

void check_ranges(const RecorderOptions& o) {
  FUZZ_CHECK(within(o.fps, 1u, 240u));
  FUZZ_CHECK(within(o.bitrate, 500'000u, 80'000'000u));
  FUZZ_CHECK(within(o.seconds, 5u, 600u));
  FUZZ_CHECK(o.mic_volume <= 200);
  FUZZ_CHECK(within(o.board_width, 64u, 1920u));
  FUZZ_CHECK(within(o.board_frames, 1u, 600u));
  FUZZ_CHECK(within(o.width, 160u, 3840u));
  FUZZ_CHECK(o.height <= 2160);
  FUZZ_CHECK(within(o.volume, 0.0f, 1.0f));  // also false for not-a-number
  FUZZ_CHECK(!o.mic_device || !o.mic_device->empty());
}

void check_mode(const RecorderOptions& o) {
  Mode mode = choose_mode(o);
  FUZZ_CHECK((mode == Mode::ListMics) == o.list_mics);
  if (mode == Mode::Record) FUZZ_CHECK(o.pid != 0 || o.title);
  if (mode == Mode::Usage) FUZZ_CHECK(o.pid == 0 && !o.title && !o.storyboard && !o.play);
  PlayerOptions player = player_options(o);
  FUZZ_CHECK(player.path == o.play.value_or("") && player.width == o.width &&
             player.height == o.height && player.autoplay == o.autoplay);
  FUZZ_CHECK(player.volume == o.volume && (player.start == o.start || std::isnan(o.start)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  while (!rest.empty()) {
    std::size_t cut = std::min(rest.find('\0'), rest.size());
    args.emplace_back(rest.substr(0, cut));
    rest.remove_prefix(std::min(cut + 1, rest.size()));
  }
  auto parsed = parse_recorder_options(args);
  if (auto* unknown = std::get_if<UnknownArgument>(&parsed)) {
    FUZZ_CHECK(std::ranges::find(args, unknown->argument) != args.end());
    FUZZ_CHECK(!is_option(unknown->argument));
    return 0;
  }
  check_ranges(std::get<RecorderOptions>(parsed));
  check_mode(std::get<RecorderOptions>(parsed));
  return 0;
}
