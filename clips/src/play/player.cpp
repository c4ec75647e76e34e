#include "play/player.h"

#include "common/channel.h"
#include "common/console.h"
#include "common/text.h"
#include "common/threads.h"
#include "common/utf.h"
#include "play/audio_thread.h"
#include "play/player_events.h"
#include "play/player_state.h"
#include "play/video_thread.h"

#include <fmt/format.h>

namespace orvelle::clips {
namespace {

// A thread the mode joins at its end: its body holds the sender, which goes
// when the body has returned.
struct Joinable {
  Receiver<bool> done;
  void join() {
    std::optional<bool> nothing;
    (void)done.receive(nothing);
  }
};

template <typename Body>
Joinable spawn_joinable(std::string_view name, Body body, std::string_view failure) {
  auto [sender, receiver] = make_channel<bool>();
  spawn_detached(name, [body = std::move(body), sender = std::move(sender)]() mutable { body(); },
                 failure);
  return Joinable{std::move(receiver)};
}

void command_loop(PlayerState& state, std::FILE* input) {
  LineReader reader(input);
  std::string line;
  while (reader.read(line) == ReadStatus::line) {
    auto command = player_command_from_line(line);
    if (!command) continue;
    if (!*command) {
      write_line(Stream::err, command->error());
      continue;
    }
    if (std::holds_alternative<PlayerStopCommand>(**command)) return;
    apply_player_command(state, **command);
    if (std::holds_alternative<PlayCommand>(**command) || std::holds_alternative<PauseCommand>(**command)) {
      bool playing;
      {
        std::lock_guard lock(state.playback);
        playing = state.playing;
      }
      print_json_line(state_event(playing));
    }
  }
}

}  // namespace

std::optional<std::expected<PlayerCommand, std::string>> player_command_from_line(std::string_view line) {
  std::string_view text = trim_unicode_whitespace(strip_line_end(line));
  if (text.empty()) return std::nullopt;
  if (!is_valid_utf8(text)) {
    // The line itself goes to standard error as text the client can read.
    std::u16string wide = utf8_to_utf16(text);
    return std::unexpected(
        fmt::format("unknown command {}: stream did not contain valid UTF-8", utf16_to_utf8(wide)));
  }
  auto command = deserialize_player_command(text);
  if (!command) return std::unexpected(fmt::format("unknown command {}: {}", text, command.error()));
  return command;
}

int run_player(const PlayerOptions& options, PlayerPlatform& platform) {
  if (auto started = platform.start_media(); !started) {
    print_json_line(error_event(started.error().text()));
    return 1;
  }
  // Shared with the threads, which a start-up failure leaves to finish on
  // their own.
  auto state = std::make_shared<PlayerState>(platform.time(), options);
  auto [startup, results] = make_channel<StartupResult>();
  auto [ready_out, printed] = make_channel<bool>();
  PictureSize requested{options.width, options.height};
  Joinable video = spawn_joinable(
      "video",
      [&platform, path = options.path, state, requested, startup = std::move(startup),
       printed = std::move(printed)]() mutable {
        run_playback_video(std::move(startup), std::move(printed), platform, path, *state, requested);
      },
      "video thread");
  std::optional<StartupResult> first;
  if (results.receive(first) != RecvStatus::value) return 1;
  if (auto* text = std::get_if<std::string>(&*first)) {
    print_json_line(error_event(*text));
    return 1;
  }
  print_json_line(std::get<Json>(*first));
  (void)ready_out.send(true);
  Joinable audio = spawn_joinable(
      "audio", [&platform, path = options.path, state] { run_playback_audio(platform, path, *state); },
      "audio thread");
  command_loop(*state, platform.input());
  apply_player_command(*state, PlayerStopCommand{});
  video.join();
  audio.join();
  return 0;
}

}  // namespace orvelle::clips
