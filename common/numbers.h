#pragma once
// Number rules of the command lines and exact numeric helpers.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace orvelle {

// Decimal digits with an optional single leading "+"; nothing else, and no
// value above the type's range (an overflow is bad, not large).
std::optional<std::uint64_t> parse_unsigned(std::string_view text,
                                            std::uint64_t max = UINT64_MAX);
inline std::optional<std::uint32_t> parse_u32(std::string_view text) {
  auto v = parse_unsigned(text, UINT32_MAX);
  if (!v) return std::nullopt;
  return static_cast<std::uint32_t>(*v);
}

// Decimal floating-point text with optional sign, fraction and exponent, as a
// whole; "inf", "infinity" and "nan" in any letter case are read too.
std::optional<double> parse_float(std::string_view text);

// Float to integer, saturating at the type's bounds; NaN gives 0.
template <typename Int>
Int saturate_cast(double value) {
  if (std::isnan(value)) return 0;
  constexpr double lo = static_cast<double>(std::numeric_limits<Int>::min());
  constexpr double hi = static_cast<double>(std::numeric_limits<Int>::max());
  if (value <= lo) return std::numeric_limits<Int>::min();
  if (value >= hi) return std::numeric_limits<Int>::max();
  return static_cast<Int>(value);
}

// Rounds half away from zero, then saturates.
template <typename Int>
Int round_saturate(double value) {
  return saturate_cast<Int>(std::round(value));
}

}  // namespace orvelle
