#include "main/webview_loader_win.h"

#include "common/win/error.h"

#include <fmt/format.h>

#include <string>

namespace orvelle::setup {
namespace {

constexpr wchar_t kLoaderFile[] = L"WebView2Loader.dll";

WinError named(std::string_view what, WinError e) {
  std::string text = win::system_message(e.code);
  return WinError{e.code, text.empty() ? std::string(what) : fmt::format("{}: {}", what, text)};
}

// The folder of the program's own file, with its trailing backslash.
std::wstring program_folder() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace

Result<WebViewLoader> load_webview_loader() {
  WebViewLoader loader;
  // A full path: the loader is never looked for along the search path.
  std::wstring file = program_folder() + kLoaderFile;
  loader.module = win::Module(LoadLibraryW(file.c_str()));
  if (!loader.module) return error(named("WebView2Loader.dll", win::last_error()));
  FARPROC entry = GetProcAddress(loader.module.get(), "CreateCoreWebView2EnvironmentWithOptions");
  if (!entry)
    return error(named("WebView2Loader.dll: CreateCoreWebView2EnvironmentWithOptions",
                       win::last_error()));
  loader.create_environment =
      reinterpret_cast<win::CreateCoreWebView2EnvironmentWithOptionsFn>(
          reinterpret_cast<void*>(entry));
  return loader;
}

}  // namespace orvelle::setup
