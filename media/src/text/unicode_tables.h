#pragma once
// The Unicode tables, generated at build time by tools/unicode_tables.py from
// Debian's unicode-data (never typed in). Every table is sorted by code point.

#include <span>

namespace orvelle::media::unicode {

struct LowerMapping {
  char32_t from, to;
};
// A lower-case mapping to more than one character, zero-padded.
struct LowerExpansion {
  char32_t from;
  char32_t to[3];
};
struct Range {
  char32_t first, last;  // inclusive
};

extern const std::span<const LowerMapping> kLowerSingle;
extern const std::span<const LowerExpansion> kLowerMulti;
extern const std::span<const Range> kAlphabetic;
extern const std::span<const Range> kNumeric;  // general category Nd, Nl, No
extern const std::span<const Range> kWhiteSpace;
extern const std::span<const Range> kCased;
extern const std::span<const Range> kCaseIgnorable;

}  // namespace orvelle::media::unicode
