// The player's command lines: a bad line's text is one line of valid UTF-8,
// and a command reads back the same from the text the client would write
// for it, in the object form and in the array form.

#include "common/tests/fuzz/fuzz_target.h"

#include "common/json_write.h"
#include "common/utf.h"
#include "play/commands.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using namespace orvelle;
using namespace orvelle::clips;

// Nothing for a volume beyond float's range, which no number written for it
// reads back as.
std::optional<Json> fields(const PlayerCommand& command, bool array_form) {
  auto line = [&](const char* tag, const char* key = nullptr, double value = 0) -> Json {
    if (array_form) return key ? Json::array({tag, value}) : Json::array({tag});
    Json out = {{"cmd", tag}};
    if (key) out[key] = value;
    return out;
  };
  if (std::holds_alternative<PlayCommand>(command)) return line("play");
  if (std::holds_alternative<PauseCommand>(command)) return line("pause");
  if (auto* seek = std::get_if<SeekCommand>(&command)) return line("seek", "t", seek->t);
  if (auto* volume = std::get_if<VolumeCommand>(&command)) {
    if (!std::isfinite(volume->v)) return std::nullopt;
    return line("volume", "v", volume->v);
  }
  return line("stop");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto command = deserialize_player_command(text);
  if (!command) {
    const std::string& error = command.error();
    FUZZ_CHECK(is_valid_utf8(error));
    FUZZ_CHECK(std::ranges::none_of(error, [](char c) { return static_cast<unsigned char>(c) < 0x20; }));
    return 0;
  }
  for (bool array_form : {false, true}) {
    auto written = fields(*command, array_form);
    if (!written) continue;
    auto again = deserialize_player_command(to_json_text(*written));
    FUZZ_CHECK(again && *again == *command);
  }
  return 0;
}
