#include "common/json_write.h"

#include <gtest/gtest.h>

#include <cmath>

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

TEST(JsonWrite, Floats) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {{3.0, "3.0"},     {0.1, "0.1"},      {-2.5, "-2.5"},   {1e21, "1e+21"},
               {1e-7, "1e-07"},  {0.30000000000000004, "0.30000000000000004"},
               {123456789.0, "123456789.0"}, {NAN, "null"}, {INFINITY, "null"}};
  for (const auto& c : cases) EXPECT_EQ(json_float_text(c.value), c.text);
  EXPECT_EQ(to_json_text(Json{{"durationSec", NAN}}), R"({"durationSec":null})");
  EXPECT_EQ(to_json_text(Json{{"n", -5}, {"u", 5u}}), R"({"n":-5,"u":5})");
}

}  // namespace
}  // namespace orvelle
