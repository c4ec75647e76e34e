#include "common/text.h"

#include <array>

namespace orvelle {
namespace {

// The White_Space code points above ASCII, as UTF-8.
constexpr std::array<std::string_view, 19> kWideSpaces = {
    "\xC2\x85",     "\xC2\xA0",     "\xE1\x9A\x80", "\xE2\x80\x80", "\xE2\x80\x81",
    "\xE2\x80\x82", "\xE2\x80\x83", "\xE2\x80\x84", "\xE2\x80\x85", "\xE2\x80\x86",
    "\xE2\x80\x87", "\xE2\x80\x88", "\xE2\x80\x89", "\xE2\x80\x8A", "\xE2\x80\xA8",
    "\xE2\x80\xA9", "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80"};

bool ascii_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::size_t space_prefix(std::string_view s) {
  if (!s.empty() && ascii_space(s.front())) return 1;
  for (auto w : kWideSpaces)
    if (s.starts_with(w)) return w.size();
  return 0;
}

std::size_t space_suffix(std::string_view s) {
  if (!s.empty() && ascii_space(s.back())) return 1;
  for (auto w : kWideSpaces)
    if (s.ends_with(w)) return w.size();
  return 0;
}

}  // namespace

std::string_view trim_unicode_whitespace(std::string_view text) {
  while (std::size_t n = space_prefix(text)) text.remove_prefix(n);
  while (std::size_t n = space_suffix(text)) text.remove_suffix(n);
  return text;
}

std::string_view strip_line_end(std::string_view line) {
  if (line.ends_with('\n')) {
    line.remove_suffix(1);
    if (line.ends_with('\r')) line.remove_suffix(1);
  }
  return line;
}

}  // namespace orvelle
