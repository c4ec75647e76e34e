#include "common/numbers.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

TEST(Numbers, UnsignedSyntax) {
  EXPECT_EQ(parse_u32("0"), 0u);
  EXPECT_EQ(parse_u32("+30"), 30u);
  EXPECT_EQ(parse_u32("4294967295"), 4294967295u);
  EXPECT_EQ(parse_u32("004"), 4u);
  for (const char* bad : {"", "+", "-5", " 5", "5 ", "++5", "4294967296", "99999999999", "1e3", "0x10"})
    EXPECT_FALSE(parse_u32(bad)) << bad;
  EXPECT_EQ(parse_unsigned("18446744073709551615"), UINT64_MAX);
  EXPECT_FALSE(parse_unsigned("18446744073709551616"));
}

TEST(Numbers, FloatSyntax) {
  EXPECT_EQ(parse_float("2.5"), 2.5);
  EXPECT_EQ(parse_float("-1"), -1.0);
  EXPECT_EQ(parse_float("+.5e1"), 5.0);
  EXPECT_EQ(parse_float("1e999"), std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(*parse_float("NaN")));
  for (const char* bad : {"", "abc", "1.5x", " 1", "0x1p3", "--1", "e5"})
    EXPECT_FALSE(parse_float(bad)) << bad;
}

TEST(Numbers, SaturatingConversion) {
  EXPECT_EQ(saturate_cast<std::uint32_t>(std::nan("")), 0u);
  EXPECT_EQ(saturate_cast<std::uint32_t>(-5.0), 0u);
  EXPECT_EQ(saturate_cast<std::uint32_t>(1e20), UINT32_MAX);
  EXPECT_EQ(round_saturate<std::int64_t>(2.5), 3);
  EXPECT_EQ(round_saturate<std::int64_t>(-2.5), -3);
}

}  // namespace
}  // namespace orvelle
