#include "app/run_clips.h"

#include "common/console.h"
#include "shared/events.h"

#include <fmt/format.h>

namespace orvelle::clips {

int run_clips(const std::vector<std::string>& args, const Modes& modes) {
  auto parsed = parse_recorder_options(args);
  if (auto* unknown = std::get_if<UnknownArgument>(&parsed)) {
    write_line(Stream::err, fmt::format("unknown argument {}", unknown->argument));
    return 2;
  }
  const auto& options = std::get<RecorderOptions>(parsed);
  switch (choose_mode(options)) {
    case Mode::ListMics: return modes.list_microphones(options);
    case Mode::Storyboard: return modes.make_storyboard(options);
    case Mode::Play: return modes.run_player(player_options(options));
    case Mode::Usage: write_line(Stream::err, kUsage); return 2;
    case Mode::Record: break;
  }
  auto recorded = modes.run_record_session(options);
  if (recorded) return 0;
  emit_event(options.json,
             Json{{"event", "status"}, {"state", "error"}, {"message", recorded.error().text()}});
  return 1;
}

}  // namespace orvelle::clips
