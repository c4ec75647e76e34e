// The logo window for real under Wine: WIC decodes the stored PNG, the
// layered window is placed over the main window's corner, its DIB holds
// the composed picture, and a second logo reuses the window class.

#include "overhang/overhang_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace orvelle::setup {
namespace {

struct Com {
  Com() { (void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~Com() { CoUninitialize(); }
};

struct MainWindow {
  HWND window = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP | WS_VISIBLE, 300, 200, 960, 540,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ~MainWindow() { DestroyWindow(window); }
};

RECT rect_of(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

TEST(OverhangWindow, SitsOverTheCornerAtEachDpi) {
  Com com;
  MainWindow main;
  ASSERT_TRUE(main.window);
  RECT outer = rect_of(main.window);
  struct Case {
    UINT dpi;
    int size, dx, dy;
  } cases[] = {{96, 112, -32, -30}, {144, 168, -48, -45}, {96, 112, -32, -30}};
  for (const auto& c : cases) {
    auto logo = create_overhang(main.window, c.dpi);
    ASSERT_TRUE(logo) << c.dpi;  // the third: the class is already there
    RECT r = rect_of(logo->window.get());
    EXPECT_EQ(r.left, outer.left + c.dx) << c.dpi;
    EXPECT_EQ(r.top, outer.top + c.dy) << c.dpi;
    EXPECT_EQ(r.right - r.left, c.size) << c.dpi;
    EXPECT_EQ(r.bottom - r.top, c.size) << c.dpi;
    EXPECT_FALSE(IsWindowVisible(logo->window.get()));
    LONG_PTR ex = GetWindowLongPtrW(logo->window.get(), GWL_EXSTYLE);
    LONG_PTR wanted = WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;
    EXPECT_EQ(ex & wanted, wanted);
    EXPECT_EQ(GetWindow(logo->window.get(), GW_OWNER), main.window);
    EXPECT_EQ(logo->pixels.size(), std::size_t(c.size) * c.size * 4);
    destroy_overhang(std::move(*logo));
  }
}

TEST(OverhangWindow, CarriesTheBandOfTheDecodedLogo) {
  Com com;
  MainWindow main;
  auto logo = create_overhang(main.window, 96);
  ASSERT_TRUE(logo);
  auto at = [&](int x, int y) { return &logo->pixels[(std::size_t(y) * 112 + x) * 4]; };
  // Inside the square of the mark: opaque orange, red above green above blue.
  const std::uint8_t* p = at(24, 50);
  EXPECT_EQ(p[3], 255);
  EXPECT_GT(p[2], p[1]);
  EXPECT_GT(p[1], p[0]);
  EXPECT_EQ(at(50, 24)[3], 255);
  // Covered by the logo but not overhanging: left to the page.
  EXPECT_EQ(at(40, 40)[3], 0);
  // The DIB selected into the memory DC holds the same bytes.
  BITMAP bitmap{};
  ASSERT_EQ(GetObjectW(logo->dib.get(), sizeof bitmap, &bitmap), int(sizeof bitmap));
  ASSERT_NE(bitmap.bmBits, nullptr);
  EXPECT_EQ(std::memcmp(bitmap.bmBits, logo->pixels.data(), logo->pixels.size()), 0);
  EXPECT_EQ(GetCurrentObject(logo->memory_dc.get(), OBJ_BITMAP), logo->dib.get());
}

TEST(OverhangWindow, AnAbsurdDpiMakesNoLogo) {
  Com com;
  MainWindow main;
  // Refused by its canvas before anything is decoded at that size.
  for (UINT dpi : {4000u, 1000000u}) EXPECT_FALSE(create_overhang(main.window, dpi)) << dpi;
}

TEST(ProgramResources, TheWindowsIconLoads) {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  EXPECT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP colour{};
  ASSERT_TRUE(GetObjectW(info.hbmColor, sizeof colour, &colour));
  EXPECT_GT(colour.bmWidth, 0);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

TEST(OverhangWindow, FadesInOnceShown) {
  Com com;
  MainWindow main;
  auto logo = create_overhang(main.window, 96);
  ASSERT_TRUE(logo);
  EXPECT_FALSE(step_overhang_fade(*logo));  // no fade running
  show_overhang(*logo, main.window);
  EXPECT_TRUE(IsWindowVisible(logo->window.get()));
  EXPECT_TRUE(logo->visible);
  EXPECT_TRUE(step_overhang_fade(*logo));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(step_overhang_fade(*logo));
  EXPECT_FALSE(logo->fade_start);
  // The main window moves; the logo follows.
  SetWindowPos(main.window, nullptr, 500, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  position_overhang(*logo, main.window);
  RECT r = rect_of(logo->window.get());
  EXPECT_EQ(r.left, 500 - 32);
  EXPECT_EQ(r.top, 400 - 30);
}

}  // namespace
}  // namespace orvelle::setup
