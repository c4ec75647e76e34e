// The page's NewWindowRequested handler against a fake of the event's
// arguments.

#include "common/win/com_object.h"
#include "main/webview_page_win.h"

#include <gtest/gtest.h>

namespace orvelle::setup {
namespace {

using namespace win;

class FakeNewWindowArgs : public ComObject<ICoreWebView2NewWindowRequestedEventArgs> {
 public:
  int handled_calls = 0;
  BOOL handled = FALSE;
  HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_NewWindow(ICoreWebView2*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_NewWindow(ICoreWebView2**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Handled(BOOL value) override {
    ++handled_calls;
    handled = value;
    return E_FAIL;  // ignored
  }
  HRESULT STDMETHODCALLTYPE get_Handled(BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDeferral(void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_WindowFeatures(void**) override { return E_NOTIMPL; }
};

TEST(WebViewPage, BlockNewWindowMarksEveryRequestHandled) {
  auto args = make_com<FakeNewWindowArgs>();
  EXPECT_EQ(block_new_window(nullptr, args.get()), S_OK);
  EXPECT_EQ(args->handled_calls, 1);
  EXPECT_EQ(args->handled, TRUE);
  EXPECT_EQ(block_new_window(nullptr, nullptr), S_OK);
}

}  // namespace
}  // namespace orvelle::setup
