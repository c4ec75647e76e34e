// orvelle-setup with a stand-in page: the real options, window class,
// window procedure, DPI handling, logo window, status polling and clean-up,
// with a child window of ours where the WebView2 view would be. It prints
// the address it was asked to navigate to and every JSON text posted to
// the page ("post …"), writes a PNG signature for each screenshot, and takes
// commands on standard input:
//   page JSON   the page posts JSON to the host (the real handler runs)
//   from URI JSON  a document at URI posts JSON (the page after a link)
//   report      the windows' places, styles and the work area, one line each
//   move X Y    moves the main window
//   dpi         sends the main window WM_DPICHANGED at its own dpi
//   close       WM_CLOSE to the main window (also at the end of the input)
// Like the browser, it makes the data folder, which the clean-up removes;
// with the word --stand-in-fail the page's set-up fails after that, as an
// environment that made its folder and then failed would; with
// --stand-in-temp FOLDER, FOLDER is the temporary folder the system gave.

#include "common/console.h"
#include "common/win/arguments.h"
#include "common/win/error.h"
#include "common/win/owner.h"
#include "common/win/standard_streams.h"
#include "main/answer_files_win.h"
#include "main/page_actions_win.h"
#include "main/page_address.h"
#include "main/run_setup_win.h"
#include "main/setup_state_win.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fmt/format.h>
#include <optional>
#include <string>
#include <thread>

namespace orvelle::setup {
namespace {

constexpr wchar_t kClass[] = L"OrvelleStandInPage";
constexpr UINT kCommand = WM_APP;  // lParam: a std::string the page takes over
constexpr UINT kReady = WM_APP + 1;

// Where the page's own messages come from: its address.
std::string g_page_source;
bool g_fail_after_data = false;
std::optional<std::string> g_temp;

Result<std::string> given_temp_folder() { return g_temp ? Result<std::string>(*g_temp) : temp_folder(); }

std::string rect_text(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return fmt::format("{} {} {} {}", r.left, r.top, r.right, r.bottom);
}

void report(HWND page) {
  HWND main = GetParent(page);
  RECT client{};
  GetClientRect(main, &client);
  write_line(Stream::out,
             fmt::format("main {} client {} {} style {:08X} ex {:08X}", rect_text(main),
                         client.right, client.bottom,
                         static_cast<std::uint32_t>(GetWindowLongPtrW(main, GWL_STYLE)),
                         static_cast<std::uint32_t>(GetWindowLongPtrW(main, GWL_EXSTYLE))));
  write_line(Stream::out, "page " + rect_text(page));
  HWND logo = FindWindowW(L"OrvelleSetupMark", nullptr);
  if (logo) {
    int alpha = -1;
    if (auto state = setup_state_slot().borrow(); state && state->overhang)
      alpha = state->overhang->alpha;
    write_line(Stream::out,
               fmt::format("logo {} {} owner {} alpha {}", rect_text(logo),
                           IsWindowVisible(logo) ? "visible" : "hidden",
                           GetWindow(logo, GW_OWNER) == main ? "main" : "other", alpha));
  } else
    write_line(Stream::out, "logo none");
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  write_line(Stream::out, fmt::format("work {} {} {} {} dpi {} {}", work.left, work.top,
                                      work.right, work.bottom, GetDpiForSystem(),
                                      GetDpiForWindow(main)));
}

void run_command(HWND page, const std::string& line) {
  if (line.starts_with("page ")) {
    handle_page_message(g_page_source, std::string_view(line).substr(5));
  } else if (line.starts_with("from ")) {
    std::string_view rest = std::string_view(line).substr(5);
    std::size_t blank = rest.find(' ');
    if (blank != std::string_view::npos)
      handle_page_message(rest.substr(0, blank), rest.substr(blank + 1));
  } else if (line == "report") {
    report(page);
  } else if (line.starts_with("move ")) {
    int x = 0, y = 0;
    if (std::sscanf(line.c_str() + 5, "%d %d", &x, &y) == 2)
      SetWindowPos(GetParent(page), nullptr, x, y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    write_line(Stream::out, "moved");
  } else if (line == "dpi") {
    // The system's message after a move to another monitor, at the dpi
    // the window has, with its own rectangle as the suggested one.
    HWND main = GetParent(page);
    RECT r{};
    GetWindowRect(main, &r);
    UINT dpi = GetDpiForWindow(main);
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
    write_line(Stream::out, "dpi changed");
  } else if (line == "close") {
    PostMessageW(GetParent(page), WM_CLOSE, 0, 0);
  }
}

LRESULT CALLBACK page_proc(HWND page, UINT message, WPARAM w, LPARAM l) {
  if (message == kCommand) {
    std::unique_ptr<std::string> line(reinterpret_cast<std::string*>(l));
    run_command(page, *line);
    return 0;
  }
  if (message == kReady) {
    write_line(Stream::out, "ready");
    return 0;
  }
  return DefWindowProcW(page, message, w, l);
}

void post_command(HWND page, std::string line) {
  PostMessageW(page, kCommand, 0, reinterpret_cast<LPARAM>(new std::string(std::move(line))));
}

// Straight from the handle, holding no lock of the C runtime's: the program
// may end while this thread still waits for input.
void read_commands(HWND page) {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  std::string pending;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    pending.append(buffer, got);
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      post_command(page, pending.substr(0, end));
      pending.erase(0, end + 1);
    }
  }
  post_command(page, "close");
}

class StandInPage : public PageView {
 public:
  explicit StandInPage(HWND page) : page_(page) {}
  void set_bounds(const RECT& r) override {
    MoveWindow(page_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  }
  void post_json(std::string_view json) override {
    write_line(Stream::out, fmt::format("post {}", json));
  }
  // A PNG's signature stands for the picture the view would capture.
  void capture_png(const std::string& path) override {
    win::Handle file(CreateFileW(wide_path(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) WriteFile(file.get(), "\x89PNG\r\n\x1a\n", 8, &written, nullptr);
  }
  void close() override { DestroyWindow(page_); }

 private:
  HWND page_;
};

Result<std::unique_ptr<PageView>> stand_in_page(HWND window, const SetupOptions& options,
                                                const std::string& data) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = page_proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = CreateSolidBrush(RGB(0x22, 0x66, 0xAA));
  wc.lpszClassName = kClass;
  RegisterClassW(&wc);
  RECT client{};
  GetClientRect(window, &client);
  HWND page = CreateWindowExW(0, kClass, L"page", WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                              client.bottom, window, nullptr, wc.hInstance, nullptr);
  if (!page) return error(win::last_error());
  g_page_source = page_address(options);
  write_line(Stream::out, "navigate " + g_page_source);
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::u8path(data) / "EBWebView", ignored);
  write_line(Stream::out, "data " + data);
  if (g_fail_after_data) return error(fail("stand-in page: failed after its data folder"));
  std::thread(read_commands, page).detach();
  // Handled once the message loop runs, with the state in its slot.
  PostMessageW(page, kReady, 0, 0);
  return std::make_unique<StandInPage>(page);
}

}  // namespace
}  // namespace orvelle::setup

int main() {
  using namespace orvelle;
  win::binary_standard_streams();
  win::install_system_messages();
  std::vector<std::string> args = win::utf8_arguments("orvelle-setup: ");
  setup::g_fail_after_data = std::ranges::find(args, "--stand-in-fail") != args.end();
  if (auto at = std::ranges::find(args, "--stand-in-temp"); at != args.end() && at + 1 != args.end())
    setup::g_temp = *(at + 1);
  return setup::run_setup(args, setup::stand_in_page, setup::given_temp_folder);
}
