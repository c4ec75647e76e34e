// The recorder's standard input, from raw bytes through the line reader to
// each line's command or its "bad command: ..." text. A bad line logs as one
// line of valid UTF-8; a command reads back the same from the text the
// client would write for it, in the object form and in the array form.

#include "common/tests/fuzz/fuzz_target.h"

#include "common/json_write.h"
#include "common/line_reader.h"
#include "common/utf.h"
#include "record/commands.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

using namespace orvelle;
using namespace orvelle::clips;

Json fields(const Command& command, bool array_form) {
  auto put = [&](Json& out, const char* key, Json value) {
    if (array_form)
      out.push_back(std::move(value));
    else
      out[key] = std::move(value);
  };
  Json out = array_form ? Json::array() : Json::object();
  std::visit(
      [&](const auto& c) {
        using C = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<C, SaveCommand>) {
          put(out, "cmd", "save");
          put(out, "id", c.id);
          put(out, "path", c.path);
          if (c.finish) put(out, "finish", *c.finish);
        } else if constexpr (std::is_same_v<C, SecondsCommand>) {
          put(out, "cmd", "seconds");
          put(out, "seconds", c.seconds);
        } else if constexpr (std::is_same_v<C, MicvolumeCommand>) {
          put(out, "cmd", "micvolume");
          put(out, "volume", c.volume);
        } else {
          put(out, "cmd", "stop");
        }
      },
      command);
  return out;
}

bool one_line(const std::string& text) {
  return std::ranges::none_of(text, [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

void check_line(const std::string& line) {
  auto outcome = command_from_line(line);
  if (!outcome) return;
  if (!*outcome) {
    const std::string& log = outcome->error();
    FUZZ_CHECK(log.starts_with("bad command: "));
    FUZZ_CHECK(is_valid_utf8(log));
    FUZZ_CHECK(one_line(log));
    return;
  }
  for (bool array_form : {false, true}) {
    auto again = deserialize_command(to_json_text(fields(**outcome, array_form)));
    FUZZ_CHECK(again && *again == **outcome);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::FILE* input = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  FUZZ_CHECK(input != nullptr);
  LineReader reader(input);
  std::string line;
  while (reader.read(line) == ReadStatus::line) check_line(line);
  std::fclose(input);
  return 0;
}
