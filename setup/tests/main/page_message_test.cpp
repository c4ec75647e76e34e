#include "main/page_action.h"
#include "main/page_message.h"

#include <gtest/gtest.h>

namespace orvelle::setup {
namespace {

TEST(PageMessage, ReadsBothForms) {
  struct Case {
    const char* json;
    const char* type;
    bool show;
  } cases[] = {
      {R"({"type":"ready"})", "ready", false},
      {R"({"type":"ready","x":1})", "ready", false},
      {R"({"x":{"deep":[1,2]},"type":"drag"})", "drag", false},
      {R"({"show":true,"type":"overhang"})", "overhang", true},
      {R"( {"type":"overhang","show":false} )", "overhang", false},
      {R"(["overhang",true])", "overhang", true},
      {R"(["minimize"])", "minimize", false},
      {R"({"type":"Ready"})", "Ready", false},  // read; the action table ignores it
  };
  for (const auto& c : cases) {
    auto m = read_page_message(c.json);
    ASSERT_TRUE(m) << c.json << ": " << m.error();
    EXPECT_EQ(m->type, c.type) << c.json;
    EXPECT_EQ(m->show, c.show) << c.json;
  }
}

TEST(PageMessage, RefusesWholeMessages) {
  struct Case {
    const char* json;
    const char* error;  // the start of the reader's description
  } cases[] = {
      {R"({})", "missing field `type`"},
      {R"({"show":true})", "missing field `type`"},
      {R"({"type":"a","type":"b"})", "duplicate field `type`"},
      {R"({"type":"a","show":true,"show":true})", "duplicate field `show`"},
      {R"({"type":5})", "invalid type"},
      {R"({"type":"overhang","show":"yes"})", "invalid type"},
      {R"({"type":"overhang","show":null})", "invalid type"},
      {R"("ready")", "invalid type"},
      {R"(7)", "invalid type"},
      {R"([])", "invalid length 0"},
      {R"(["a",true,1])", "invalid length 3"},
      {R"([true])", "invalid type"},
      {R"(["overhang",1])", "invalid type"},
      {R"({"type":"ready"} x)", ""},
      {R"({"type":"ready")", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    auto m = read_page_message(c.json);
    ASSERT_FALSE(m) << c.json;
    EXPECT_TRUE(m.error().starts_with(c.error)) << c.json << ": " << m.error();
  }
}

}  // namespace
}  // namespace orvelle::setup

namespace orvelle::setup {
namespace {

TEST(PageAction, EveryTypeAndNoOther) {
  struct Case {
    const char* type;
    bool show;
    PageAction action;
  } cases[] = {
      {"drag", false, PageAction::Drag},         {"ready", false, PageAction::Ready},
      {"close", false, PageAction::Close},       {"start", false, PageAction::Start},
      {"retry", true, PageAction::Retry},        {"minimize", false, PageAction::Minimize},
      {"overhang", true, PageAction::ShowLogo},  {"overhang", false, PageAction::HideLogo},
      {"Ready", false, PageAction::Ignore},      {" ready", false, PageAction::Ignore},
      {"minimise", false, PageAction::Ignore},   {"", false, PageAction::Ignore},
      {"open", true, PageAction::Ignore},
  };
  for (const auto& c : cases)
    EXPECT_EQ(page_action(PageMessage{c.type, c.show}), c.action) << c.type;
}

TEST(PageMessage, AHugeMessageIsRefusedUnread) {
  std::string huge = R"({"type":"ready","pad":")" + std::string(kLongestPageMessage, 'x') + "\"}";
  EXPECT_FALSE(read_page_message(huge));
}

}  // namespace
}  // namespace orvelle::setup
