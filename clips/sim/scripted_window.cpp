#include "sim/scripted_window.h"

#include <algorithm>

namespace orvelle::clips::sim {
namespace {

// The window's state with its client area of size client, restored or not.
WindowState placed(const FrameInsets& f, Size client, bool minimised) {
  WindowState s;
  s.exists = true;
  s.minimised = minimised;
  const auto left = static_cast<std::int32_t>(f.left), top = static_cast<std::int32_t>(f.top);
  const auto w = static_cast<std::int32_t>(client.width), h = static_cast<std::int32_t>(client.height);
  s.restored = {kWindowLeft, kWindowTop, kWindowLeft + left + w + static_cast<std::int32_t>(f.right),
                kWindowTop + top + h + static_cast<std::int32_t>(f.bottom)};
  if (minimised) {
    // The platform's minimised window: a small frame off the screen and an
    // empty client area.
    s.frame = {kParked, kParked, kParked + 160, kParked + 28};
    s.client_area = {kParked, kParked, kParked, kParked};
    return s;
  }
  s.client = client;
  s.client_area = {kWindowLeft + left, kWindowTop + top, kWindowLeft + left + w, kWindowTop + top + h};
  s.frame = s.restored;
  return s;
}

}  // namespace

ScriptedWindow::ScriptedWindow(const Scenario& scenario) : script_(scenario.window) {
  Size client = script_.client;
  bool minimised = false;
  changes_.emplace_back(script_.appear, placed(script_.frame, client, minimised));
  for (const WindowEvent& e : scenario.events) {
    switch (e.action) {
      case WindowAction::minimise: minimised = true; break;
      case WindowAction::restore: minimised = false; break;
      case WindowAction::resize: client = e.size; break;
      case WindowAction::close: changes_.emplace_back(e.at, WindowState{}); return;
    }
    changes_.emplace_back(e.at, placed(script_.frame, client, minimised));
  }
}

WindowState ScriptedWindow::at(Ticks since_start) const {
  auto after = std::upper_bound(changes_.begin(), changes_.end(), since_start,
                                [](Ticks t, const auto& change) { return t < change.first; });
  if (after == changes_.begin()) return {};
  return std::prev(after)->second;
}

}  // namespace orvelle::clips::sim
