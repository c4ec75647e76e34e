#include "capture/window_search.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvelle::clips {
namespace {

struct FakeWindow final : WindowFacts {
  bool is_visible = true;
  std::uint32_t pid = 7;
  bool owned = false;
  std::uint32_t ex_style = 0;
  std::u16string text = u"Game";
  bool iconic = false;
  std::optional<Rect> restored = Rect{0, 0, 0, 0};
  std::optional<Rect> client;
  mutable int title_reads = 0;

  bool visible() const override { return is_visible; }
  std::uint32_t process_id() const override { return pid; }
  bool has_owner() const override { return owned; }
  std::uint32_t extended_style() const override { return ex_style; }
  std::u16string title() const override { return ++title_reads, text; }
  bool minimised() const override { return iconic; }
  std::optional<Rect> restored_rect() const override { return restored; }
  std::optional<Rect> client_rect() const override { return client; }
};

FakeWindow sized(std::int32_t w, std::int32_t h) {
  FakeWindow f;
  f.client = Rect{0, 0, w, h};
  return f;
}

template <typename Change>
FakeWindow with(FakeWindow f, Change change) {
  change(f);
  return f;
}

// Runs one pass; gives the index of the chosen window, or -1.
int pick(const std::vector<FakeWindow>& windows, std::optional<std::string> title,
         std::uint32_t pid) {
  GameWindowSearch search;
  search.title = std::move(title);
  search.process_id = pid;
  for (std::size_t i = 0; i < windows.size(); ++i)
    consider_window(search, reinterpret_cast<WindowHandle>(i + 1), windows[i]);
  if (!search.found) return -1;
  return static_cast<int>(reinterpret_cast<std::uintptr_t>(search.window)) - 1;
}

TEST(GameWindowSearch, Rule) {
  const auto minimised = [](FakeWindow& f) {
    f.iconic = true;
    f.client = Rect{0, 0, 0, 0};
    f.restored = Rect{-32000, -32000, -31700, -31800};  // 300 x 200
  };
  struct Case {
    const char* what;
    std::vector<FakeWindow> windows;
    std::optional<std::string> title;
    std::uint32_t pid;
    int picked;
  } cases[] = {
      {"exactly 10,000 pixels qualifies", {sized(100, 100)}, std::nullopt, 7, 0},
      {"9,999 pixels does not", {sized(99, 101)}, std::nullopt, 7, -1},
      {"the larger wins", {sized(200, 100), sized(300, 100), sized(250, 100)}, std::nullopt, 7, 1},
      {"equal areas keep the first", {sized(200, 100), sized(100, 200)}, std::nullopt, 7, 0},
      {"invisible skipped", {with(sized(400, 400), [](auto& f) { f.is_visible = false; }),
                             sized(200, 100)}, std::nullopt, 7, 1},
      {"another process skipped", {with(sized(400, 400), [](auto& f) { f.pid = 8; }),
                                   sized(200, 100)}, std::nullopt, 7, 1},
      {"pid 0 takes any process", {with(sized(400, 400), [](auto& f) { f.pid = 8; }),
                                   sized(200, 100)}, "", 0, 0},
      {"owned skipped", {with(sized(400, 400), [](auto& f) { f.owned = true; }), sized(200, 100)},
       std::nullopt, 7, 1},
      {"tool window skipped", {with(sized(400, 400), [](auto& f) { f.ex_style = 0x40080; }),
                               with(sized(200, 100), [](auto& f) { f.ex_style = 0x40100; })},
       std::nullopt, 7, 1},
      {"title substring", {with(sized(400, 400), [](auto& f) { f.text = u"Launcher"; }),
                           with(sized(200, 100), [](auto& f) { f.text = u"The Game (DX11)"; })},
       "Game", 7, 1},
      {"title case-sensitive", {sized(200, 100)}, "game", 7, -1},
      {"no trimming", {sized(200, 100)}, "Game ", 7, -1},
      {"empty filter matches untitled",
       {with(sized(200, 100), [](auto& f) { f.text = u""; })}, "", 7, 0},
      {"unpaired surrogate read as U+FFFD",
       {with(sized(200, 100), [](auto& f) { f.text = std::u16string{u'x', char16_t(0xD800)}; })},
       "x\xEF\xBF\xBD", 7, 0},
      {"minimised measured by its restored rectangle",
       {sized(250, 200), with(sized(0, 0), minimised)}, std::nullopt, 7, 1},
      {"a normal window is not measured by its restored rectangle",
       {with(sized(50, 50), [](auto& f) { f.restored = Rect{0, 0, 500, 500}; })},
       std::nullopt, 7, -1},
      {"failed client query never picked",
       {with(sized(0, 0), [](auto& f) { f.client.reset(); })}, std::nullopt, 7, -1},
      {"failed placement query never picked",
       {with(with(sized(0, 0), minimised), [](auto& f) { f.restored.reset(); })}, std::nullopt, 7,
       -1},
      {"inverted sides count as 0",
       {with(sized(0, 0), [](auto& f) { f.client = Rect{500, 0, 0, 500}; })}, std::nullopt,
       7, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(pick(c.windows, c.title, c.pid), c.picked) << c.what;
}

TEST(GameWindowSearch, TitleReadOnlyWithAFilter) {
  FakeWindow w = sized(200, 100);
  GameWindowSearch search;
  search.process_id = 7;
  consider_window(search, &w, w);
  EXPECT_EQ(w.title_reads, 0);
  EXPECT_TRUE(search.found);
  EXPECT_EQ(search.area, 20'000u);
}

}  // namespace
}  // namespace orvelle::clips
