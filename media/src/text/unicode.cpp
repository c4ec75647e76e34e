#include "text/unicode.h"

#include "common/utf.h"
#include "text/unicode_tables.h"

#include <algorithm>
#include <vector>

namespace orvelle::media {
namespace {

using unicode::Range;

bool in(std::span<const Range> table, char32_t c) {
  auto it = std::upper_bound(table.begin(), table.end(), c,
                             [](char32_t v, const Range& r) { return v < r.first; });
  return it != table.begin() && c <= std::prev(it)->last;
}

constexpr char32_t kCapitalSigma = 0x3A3, kFinalSigma = 0x3C2, kSmallSigma = 0x3C3;

// A code point, or a byte that is not UTF-8 (kept as it is).
struct Unit {
  char32_t c;
  std::string_view raw;
  bool scalar;
};

std::vector<Unit> decode(std::string_view text) {
  std::vector<Unit> out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t start = i;
    char32_t c = next_scalar(text, i);
    out.push_back({c, text.substr(start, i - start), c != kInvalidScalar});
  }
  return out;
}

// The final-sigma condition: a cased letter before (case-ignorable ones
// between are skipped) and none after.
bool ends_word(const std::vector<Unit>& units, std::size_t at) {
  auto cased = [&](std::size_t k) { return units[k].scalar && in(unicode::kCased, units[k].c); };
  auto ignorable = [&](std::size_t k) {
    return units[k].scalar && in(unicode::kCaseIgnorable, units[k].c);
  };
  std::size_t k = at;
  while (k > 0 && ignorable(k - 1)) --k;
  if (k == 0 || !cased(k - 1)) return false;
  k = at + 1;
  while (k < units.size() && ignorable(k)) ++k;
  return k == units.size() || !cased(k);
}

}  // namespace

void append_lower_case(std::string& out, char32_t c) {
  auto multi = std::lower_bound(unicode::kLowerMulti.begin(), unicode::kLowerMulti.end(), c,
                                [](const unicode::LowerExpansion& m, char32_t v) { return m.from < v; });
  if (multi != unicode::kLowerMulti.end() && multi->from == c) {
    for (char32_t t : multi->to)
      if (t) append_utf8(out, t);
    return;
  }
  auto one = std::lower_bound(unicode::kLowerSingle.begin(), unicode::kLowerSingle.end(), c,
                              [](const unicode::LowerMapping& m, char32_t v) { return m.from < v; });
  append_utf8(out, one != unicode::kLowerSingle.end() && one->from == c ? one->to : c);
}

std::string lower_case(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool ascii = std::all_of(text.begin(), text.end(), [](char b) { return (b & 0x80) == 0; });
  if (ascii) {  // the usual app id or word: no decoding needed
    for (char b : text) out += (b >= 'A' && b <= 'Z') ? static_cast<char>(b + 32) : b;
    return out;
  }
  std::vector<Unit> units = decode(text);
  for (std::size_t i = 0; i < units.size(); ++i) {
    const Unit& u = units[i];
    if (!u.scalar)
      out += u.raw;
    else if (u.c == kCapitalSigma)
      append_utf8(out, ends_word(units, i) ? kFinalSigma : kSmallSigma);
    else
      append_lower_case(out, u.c);
  }
  return out;
}

bool is_alphabetic(char32_t c) { return in(unicode::kAlphabetic, c); }
bool is_numeric(char32_t c) { return in(unicode::kNumeric, c); }
bool is_white_space(char32_t c) { return in(unicode::kWhiteSpace, c); }

}  // namespace orvelle::media
