#include "sim/sim_windows.h"

#include "common/utf.h"

namespace orvelle::clips::sim {
namespace {

// The game's window as the search's rule asks about it.
class ScriptedFacts final : public WindowFacts {
 public:
  ScriptedFacts(const WindowScript& script, const WindowState& state)
      : script_(script), state_(state) {}
  bool visible() const override { return state_.exists; }
  std::uint32_t process_id() const override { return script_.pid; }
  bool has_owner() const override { return false; }
  std::uint32_t extended_style() const override { return 0; }
  std::u16string title() const override { return utf8_to_utf16(script_.title); }
  bool minimised() const override { return state_.minimised; }
  std::optional<Rect> restored_rect() const override { return state_.restored; }
  std::optional<Rect> client_rect() const override {
    return Rect{0, 0, static_cast<std::int32_t>(state_.client.width),
                static_cast<std::int32_t>(state_.client.height)};
  }

 private:
  const WindowScript& script_;
  const WindowState& state_;
};

}  // namespace

WindowHandle SimWindows::handle() const {
  return const_cast<void*>(static_cast<const void*>(&window_));
}

WindowState SimWindows::state(WindowHandle window) const {
  if (window != handle()) return {};
  return window_.at(clock_.now() - start_);
}

void SimWindows::search(GameWindowSearch& search) {
  const WindowState now = state(handle());
  consider_window(search, handle(), ScriptedFacts(window_.script(), now));
}

bool SimWindows::exists(WindowHandle window) { return state(window).exists; }

bool SimWindows::minimised(WindowHandle window) { return state(window).minimised; }

std::optional<Size> SimWindows::client_size(WindowHandle window) {
  const WindowState now = state(window);
  if (!now.exists) return std::nullopt;
  return now.client;
}

std::string SimWindows::title(WindowHandle window) {
  return state(window).exists ? window_.script().title : std::string();
}

}  // namespace orvelle::clips::sim
