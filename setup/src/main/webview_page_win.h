#pragma once
// The setup page in a WebView2 view that fills the main window: the
// environment, the controller, the settings, the page folder under its host
// name, the page's messages and its address.

#include "common/win/webview2.h"
#include "main/page_view_win.h"

namespace orvelle::setup {

// The PageSetUp of the program.
Result<std::unique_ptr<PageView>> start_webview_page(HWND window, const SetupOptions& options,
                                                     const std::string& data_folder);

// The NewWindowRequested handler: marks the request handled, so that the
// page never opens a window or a browser of its own. Always success.
HRESULT block_new_window(win::ICoreWebView2* sender,
                         win::ICoreWebView2NewWindowRequestedEventArgs* args);

}  // namespace orvelle::setup
