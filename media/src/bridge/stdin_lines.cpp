#include "bridge/stdin_lines.h"

#include "common/line_reader.h"
#include "common/text.h"

namespace orvelle::media {

void read_stdin_lines(std::FILE* input, LoopSender sender) {
  LineReader reader(input);
  std::string line;
  // A read error counts as the end of input. A line that is not UTF-8 is
  // passed on like any other: the command dispatch answers it as a line that
  // does not parse, and the client's feed goes on.
  while (input && reader.read(line) == ReadStatus::line) {
    std::string_view text = trim_unicode_whitespace(strip_line_end(line));
    if (text.empty()) continue;
    if (sender.send(Line{std::string(text)}) != SendResult::sent) return;
  }
  (void)sender.send(EndOfInput{});
}

}  // namespace orvelle::media
