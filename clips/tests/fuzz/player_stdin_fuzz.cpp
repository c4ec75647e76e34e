// The player's standard input, from raw bytes through the line reader to
// each line's command or its "unknown command …" text: a bad line is one
// line of valid UTF-8 on standard error, and no line ends the input.

#include "common/tests/fuzz/fuzz_target.h"

#include "common/line_reader.h"
#include "common/utf.h"
#include "play/player.h"

#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvelle;
  using namespace orvelle::clips;
  if (size == 0) return 0;
  std::FILE* input = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  FUZZ_CHECK(input != nullptr);
  LineReader reader(input);
  std::string line;
  std::size_t consumed = 0;
  while (reader.read(line) == ReadStatus::line) {
    consumed += line.size();
    auto outcome = player_command_from_line(line);
    if (!outcome || *outcome) continue;
    const std::string& text = outcome->error();
    FUZZ_CHECK(text.starts_with("unknown command "));
    FUZZ_CHECK(is_valid_utf8(text));
    FUZZ_CHECK(text.find('\n') == std::string::npos);
  }
  // Every byte was read as part of some line: nothing stopped the input early.
  FUZZ_CHECK(consumed == size);
  std::fclose(input);
  return 0;
}
