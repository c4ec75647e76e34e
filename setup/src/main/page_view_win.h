#pragma once
// What the main window asks of the page it hosts. The program's page is a
// WebView2 view (webview_page_win.h); a test build puts a stand-in of its
// own in its place, so the window, its procedure and the logo run for real
// where no WebView2 runtime exists.

#include "common/win_error.h"
#include "main/options.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace orvelle::setup {

class PageView {
 public:
  virtual ~PageView() = default;
  // Keeps the page filling the window's client area; a failure is ignored.
  virtual void set_bounds(const RECT& client) = 0;
  // One JSON text to the page; a failure is ignored.
  virtual void post_json(std::string_view json) = 0;
  // A PNG of the page into a file, when the page gets round to it; a
  // failure is ignored.
  virtual void capture_png(const std::string& path) = 0;
  // Ends the page before the window goes.
  virtual void close() = 0;
};

// Sets the page up in the main window, before it is shown, with the
// browser's data in data_folder. Its page messages go to
// handle_page_message (page_actions_win.h).
using PageSetUp = std::function<Result<std::unique_ptr<PageView>>(
    HWND window, const SetupOptions& options, const std::string& data_folder)>;

}  // namespace orvelle::setup
