#include "capture/window_search.h"

#include "common/utf.h"

namespace orvelle::clips {
namespace {

// One side of a rectangle: the signed 32-bit difference (wrapping, as the
// platform's own arithmetic would), raised to 0 when not positive.
std::uint64_t side(std::int32_t low, std::int32_t high) {
  auto d = static_cast<std::int32_t>(static_cast<std::uint32_t>(high) -
                                     static_cast<std::uint32_t>(low));
  return d > 0 ? static_cast<std::uint64_t>(d) : 0;
}

// A minimised window is measured by its restored rectangle (frame
// included), any other by its client area; a failed call measures 0.
std::uint64_t window_area(const WindowFacts& facts) {
  std::optional<Rect> r = facts.minimised() ? facts.restored_rect() : facts.client_rect();
  if (!r) return 0;
  return side(r->left, r->right) * side(r->top, r->bottom);
}

}  // namespace

void consider_window(GameWindowSearch& search, WindowHandle window, const WindowFacts& facts) {
  if (!facts.visible()) return;
  if (search.process_id != 0 && facts.process_id() != search.process_id) return;
  if (facts.has_owner()) return;
  if (facts.extended_style() & kToolWindowStyle) return;
  // Byte for byte on the UTF-8 text: case-sensitive, nothing trimmed.
  if (search.title && utf16_to_utf8(facts.title()).find(*search.title) == std::string::npos)
    return;
  std::uint64_t area = window_area(facts);
  if (area < kMinGameWindowArea) return;
  // Strictly larger: on equal areas the window enumerated first stays.
  if (search.found && area <= search.area) return;
  search.found = true;
  search.window = window;
  search.area = area;
}

}  // namespace orvelle::clips
