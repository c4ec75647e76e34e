#pragma once
// Finding the game's window: one pass over the desktop's top-level windows
// that keeps the single best candidate. The rule lives here; the Windows
// layer answers each window's questions through WindowFacts
// (capture_search_win.cpp, where EnumWindows drives the pass).

#include "common/geometry.h"
#include "shared/window_handle.h"

#include <cstdint>
#include <optional>
#include <string>

namespace orvelle::clips {

// What the rule asks of one window. Each question is asked only when the
// earlier checks passed, so a window that fails early costs no more calls.
class WindowFacts {
 public:
  virtual bool visible() const = 0;
  virtual std::uint32_t process_id() const = 0;
  virtual bool has_owner() const = 0;
  virtual std::uint32_t extended_style() const = 0;
  // What the 512-unit title buffer holds.
  virtual std::u16string title() const = 0;
  virtual bool minimised() const = 0;
  // The restored window rectangle of a minimised window; absent when the
  // call fails.
  virtual std::optional<Rect> restored_rect() const = 0;
  // Absent when the call fails.
  virtual std::optional<Rect> client_rect() const = 0;

 protected:
  ~WindowFacts() = default;
};

inline constexpr std::uint32_t kToolWindowStyle = 0x80;  // WS_EX_TOOLWINDOW
inline constexpr std::uint64_t kMinGameWindowArea = 10'000;

// One search attempt; the caller builds a fresh one for each.
struct GameWindowSearch {
  bool found = false;
  WindowHandle window = nullptr;  // valid only when found
  std::uint64_t area = 0;         // valid only when found
  std::optional<std::string> title;  // the --title filter, UTF-8
  std::uint32_t process_id = 0;      // the --pid filter; 0: any process
};

// Applies the rule to the next window in enumeration order.
void consider_window(GameWindowSearch& search, WindowHandle window, const WindowFacts& facts);

}  // namespace orvelle::clips
