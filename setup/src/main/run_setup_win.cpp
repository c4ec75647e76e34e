#include "main/run_setup_win.h"

#include "common/console.h"
#include "common/try.h"
#include "common/utf.h"
#include "common/win/error.h"
#include "main/setup_state_win.h"
#include "main/data_folder_win.h"
#include "main/window_proc_win.h"
#include "main/window_rule.h"

#include <dwmapi.h>

#include <fmt/format.h>

namespace orvelle::setup {
namespace {

constexpr wchar_t kClass[] = L"OrvelleSetup";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                         WS_CLIPCHILDREN;  // no maximise box
constexpr DWORD kDarkMode = 20;            // DWMWA_USE_IMMERSIVE_DARK_MODE
constexpr DWORD kCornerPreference = 33;    // DWMWA_WINDOW_CORNER_PREFERENCE
constexpr DWORD kRoundCorners = 2;         // DWMWCP_ROUND

std::wstring wide(std::string_view utf8) {
  std::u16string w = utf8_to_utf16(utf8);
  return std::wstring(w.begin(), w.end());
}

Rect work_area() {
  RECT r{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) r = RECT{};
  return {r.left, r.top, r.right, r.bottom};
}

Result<HWND> create_main_window(const SetupOptions& options) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  if (!module) return error(win::last_error());
  WNDCLASSW wc{};
  wc.lpfnWndProc = setup_window_proc;
  wc.hInstance = module;
  wc.hIcon = LoadIconW(module, MAKEINTRESOURCEW(1));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = CreateSolidBrush(RGB(0x11, 0x0D, 0x0B));
  wc.lpszClassName = kClass;
  if (!RegisterClassW(&wc)) return error(win::last_error());

  WindowBox box = window_box(work_area(), GetDpiForSystem(), options.offscreen);
  HWND window = CreateWindowExW(WS_EX_APPWINDOW, kClass, wide(window_title(options)).c_str(),
                                kStyle, box.x, box.y, box.width, box.height, nullptr, nullptr,
                                module, nullptr);
  if (!window) return error(win::last_error());
  BOOL dark = TRUE;
  (void)DwmSetWindowAttribute(window, kDarkMode, &dark, sizeof dark);
  DWORD corners = kRoundCorners;
  (void)DwmSetWindowAttribute(window, kCornerPreference, &corners, sizeof corners);
  // Recomputes the frame through WM_NCCALCSIZE, which makes it all client area.
  SetWindowPos(window, nullptr, box.x, box.y, box.width, box.height,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return window;
}

void run_message_loop(HWND window) {
  MSG msg;
  // A failed GetMessageW (-1) goes on like any message; WM_QUIT ends it, and
  // so does the window's end: a modal loop running inside a handler (the
  // move loop of a drag) may take the WM_QUIT its destruction posted.
  while (IsWindow(window) && GetMessageW(&msg, nullptr, 0, 0) != 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void clean_up() {
  std::optional<SetupState> state = setup_state_slot().take();
  if (state) {
    if (state->page) state->page->close();
    state->page.reset();
    if (state->overhang) destroy_overhang(std::move(*state->overhang));
  }
}

// The browser's data folder goes on every way out of run_setup, a failed
// start-up included (the environment may have made it before a later step
// failed), and after everything that used it is gone.
class DataFolderRemoval {
 public:
  explicit DataFolderRemoval(std::string folder) : folder_(std::move(folder)) {}
  DataFolderRemoval(const DataFolderRemoval&) = delete;
  DataFolderRemoval& operator=(const DataFolderRemoval&) = delete;
  ~DataFolderRemoval() { remove_folder_patiently(folder_); }

 private:
  std::string folder_;
};

}  // namespace

int run_setup(const std::vector<std::string>& args, const PageSetUp& set_up_page,
              Result<std::string> (*temp)()) {
  SetupOptions options = parse_setup_options(args);
  (void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  (void)SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

  auto fail = [](const WinError& e) {
    write_line(Stream::err, fmt::format("orvelle-setup: {}", e.text()));
    return 2;
  };
  auto data_folder = prepare_data_folder(temp());
  if (!data_folder) return fail(data_folder.error());
  DataFolderRemoval removal(*data_folder);
  auto window = create_main_window(options);
  if (!window) return fail(window.error());
  auto page = set_up_page(*window, options, *data_folder);
  if (!page) return fail(page.error());

  ShowWindow(*window, options.offscreen ? SW_SHOWNOACTIVATE : SW_SHOW);
  SetTimer(*window, kStatusTimer, 100, nullptr);
  SetupState state;
  state.options = std::move(options);
  state.page = std::move(*page);
  state.hwnd = *window;
  state.start = std::chrono::steady_clock::now();
  setup_state_slot().put(std::move(state));

  run_message_loop(*window);
  clean_up();
  return 0;
}

}  // namespace orvelle::setup
