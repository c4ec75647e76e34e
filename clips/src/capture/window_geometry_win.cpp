#include "capture/window_geometry_win.h"

#include <dwmapi.h>

namespace orvelle::clips {
namespace {

Rect rect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

std::optional<Rect> frame_bounds(HWND window) {
  RECT r;
  if (SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof r)))
    return rect(r);
  if (GetWindowRect(window, &r)) return rect(r);
  return std::nullopt;
}

}  // namespace

WindowGeometry window_geometry(HWND window, Size item) {
  WindowGeometry g;
  g.item = item;
  g.frame = frame_bounds(window);
  RECT client;
  if (GetClientRect(window, &client)) g.client = rect(client);
  POINT origin = {0, 0};
  if (ClientToScreen(window, &origin)) g.client_origin = Point{origin.x, origin.y};
  return g;
}

std::uint32_t monitor_refresh_rate(HWND window) {
  HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  MONITORINFOEXW info = {};
  info.cbSize = sizeof info;
  if (!monitor || !GetMonitorInfoW(monitor, &info)) return 0;
  DEVMODEW mode = {};
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsW(info.szDevice, ENUM_CURRENT_SETTINGS, &mode)) return 0;
  return mode.dmDisplayFrequency;
}

}  // namespace orvelle::clips
