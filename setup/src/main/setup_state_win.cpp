#include "main/setup_state_win.h"

namespace orvelle::setup {

StateSlot<SetupState>& setup_state_slot() {
  thread_local StateSlot<SetupState> slot;
  return slot;
}

}  // namespace orvelle::setup
