#include "common/json_read.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

TEST(JsonRead, KeepsMembersInOrderWithDuplicatesAndNumberKinds) {
  auto doc = parse_json(R"( {"b":1,"a":-2,"b":2.5,"s":"\u00e9\ud83c\udfae\n","z":[true,null]} )", 128);
  ASSERT_TRUE(doc) << doc.error();
  ASSERT_EQ(doc->members.size(), 5u);
  EXPECT_EQ(doc->members[0].key, "b");
  EXPECT_EQ(doc->members[0].value.kind, JsonNode::Kind::unsigned_int);
  EXPECT_EQ(doc->members[1].value.kind, JsonNode::Kind::signed_int);
  EXPECT_EQ(doc->members[1].value.signed_int, -2);
  EXPECT_EQ(doc->members[2].value.kind, JsonNode::Kind::floating);
  EXPECT_EQ(doc->members[3].value.string, "\xC3\xA9\xF0\x9F\x8E\xAE\n");
  EXPECT_EQ(doc->members[4].value.items.size(), 2u);
  EXPECT_EQ(doc->end, 66u);  // just past the closing brace
}

TEST(JsonRead, NumbersAtTheEdges) {
  auto big = parse_json("18446744073709551616", 128);
  ASSERT_TRUE(big);
  EXPECT_EQ(big->kind, JsonNode::Kind::floating);
  auto minus_zero = parse_json("-0", 128);
  ASSERT_TRUE(minus_zero);
  EXPECT_EQ(minus_zero->kind, JsonNode::Kind::unsigned_int);
  EXPECT_EQ(parse_json("1e-400", 128)->floating, 0.0);
}

TEST(JsonRead, ErrorsNameTheFaultAndItsPlace) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"", "EOF while parsing a value at line 1 column 0"},
      {"{", "EOF while parsing an object at line 1 column 1"},
      {"[1,", "EOF while parsing a value at line 1 column 3"},
      {"[1 2]", "expected `,` or `]` at line 1 column 4"},
      {R"({"a" 1})", "expected `:` at line 1 column 6"},
      {"{1:2}", "key must be a string at line 1 column 2"},
      {R"({"a":1,})", "trailing comma at line 1 column 8"},
      {"[1,]", "trailing comma at line 1 column 4"},
      {"{} x", "trailing characters at line 1 column 4"},
      {"tru", "EOF while parsing a value at line 1 column 3"},
      {"nul1", "expected ident at line 1 column 4"},
      {"01", "invalid number at line 1 column 2"},
      {"1.", "EOF while parsing a value at line 1 column 2"},
      {"-x", "invalid number at line 1 column 2"},
      {"1e999", "number out of range at line 1 column 1"},
      {"\"a\x01\"", "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 3"},
      {R"("\q")", "invalid escape at line 1 column 3"},
      {R"("\ud83c")", "unexpected end of hex escape at line 1 column 8"},
      {"\"\xFF\"", "invalid unicode code point at line 1 column 3"},
      {"[\n1 x]", "expected `,` or `]` at line 2 column 3"},
  };
  for (const auto& c : cases) {
    auto doc = parse_json(c.text, 128);
    ASSERT_FALSE(doc) << c.text;
    EXPECT_EQ(doc.error(), c.error) << c.text;
  }
}

TEST(JsonRead, DepthIsLimitedWithoutRecursingDeeper) {
  EXPECT_TRUE(parse_json(std::string(128, '[') + std::string(128, ']'), 128));
  auto deep = parse_json(std::string(129, '[') + std::string(129, ']'), 128);
  ASSERT_FALSE(deep);
  EXPECT_EQ(deep.error(), "recursion limit exceeded at line 1 column 129");
  // Far beyond the limit: an error line, never a stack overflow.
  EXPECT_FALSE(parse_json(std::string(1'000'000, '['), 128));
  EXPECT_FALSE(parse_json(std::string(1'000'000, '{'), 128));
}

}  // namespace
}  // namespace orvelle
