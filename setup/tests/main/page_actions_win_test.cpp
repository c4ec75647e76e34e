// The page-message handler under Wine, with the state in its slot and a
// plain window standing for the main one.

#include "main/answer_files_win.h"
#include "main/page_actions_win.h"
#include "main/page_address.h"
#include "support/scratch_win.h"

#include <gtest/gtest.h>

namespace orvelle::setup {
namespace {

constexpr std::string_view kPage = "https://setup.orvelle.example/setup.html?lang=en";

bool exists(const std::string& path) {
  return GetFileAttributesW(wide_path(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The state of a running window, taken out of the slot again at the end.
struct RunningWindow {
  HWND window = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  explicit RunningWindow(SetupOptions options) {
    SetupState state;
    state.options = std::move(options);
    state.hwnd = window;
    setup_state_slot().put(std::move(state));
  }
  ~RunningWindow() {
    (void)setup_state_slot().take();
    if (IsWindow(window)) DestroyWindow(window);
  }
};

// A running window whose ready and result files are in a scratch folder.
class PageMessages : public testing::Test {
 protected:
  SetupOptions with_files() {
    SetupOptions o;
    o.ready = scratch.file("ready");
    o.result = scratch.file("result");
    return o;
  }
  ScratchFolder scratch;
  SetupOptions options = with_files();
  RunningWindow running{options};
};

TEST_F(PageMessages, OnlyTheSetupPageIsHeard) {
  ASSERT_TRUE(running.window);
  for (const char* source : {"https://evil/?https://setup.orvelle.example/",
                             "https://setup.orvelle.example.evil/setup.html", "", "about:blank"}) {
    handle_page_message(source, R"({"type":"ready"})");
    handle_page_message(source, R"({"type":"start"})");
  }
  EXPECT_FALSE(exists(*options.ready));
  EXPECT_FALSE(exists(*options.result));
  EXPECT_TRUE(IsWindow(running.window));
  // The page after an in-page navigation is still the page.
  handle_page_message("https://setup.orvelle.example/setup.html#installing",
                      R"({"type":"ready"})");
  EXPECT_TRUE(exists(*options.ready));
}

TEST_F(PageMessages, NothingActsOnceStartHasEndedTheWindow) {
  ASSERT_TRUE(running.window);
  // One dispatch may carry several messages: those after "start" come to a
  // window that is gone.
  handle_page_message(kPage, R"({"type":"start"})");
  EXPECT_FALSE(IsWindow(running.window));
  handle_page_message(kPage, R"({"type":"ready"})");
  handle_page_message(kPage, R"({"type":"overhang","show":true})");
  EXPECT_FALSE(exists(*options.ready));
  auto state = setup_state_slot().borrow();
  ASSERT_TRUE(state);
  EXPECT_TRUE(state->answered);
  EXPECT_FALSE(state->overhang);
}

}  // namespace
}  // namespace orvelle::setup
