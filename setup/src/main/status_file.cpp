#include "main/status_file.h"

#include "common/text.h"

namespace orvelle::setup {

StatusWord read_status(std::string_view text) {
  // Windows tools open a UTF-8 file with a byte-order mark by default.
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::size_t end = text.find('\n');
  std::string_view first = text.substr(0, end);
  if (first.ends_with('\r')) first.remove_suffix(1);
  first = trim_unicode_whitespace(first);
  StatusWord s;
  if (first == "done") s.kind = StatusWord::Kind::Done;
  else if (first == "abort") s.kind = StatusWord::Kind::Abort;
  else if (first == "failed") s.kind = StatusWord::Kind::Failed;
  if (s.kind != StatusWord::Kind::Failed || end == std::string_view::npos) return s;
  std::string joined;
  std::string_view rest = text.substr(end + 1);
  bool first_line = true;
  while (!rest.empty()) {
    std::size_t nl = rest.find('\n');
    std::string_view line = rest.substr(0, nl);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!first_line) joined += ' ';
    joined += line;
    first_line = false;
    if (nl == std::string_view::npos) break;
    rest.remove_prefix(nl + 1);
  }
  s.message = std::string(trim_unicode_whitespace(joined));
  return s;
}

}  // namespace orvelle::setup
