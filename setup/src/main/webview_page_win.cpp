#include "main/webview_page_win.h"

#include "common/try.h"
#include "common/utf.h"
#include "common/win/checked.h"
#include "common/win/com_object.h"
#include "common/win/owner.h"
#include "main/completion_wait_win.h"
#include "main/page_actions_win.h"
#include "main/page_address.h"
#include "main/webview_loader_win.h"

#include <shlwapi.h>

#include <cwchar>

namespace orvelle::setup {
namespace {

using namespace win;

std::wstring wide(std::string_view utf8) {
  std::u16string w = utf8_to_utf16(utf8);
  return std::wstring(w.begin(), w.end());
}

HRESULT hand_out(const wchar_t* text, LPWSTR* out) {
  if (!out) return E_POINTER;
  std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
  *out = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
  if (!*out) return E_OUTOFMEMORY;
  std::memcpy(*out, text, bytes);
  return S_OK;
}

// The environment's options, read by the loader: the browser arguments and
// the version the page is made for; everything else at its default.
class EnvironmentOptions : public ComObject<ICoreWebView2EnvironmentOptions> {
 public:
  HRESULT STDMETHODCALLTYPE get_AdditionalBrowserArguments(LPWSTR* value) override {
    return hand_out(L"--force-prefers-no-reduced-motion", value);
  }
  HRESULT STDMETHODCALLTYPE put_AdditionalBrowserArguments(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Language(LPWSTR* value) override { return hand_out(L"", value); }
  HRESULT STDMETHODCALLTYPE put_Language(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_TargetCompatibleBrowserVersion(LPWSTR* value) override {
    return hand_out(L"143.0.3650.58", value);
  }
  HRESULT STDMETHODCALLTYPE put_TargetCompatibleBrowserVersion(LPCWSTR) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) override {
    if (!allow) return E_POINTER;
    *allow = FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL) override {
    return E_NOTIMPL;
  }
};

using EnvironmentHandler =
    CompletionHandler<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                      ICoreWebView2Environment>;
using ControllerHandler =
    CompletionHandler<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
                      ICoreWebView2Controller>;

std::string utf8(const CoTaskMemory<wchar_t>& text) {
  return utf16_to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(text.get()),
                                           std::wcslen(text.get())));
}

// The page's messages, on the user-interface thread. Always success to
// WebView2: what the page sends is never the runtime's fault. A message
// whose source cannot be had is dropped like one from another site.
class WebMessageHandler : public ComObject<ICoreWebView2WebMessageReceivedEventHandler> {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2*,
                                   ICoreWebView2WebMessageReceivedEventArgs* args) override {
    if (!args) return S_OK;
    CoTaskMemory<wchar_t> source, json;
    if (FAILED(args->get_Source(source.put())) || !source) return S_OK;
    if (FAILED(args->get_WebMessageAsJson(json.put())) || !json) return S_OK;
    handle_page_message(utf8(source), utf8(json));
    return S_OK;
  }
};

class NewWindowHandler : public ComObject<ICoreWebView2NewWindowRequestedEventHandler> {
 public:
  HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                   ICoreWebView2NewWindowRequestedEventArgs* args) override {
    return block_new_window(sender, args);
  }
};

// Holds the file's stream until the capture has written it.
class CaptureDone : public ComObject<ICoreWebView2CapturePreviewCompletedHandler> {
 public:
  explicit CaptureDone(ComPtr<IStream> stream) : stream_(std::move(stream)) {}
  HRESULT STDMETHODCALLTYPE Invoke(HRESULT) override {
    stream_.reset();
    return S_OK;
  }

 private:
  ComPtr<IStream> stream_;
};

class WebViewPage : public PageView {
 public:
  WebViewPage(WebViewLoader loader, ComPtr<ICoreWebView2Controller> controller,
              ComPtr<ICoreWebView2> view)
      : loader_(std::move(loader)), controller_(std::move(controller)), view_(std::move(view)) {}
  void set_bounds(const RECT& client) override { (void)controller_->put_Bounds(client); }
  void post_json(std::string_view json) override {
    if (view_) (void)view_->PostWebMessageAsJson(wide(json).c_str());
  }
  void capture_png(const std::string& path) override {
    if (!view_) return;
    ComPtr<IStream> stream;
    if (FAILED(SHCreateStreamOnFileEx(wide(path).c_str(), STGM_CREATE | STGM_WRITE,
                                      FILE_ATTRIBUTE_NORMAL, TRUE, nullptr, stream.put())))
      return;
    auto done = make_com<CaptureDone>(stream);
    (void)view_->CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_PNG, stream.get(),
                                done.get());
  }
  void close() override {
    (void)controller_->Close();
    view_.reset();
    controller_.reset();
  }

 private:
  WebViewLoader loader_;  // declared first: unloaded after the objects it made
  ComPtr<ICoreWebView2Controller> controller_;
  ComPtr<ICoreWebView2> view_;
};

Result<ComPtr<ICoreWebView2Environment>> create_environment(const WebViewLoader& loader,
                                                            const std::string& data_folder) {
  auto [sender, answers] = make_channel<Answer<ICoreWebView2Environment>>();
  auto handler = make_com<EnvironmentHandler>(std::move(sender));
  auto options = make_com<EnvironmentOptions>();
  std::wstring data = wide(data_folder);
  HRESULT hr = loader.create_environment(nullptr, data.c_str(), options.get(), handler.get());
  handler.reset();
  if (FAILED(hr)) return error(wait_failure("WebView2 environment", hresult_error(hr).text()));
  return wait_for_answer("WebView2 environment", answers);
}

Result<ComPtr<ICoreWebView2Controller>> create_controller(ICoreWebView2Environment* environment,
                                                          HWND window) {
  auto [sender, answers] = make_channel<Answer<ICoreWebView2Controller>>();
  auto handler = make_com<ControllerHandler>(std::move(sender));
  HRESULT hr = environment->CreateCoreWebView2Controller(window, handler.get());
  handler.reset();
  if (FAILED(hr)) return error(wait_failure("WebView2 controller", hresult_error(hr).text()));
  return wait_for_answer("WebView2 controller", answers);
}

void switch_off_extras(const ComPtr<ICoreWebView2Settings>& settings) {
  (void)settings->put_AreDefaultContextMenusEnabled(FALSE);
  (void)settings->put_AreDevToolsEnabled(FALSE);
  (void)settings->put_IsStatusBarEnabled(FALSE);
  (void)settings->put_IsZoomControlEnabled(FALSE);
  // Newer runtimes only; an older one keeps these at their defaults.
  ComPtr<ICoreWebView2Settings3> s3;
  if (SUCCEEDED(settings.as(s3))) (void)s3->put_AreBrowserAcceleratorKeysEnabled(FALSE);
  ComPtr<ICoreWebView2Settings5> s5;
  if (SUCCEEDED(settings.as(s5))) (void)s5->put_IsPinchZoomEnabled(FALSE);
  ComPtr<ICoreWebView2Settings6> s6;
  if (SUCCEEDED(settings.as(s6))) (void)s6->put_IsSwipeNavigationEnabled(FALSE);
}

Result<std::unique_ptr<PageView>> set_up(WebViewLoader loader, HWND window,
                                         const SetupOptions& options,
                                         const std::string& data_folder) {
  ORVELLE_ASSIGN_OR_RETURN(ComPtr<ICoreWebView2Environment> environment,
                           create_environment(loader, data_folder));
  ORVELLE_ASSIGN_OR_RETURN(ComPtr<ICoreWebView2Controller> controller,
                           create_controller(environment.get(), window));
  RECT client{};
  if (!GetClientRect(window, &client)) client = RECT{};
  ORVELLE_TRY(checked(controller->put_Bounds(client)));
  ComPtr<ICoreWebView2Controller2> controller2;
  if (SUCCEEDED(controller.as(controller2)))
    (void)controller2->put_DefaultBackgroundColor(COREWEBVIEW2_COLOR{0xFF, 0x11, 0x0D, 0x0B});
  ComPtr<ICoreWebView2> view;
  HRESULT hr = controller->get_CoreWebView2(view.put());
  if (SUCCEEDED(hr) && !view) hr = E_POINTER;
  ORVELLE_TRY(checked(hr));
  ComPtr<ICoreWebView2Settings> settings;
  ORVELLE_TRY(made(view->get_Settings(settings.put()), settings));
  switch_off_extras(settings);
  ComPtr<ICoreWebView2_3> view3;
  ORVELLE_TRY(checked(view.as(view3)));
  ORVELLE_TRY(checked(view3->SetVirtualHostNameToFolderMapping(
      wide(kPageHost).c_str(), wide(options.ui).c_str(),
      COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND_DENY_CORS)));
  EventRegistrationToken token{};
  ORVELLE_TRY(checked(view->add_WebMessageReceived(make_com<WebMessageHandler>().get(), &token)));
  (void)view->add_NewWindowRequested(make_com<NewWindowHandler>().get(), &token);
  ORVELLE_TRY(checked(view->Navigate(wide(page_address(options)).c_str())));
  ORVELLE_TRY(checked(controller->put_IsVisible(TRUE)));
  return std::make_unique<WebViewPage>(std::move(loader), std::move(controller), std::move(view));
}

}  // namespace

HRESULT block_new_window(ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args) {
  if (args) (void)args->put_Handled(TRUE);
  return S_OK;
}

Result<std::unique_ptr<PageView>> start_webview_page(HWND window, const SetupOptions& options,
                                                     const std::string& data_folder) {
  auto loader = load_webview_loader();
  // A missing loader is a runtime that cannot be used: the environment
  // step's failure.
  if (!loader) return error(wait_failure("WebView2 environment", loader.error().text()));
  return set_up(std::move(*loader), window, options, data_folder);
}

}  // namespace orvelle::setup
