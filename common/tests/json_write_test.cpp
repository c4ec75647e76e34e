#include "common/json_write.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>

namespace orvelle {
namespace {

TEST(JsonWrite, CompactWithSortedKeys) {
  Json event = {{"width", 1920u}, {"event", "status"}, {"audio", "aac"}, {"gameTrack", false},
                {"gaps", Json::array({Json{{"ms", 250u}, {"at", 1700000000000u}}})}};
  EXPECT_EQ(to_json_text(event),
            R"({"audio":"aac","event":"status","gameTrack":false,)"
            R"("gaps":[{"at":1700000000000,"ms":250}],"width":1920})");
}

TEST(JsonWrite, StringEscapes) {
  std::string out;
  append_json_string(out, "q\" b\\ \b\f\n\r\t \x01\x1f \x7f \xC3\xA9");
  EXPECT_EQ(out, "\"q\\\" b\\\\ \\b\\f\\n\\r\\t \\u0001\\u001f \x7f \xC3\xA9\"");
  out.clear();
  append_json_string(out, "bad\xFF");
  EXPECT_EQ(out, "\"bad\xEF\xBF\xBD\"");
}

TEST(JsonWrite, FloatsAreShortestAndReadBack) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {3.0, "3.0"},
      {0.1, "0.1"},
      {-0.0, "-0.0"},
      {-2.5, "-2.5"},
      {1e5, "100000.0"},
      {123456789.0, "123456789.0"},
      {1e15, "1000000000000000.0"},
      {1e16, "1e16"},
      {1.5e16, "1.5e16"},
      {1e21, "1e21"},
      {0.00001, "0.00001"},
      {1.5e-7, "1.5e-7"},
      {1e-7, "1e-7"},
      {0.30000000000000004, "0.30000000000000004"},
      {59.98, "59.98"},
      {5e-324, "5e-324"},
      {std::numeric_limits<double>::max(), "1.7976931348623157e308"},
      {-std::numeric_limits<double>::max(), "-1.7976931348623157e308"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string text = json_float_text(c.value);
    EXPECT_EQ(text, c.text);
    double back = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), back);
    EXPECT_EQ(ec, std::errc());
    EXPECT_EQ(end, text.data() + text.size());
    EXPECT_EQ(std::signbit(back), std::signbit(c.value));
    EXPECT_EQ(back, c.value);
    EXPECT_EQ(Json::parse(text).get<double>(), c.value);  // a JSON reader takes it too
  }
  EXPECT_EQ(json_float_text(NAN), "null");
  EXPECT_EQ(json_float_text(-INFINITY), "null");
  EXPECT_EQ(to_json_text(Json{{"durationSec", NAN}}), R"({"durationSec":null})");
  EXPECT_EQ(to_json_text(Json{{"n", -5}, {"u", 5u}}), R"({"n":-5,"u":5})");
}

}  // namespace
}  // namespace orvelle
