#pragma once
// WebView2's loader, WebView2Loader.dll beside the program, taken at run time
// so that the program starts without it and a missing loader or runtime
// fails the page's set-up with its own line.

#include "common/win/owner.h"
#include "common/win/webview2.h"
#include "common/win_error.h"

namespace orvelle::setup {

struct WebViewLoader {
  win::Module module;  // stays loaded while any WebView2 object lives
  win::CreateCoreWebView2EnvironmentWithOptionsFn create_environment = nullptr;
};

// A failure names the file or the function that is missing, with the
// system's code.
Result<WebViewLoader> load_webview_loader();

}  // namespace orvelle::setup
