#include "record/commands.h"

#include "common/tagged_command.h"
#include "common/threads.h"
#include "common/text.h"
#include "common/utf.h"

#include <array>
#include <fmt/format.h>

namespace orvelle::clips {
namespace {

constexpr std::array<std::string_view, 3> kSaveFields = {"id", "path", "finish"};
constexpr std::array<std::string_view, 1> kSecondsFields = {"seconds"};
constexpr std::array<std::string_view, 1> kVolumeFields = {"volume"};

constexpr std::array<CommandVariant, 4> kVariants = {{
    {"save", "Save", kSaveFields, 2},
    {"seconds", "Seconds", kSecondsFields, 1},
    {"micvolume", "Micvolume", kVolumeFields, 1},
    {"stop", "Stop", {}, 0},
}};
constexpr CommandEnum kCommand = {"Command", kVariants};

std::expected<Command, std::string> build(const CommandVariant& variant,
                                          const VariantContent& content) {
  if (variant.tag == "save") {
    auto id = content.string_field("id");
    if (!id) return std::unexpected(id.error());
    auto path = content.string_field("path");
    if (!path) return std::unexpected(path.error());
    auto finish = content.optional_string_field("finish");
    if (!finish) return std::unexpected(finish.error());
    return SaveCommand{std::move(*id), std::move(*path), std::move(*finish)};
  }
  if (variant.tag == "seconds") {
    auto seconds = content.u32_field("seconds");
    if (!seconds) return std::unexpected(seconds.error());
    return SecondsCommand{*seconds};
  }
  if (variant.tag == "micvolume") {
    auto volume = content.u32_field("volume");
    if (!volume) return std::unexpected(volume.error());
    return MicvolumeCommand{*volume};
  }
  return StopCommand{};
}

}  // namespace

std::expected<Command, std::string> deserialize_command(std::string_view line) {
  return deserialize_tagged<Command>(line, kCommand, build);
}

std::optional<std::expected<Command, std::string>> command_from_line(std::string_view line) {
  // A line that is not UTF-8 is one bad command, not the end of the
  // recording: ending here would stop everything and lose the seconds
  // nobody has saved yet.
  if (!is_valid_utf8(line))
    return std::unexpected(std::string("bad command: stream did not contain valid UTF-8"));
  std::string_view text = strip_line_end(line);
  if (trim_unicode_whitespace(text).empty()) return std::nullopt;
  auto command = deserialize_command(text);
  if (!command) return std::unexpected(fmt::format("bad command: {}", command.error()));
  return command;
}

void run_stdin_commands(LineReader input, Sender<Command> commands, SharedOutput output,
                        StopFlag stop_flag) {
  std::string line;
  while (input.read(line) == ReadStatus::line) {
    auto command = command_from_line(line);
    if (!command) continue;
    if (!*command) {
      emit_log(output->json, command->error());
      continue;
    }
    if (commands.send(std::move(**command)) == SendResult::disconnected) break;
  }
  // The flag before the channel: the main loop must find the flag set once it
  // sees the channel close.
  stop_flag->store(true);
  commands.reset();
}

void start_stdin_commands(Sender<Command> commands, SharedOutput output, StopFlag stop_flag) {
  spawn_detached(
      "",
      [commands = std::move(commands), output = std::move(output),
       stop_flag = std::move(stop_flag)]() mutable {
        run_stdin_commands(LineReader(stdin), std::move(commands), std::move(output),
                           std::move(stop_flag));
      },
      "failed to spawn thread");
}

}  // namespace orvelle::clips
