// Our WebView2 declarations against the public reference: the interface ids
// and the vtable slot of every method the program calls (GCC's member
// pointers hold 1 + the slot's byte offset for a virtual method).

#include "common/win/webview2.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace orvelle::win {
namespace {

template <typename F>
std::size_t slot(F method) {
  struct {
    std::uintptr_t pointer, adjust;
  } raw;
  static_assert(sizeof raw == sizeof method);
  std::memcpy(&raw, &method, sizeof raw);
  return (raw.pointer - 1) / sizeof(void*);
}

TEST(WebView2Declarations, Slots) {
  EXPECT_EQ(slot(&ICoreWebView2Environment::CreateCoreWebView2Controller), 3u);
  EXPECT_EQ(slot(&ICoreWebView2Controller::put_IsVisible), 4u);
  EXPECT_EQ(slot(&ICoreWebView2Controller::put_Bounds), 6u);
  EXPECT_EQ(slot(&ICoreWebView2Controller::Close), 24u);
  EXPECT_EQ(slot(&ICoreWebView2Controller::get_CoreWebView2), 25u);
  EXPECT_EQ(slot(&ICoreWebView2Controller2::put_DefaultBackgroundColor), 27u);
  EXPECT_EQ(slot(&ICoreWebView2::get_Settings), 3u);
  EXPECT_EQ(slot(&ICoreWebView2::Navigate), 5u);
  EXPECT_EQ(slot(&ICoreWebView2::AddScriptToExecuteOnDocumentCreated), 27u);
  EXPECT_EQ(slot(&ICoreWebView2::CapturePreview), 30u);
  EXPECT_EQ(slot(&ICoreWebView2::PostWebMessageAsJson), 32u);
  EXPECT_EQ(slot(&ICoreWebView2::add_WebMessageReceived), 34u);
  EXPECT_EQ(slot(&ICoreWebView2::add_NewWindowRequested), 44u);
  EXPECT_EQ(slot(&ICoreWebView2::remove_WindowCloseRequested), 60u);
  EXPECT_EQ(slot(&ICoreWebView2_2::add_DOMContentLoaded), 64u);
  EXPECT_EQ(slot(&ICoreWebView2_3::SetVirtualHostNameToFolderMapping), 71u);
  EXPECT_EQ(slot(&ICoreWebView2Settings::put_IsStatusBarEnabled), 10u);
  EXPECT_EQ(slot(&ICoreWebView2Settings::put_AreDevToolsEnabled), 12u);
  EXPECT_EQ(slot(&ICoreWebView2Settings::put_AreDefaultContextMenusEnabled), 14u);
  EXPECT_EQ(slot(&ICoreWebView2Settings::put_IsZoomControlEnabled), 18u);
  EXPECT_EQ(slot(&ICoreWebView2Settings3::put_AreBrowserAcceleratorKeysEnabled), 24u);
  EXPECT_EQ(slot(&ICoreWebView2Settings5::put_IsPinchZoomEnabled), 30u);
  EXPECT_EQ(slot(&ICoreWebView2Settings6::put_IsSwipeNavigationEnabled), 32u);
  EXPECT_EQ(slot(&ICoreWebView2WebMessageReceivedEventArgs::get_WebMessageAsJson), 4u);
  EXPECT_EQ(slot(&ICoreWebView2NewWindowRequestedEventArgs::put_Handled), 6u);
  EXPECT_EQ(slot(&ICoreWebView2EnvironmentOptions::get_TargetCompatibleBrowserVersion), 7u);
  EXPECT_EQ(slot(&ICoreWebView2EnvironmentOptions::put_AllowSingleSignOnUsingOSPrimaryAccount),
            10u);
}

TEST(WebView2Declarations, InterfaceIds) {
  struct Case {
    IID iid;
    const wchar_t* text;
  } cases[] = {
      {__uuidof(ICoreWebView2), L"{76ECEACB-0462-4D94-AC83-423A6793775E}"},
      {__uuidof(ICoreWebView2_3), L"{A0D6DF20-3B92-416D-AA0C-437A9C727857}"},
      {__uuidof(ICoreWebView2Controller), L"{4D00C0D1-9434-4EB6-8078-8697A560334F}"},
      {__uuidof(ICoreWebView2Controller2), L"{C979903E-D4CA-4228-92EB-47EE3FA96EAB}"},
      {__uuidof(ICoreWebView2Environment), L"{B96D755E-0319-4E92-A296-23436F46A1FC}"},
      {__uuidof(ICoreWebView2EnvironmentOptions), L"{2FDE08A8-1E9A-4766-8C05-95A9CEB9D1C5}"},
      {__uuidof(ICoreWebView2Settings), L"{E562E4F0-D7FA-43AC-8D71-C05150499F00}"},
      {__uuidof(ICoreWebView2Settings3), L"{FDB5AB74-AF33-4854-84F0-0A631DEB5EBA}"},
      {__uuidof(ICoreWebView2Settings5), L"{183E7052-1D03-43A0-AB99-98E043B66B39}"},
      {__uuidof(ICoreWebView2Settings6), L"{11CB3ACD-9BC8-43B8-83BF-F40753714F87}"},
      {__uuidof(ICoreWebView2WebMessageReceivedEventArgs),
       L"{0F99A40C-E962-4207-9E92-E3D542EFF849}"},
      {__uuidof(ICoreWebView2WebMessageReceivedEventHandler),
       L"{57213F19-00E6-49FA-8E07-898EA01ECBD2}"},
      {__uuidof(ICoreWebView2NewWindowRequestedEventArgs),
       L"{34ACB11C-FC37-4418-9132-F9C21D1EAFB9}"},
      {__uuidof(ICoreWebView2NewWindowRequestedEventHandler),
       L"{D4C185FE-C81C-4989-97AF-2D3FA7AB5651}"},
      {__uuidof(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler),
       L"{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14D}"},
      {__uuidof(ICoreWebView2CapturePreviewCompletedHandler),
       L"{697E05E9-3D8F-45FA-96F4-8FFE1EDEDAF5}"},
      {__uuidof(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler),
       L"{6C4819F3-C9B7-4260-8127-C9F5BDE7F68C}"},
  };
  for (const auto& c : cases) {
    wchar_t text[40] = {};
    StringFromGUID2(c.iid, text, 40);
    EXPECT_STREQ(text, c.text);
  }
}

}  // namespace
}  // namespace orvelle::win
