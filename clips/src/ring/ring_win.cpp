// The ring's clock and window query on Windows.

#include "ring/ring_win.h"

#include <windows.h>

namespace orvelle::clips {

RingPlatform system_ring_platform() {
  return {
      [] {
        FILETIME ft;
        GetSystemTimePreciseAsFileTime(&ft);
        return Ticks{static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime)};
      },
      [](WindowHandle window) { return IsIconic(static_cast<HWND>(window)) != FALSE; },
  };
}

}  // namespace orvelle::clips
