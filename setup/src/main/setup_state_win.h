#pragma once
// The running window's state, kept in the user-interface thread's slot.

#include "main/options.h"
#include "main/page_view_win.h"
#include "main/state_slot.h"
#include "overhang/overhang_win.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace orvelle::setup {

// Once it leaves Running it never changes again.
enum class InstallState : std::uint8_t { Running = 0, Installed = 1, Failed = 2 };

struct SetupState {
  SetupOptions options;
  std::optional<Overhang> overhang;
  std::chrono::steady_clock::time_point start;
  std::unique_ptr<PageView> page;  // the view and its controller
  HWND hwnd = nullptr;
  double last_progress = -1.0;
  bool answered = false;
  InstallState finished = InstallState::Running;
};

// The slot of the calling thread.
StateSlot<SetupState>& setup_state_slot();

}  // namespace orvelle::setup
