#include "app/run_media.h"

#include "app/options.h"
#include "bridge/output.h"
#include "bridge/run.h"
#include "bridge/stdin_lines.h"
#include "common/console.h"
#include "common/threads.h"

#include <fmt/format.h>

namespace orvelle::media {

int run_media(const std::vector<std::string>& args, MediaPlatform& platform, LoopClock& clock,
              std::FILE* input) {
  ParsedOptions options = parse_media_options(args);
  for (const std::string& a : options.unknown)
    write_line(Stream::err, fmt::format("unknown argument {}", a));
  auto [sender, receiver] = make_channel<LoopMessage>();
  // Nobody joins the reader: the process ends without waiting for it.
  spawn_detached("", [input, s = sender]() mutable { read_stdin_lines(input, std::move(s)); },
                 "cannot start the stdin reader");
  Status outcome = run(options.config, platform, clock, std::move(sender), receiver);
  if (outcome) return 0;
  emit_line(Json{{"type", "error"}, {"msg", error_line_text(outcome.error())}});
  return 1;
}

}  // namespace orvelle::media
