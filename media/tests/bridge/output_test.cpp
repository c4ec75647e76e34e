#include "bridge/output.h"

#include "support/lines.h"

#include <gtest/gtest.h>

#include <limits>

namespace orvelle::media {
namespace {

using testing::CapturedLines;

TEST(Output, LinesAreCompactSortedAndEscaped) {
  CapturedLines lines;
  emit_line(Json{{"type", "ready"}});
  emit_line(Json{{"type", "done"}, {"cmd", "stop"}, {"ok", false}});
  emit_line(Json{{"type", "volume"}, {"sessions", 0u}, {"value", -1.0}});
  emit_line(Json{{"title", "a\"b\\c\td\n\x01\x1f 😀"}, {"rate", 1.0}, {"r2", 0.37}, {"r3", 1e21},
                 {"nan", std::numeric_limits<double>::quiet_NaN()}, {"at", -5}});
  EXPECT_EQ(lines.out, (std::vector<std::string>{
                           R"({"type":"ready"})",
                           R"({"cmd":"stop","ok":false,"type":"done"})",
                           R"({"sessions":0,"type":"volume","value":-1.0})",
                           "{\"at\":-5,\"nan\":null,\"r2\":0.37,\"r3\":1e21,\"rate\":1.0,"
                           "\"title\":\"a\\\"b\\\\c\\td\\n\\u0001\\u001f 😀\"}",
                       }));
}

// state, none, none, state (as the first): the repeated none is dropped, and
// the state prints again because the last printed text was none.
TEST(Output, RepeatsOfStateAndNoneAreSuppressed) {
  CapturedLines lines;
  std::string last;
  Json state = {{"type", "state"}, {"title", "Song"}};
  std::string text = to_json_text(state);
  Json with_now = state;
  with_now["now"] = 1;
  emit_if_changed(last, text, with_now);
  with_now["now"] = 2;
  emit_if_changed(last, text, with_now);  // differs only in "now"
  emit_if_changed(last, "none", Json{{"type", "none"}});
  emit_if_changed(last, "none", Json{{"type", "none"}});
  emit_if_changed(last, text, with_now);
  EXPECT_EQ(lines.out, (std::vector<std::string>{R"({"now":1,"title":"Song","type":"state"})",
                                                 R"({"type":"none"})",
                                                 R"({"now":2,"title":"Song","type":"state"})"}));
}

TEST(Output, ErrorLineText) {
  set_message_lookup([](std::uint32_t code) -> std::string {
    return code == 0 ? "The operation completed successfully.\r\n" : "";
  });
  EXPECT_EQ(error_line_text(WinError{0x80004004u, "Operation aborted"}),
            "Operation aborted (0x80004004)");
  EXPECT_EQ(error_line_text(WinError{0x80040154u, ""}), "(0x80040154)");  // no leading blank
  EXPECT_EQ(error_line_text(WinError{0x5u, "denied "}), "denied (0x5)");
  EXPECT_EQ(error_line_text(WinError{0, ""}), "The operation completed successfully. (0x0)");
  EXPECT_EQ(error_message(WinError{0x80004005u, "reading"}), "reading");
  set_message_lookup({});
}

}  // namespace
}  // namespace orvelle::media
