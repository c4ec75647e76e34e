// The whole logo window at 168 dpi under Wine: WIC's decode, scale and
// conversion of the stored mark, the picture, the layered window and its
// DIB, as create_overhang makes them; beside it the picture alone.

#include "overhang/logo_picture.h"
#include "overhang/overhang_win.h"

#include <chrono>
#include <cstdio>

int main() {
  using namespace orvelle::setup;
  using Clock = std::chrono::steady_clock;
  (void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 100, 100, 960, 540, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  auto time = [](auto&& step) {
    step();  // warm: the codecs' first load is not the logo's cost
    constexpr int kRounds = 50;
    auto start = Clock::now();
    for (int i = 0; i < kRounds; ++i) step();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kRounds;
  };
  double whole = time([&] {
    auto logo = create_overhang(main, 168);
    if (!logo) std::puts("no logo");
    else destroy_overhang(std::move(*logo));
  });
  LogoGeometry g = logo_geometry(168);
  double decode = time([&] { (void)decode_stored_logo(g.logo); });
  auto logo = decode_stored_logo(g.logo);
  if (!logo) return 1;
  double picture = time([&] { (void)build_logo_picture(*logo, g); });
  double built = time([&] { (void)build_logo_picture(*decode_stored_logo(g.logo), g); });
  std::printf("at 168 dpi: the logo built (decode, scale, picture) %.3f ms = WIC %.3f ms + "
              "picture %.3f ms; the whole window %.3f ms\n", built, decode, picture, whole);
  DestroyWindow(main);
  return 0;
}
