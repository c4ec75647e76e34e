#pragma once
// The setup page in a WebView2 view that fills the main window: the
// environment, the controller, the settings, the page folder under its host
// name, the page's messages and its address.

#include "main/page_view_win.h"

namespace orvelle::setup {

// The browser's data folder of this process (see user_data_folder).
std::string webview_data_folder();

// The PageSetUp of the program.
Result<std::unique_ptr<PageView>> start_webview_page(HWND window, const SetupOptions& options);

}  // namespace orvelle::setup
