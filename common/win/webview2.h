#pragma once
// Our own declarations of the WebView2 interfaces orvelle-setup uses,
// written from the platform's public reference (mingw-w64 has none): exact
// interface ids and vtable order. Methods the program never calls keep their
// slot with opaque parameters. The loader's one function is taken at run
// time, so nothing here links against it.

#include <windows.h>

#include <unknwn.h>

#include <cstdint>

namespace orvelle::win {

struct ICoreWebView2;
struct ICoreWebView2Controller;
struct ICoreWebView2Environment;
struct ICoreWebView2Settings;

struct EventRegistrationToken {
  std::int64_t value;
};

struct COREWEBVIEW2_COLOR {
  BYTE A, R, G, B;
};

enum COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND : std::int32_t {
  COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND_DENY = 0,
  COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND_ALLOW = 1,
  COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND_DENY_CORS = 2,
};

enum COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT : std::int32_t {
  COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_PNG = 0,
  COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT_JPEG = 1,
};

// Implemented by the program: the end of a screenshot of the page.
struct ICoreWebView2CapturePreviewCompletedHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT result) = 0;
};

// Implemented by the program: the loader reads the environment's options
// from it. Strings are handed out in CoTaskMemAlloc'd memory.
struct ICoreWebView2EnvironmentOptions : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_AdditionalBrowserArguments(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AdditionalBrowserArguments(LPCWSTR value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Language(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Language(LPCWSTR value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_TargetCompatibleBrowserVersion(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_TargetCompatibleBrowserVersion(LPCWSTR value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) = 0;
};

// Implemented by the program: the two creation completions.
struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT result, ICoreWebView2Environment* created) = 0;
};
struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT result, ICoreWebView2Controller* created) = 0;
};

struct ICoreWebView2Environment : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
      HWND parent, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateWebResourceResponse(void*, int, LPCWSTR, LPCWSTR,
                                                              void**) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BrowserVersionString(LPWSTR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_NewBrowserVersionAvailable(void*,
                                                                   EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_NewBrowserVersionAvailable(EventRegistrationToken) = 0;
};

struct ICoreWebView2Controller : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_IsVisible(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL visible) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Bounds(RECT*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Bounds(RECT bounds) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ZoomFactor(double*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ZoomFactor(double) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ZoomFactorChanged(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ZoomFactorChanged(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetBoundsAndZoomFactor(RECT, double) = 0;
  virtual HRESULT STDMETHODCALLTYPE MoveFocus(int) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_MoveFocusRequested(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_MoveFocusRequested(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_GotFocus(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_GotFocus(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_LostFocus(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_LostFocus(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_AcceleratorKeyPressed(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_AcceleratorKeyPressed(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ParentWindow(HWND*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ParentWindow(HWND) = 0;
  virtual HRESULT STDMETHODCALLTYPE NotifyParentWindowPositionChanged() = 0;
  virtual HRESULT STDMETHODCALLTYPE Close() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** view) = 0;
};

struct ICoreWebView2Controller2 : ICoreWebView2Controller {
  virtual HRESULT STDMETHODCALLTYPE get_DefaultBackgroundColor(COREWEBVIEW2_COLOR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_DefaultBackgroundColor(COREWEBVIEW2_COLOR color) = 0;
};

struct ICoreWebView2WebMessageReceivedEventArgs : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Source(LPWSTR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_WebMessageAsJson(LPWSTR* json) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryGetWebMessageAsString(LPWSTR*) = 0;
};
struct ICoreWebView2WebMessageReceivedEventHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                           ICoreWebView2WebMessageReceivedEventArgs* args) = 0;
};

struct ICoreWebView2NewWindowRequestedEventArgs : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_NewWindow(ICoreWebView2*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_NewWindow(ICoreWebView2**) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Handled(BOOL handled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Handled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDeferral(void**) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_WindowFeatures(void**) = 0;
};
struct ICoreWebView2NewWindowRequestedEventHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                           ICoreWebView2NewWindowRequestedEventArgs* args) = 0;
};

struct ICoreWebView2Settings : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_IsScriptEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsScriptEnabled(BOOL) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsWebMessageEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsWebMessageEnabled(BOOL) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AreDefaultScriptDialogsEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AreDefaultScriptDialogsEnabled(BOOL) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsStatusBarEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsStatusBarEnabled(BOOL) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AreDevToolsEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AreDevToolsEnabled(BOOL) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AreDefaultContextMenusEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AreDefaultContextMenusEnabled(BOOL) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AreHostObjectsAllowed(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AreHostObjectsAllowed(BOOL) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsZoomControlEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsZoomControlEnabled(BOOL) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsBuiltInErrorPageEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsBuiltInErrorPageEnabled(BOOL) = 0;
};
struct ICoreWebView2Settings2 : ICoreWebView2Settings {
  virtual HRESULT STDMETHODCALLTYPE get_UserAgent(LPWSTR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_UserAgent(LPCWSTR) = 0;
};
struct ICoreWebView2Settings3 : ICoreWebView2Settings2 {
  virtual HRESULT STDMETHODCALLTYPE get_AreBrowserAcceleratorKeysEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AreBrowserAcceleratorKeysEnabled(BOOL) = 0;
};
struct ICoreWebView2Settings4 : ICoreWebView2Settings3 {
  virtual HRESULT STDMETHODCALLTYPE get_IsPasswordAutosaveEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsPasswordAutosaveEnabled(BOOL) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsGeneralAutofillEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsGeneralAutofillEnabled(BOOL) = 0;
};
struct ICoreWebView2Settings5 : ICoreWebView2Settings4 {
  virtual HRESULT STDMETHODCALLTYPE get_IsPinchZoomEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsPinchZoomEnabled(BOOL) = 0;
};
struct ICoreWebView2Settings6 : ICoreWebView2Settings5 {
  virtual HRESULT STDMETHODCALLTYPE get_IsSwipeNavigationEnabled(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsSwipeNavigationEnabled(BOOL) = 0;
};

// Slots the program does not use are named by what they are and take
// opaque parameters; their order is what matters.
struct ICoreWebView2 : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Source(LPWSTR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) = 0;
  virtual HRESULT STDMETHODCALLTYPE NavigateToString(LPCWSTR) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_NavigationStarting(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_NavigationStarting(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ContentLoading(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ContentLoading(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_SourceChanged(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_SourceChanged(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_HistoryChanged(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_HistoryChanged(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_NavigationCompleted(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_NavigationCompleted(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_FrameNavigationStarting(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_FrameNavigationStarting(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_FrameNavigationCompleted(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_FrameNavigationCompleted(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ScriptDialogOpening(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ScriptDialogOpening(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_PermissionRequested(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_PermissionRequested(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ProcessFailed(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ProcessFailed(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddScriptToExecuteOnDocumentCreated(LPCWSTR, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveScriptToExecuteOnDocumentCreated(LPCWSTR) = 0;
  virtual HRESULT STDMETHODCALLTYPE ExecuteScript(LPCWSTR, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE CapturePreview(
      COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT format, IStream* stream,
      ICoreWebView2CapturePreviewCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reload() = 0;
  virtual HRESULT STDMETHODCALLTYPE PostWebMessageAsJson(LPCWSTR json) = 0;
  virtual HRESULT STDMETHODCALLTYPE PostWebMessageAsString(LPCWSTR) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_WebMessageReceived(
      ICoreWebView2WebMessageReceivedEventHandler* handler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_WebMessageReceived(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE CallDevToolsProtocolMethod(LPCWSTR, LPCWSTR, void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BrowserProcessId(UINT32*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanGoBack(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanGoForward(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE GoBack() = 0;
  virtual HRESULT STDMETHODCALLTYPE GoForward() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDevToolsProtocolEventReceiver(LPCWSTR, void**) = 0;
  virtual HRESULT STDMETHODCALLTYPE Stop() = 0;
  virtual HRESULT STDMETHODCALLTYPE add_NewWindowRequested(
      ICoreWebView2NewWindowRequestedEventHandler* handler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_NewWindowRequested(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_DocumentTitleChanged(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_DocumentTitleChanged(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DocumentTitle(LPWSTR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddHostObjectToScript(LPCWSTR, VARIANT*) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveHostObjectFromScript(LPCWSTR) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenDevToolsWindow() = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ContainsFullScreenElementChanged(
      void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ContainsFullScreenElementChanged(
      EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ContainsFullScreenElement(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_WebResourceRequested(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_WebResourceRequested(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddWebResourceRequestedFilter(LPCWSTR, int) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveWebResourceRequestedFilter(LPCWSTR, int) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_WindowCloseRequested(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_WindowCloseRequested(EventRegistrationToken) = 0;
};

struct ICoreWebView2_2 : ICoreWebView2 {
  virtual HRESULT STDMETHODCALLTYPE add_WebResourceResponseReceived(void*,
                                                                    EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_WebResourceResponseReceived(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE NavigateWithWebResourceRequest(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_DOMContentLoaded(void*, EventRegistrationToken*) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_DOMContentLoaded(EventRegistrationToken) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CookieManager(void**) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Environment(ICoreWebView2Environment**) = 0;
};

struct ICoreWebView2_3 : ICoreWebView2_2 {
  virtual HRESULT STDMETHODCALLTYPE TrySuspend(void*) = 0;
  virtual HRESULT STDMETHODCALLTYPE Resume() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsSuspended(BOOL*) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetVirtualHostNameToFolderMapping(
      LPCWSTR host, LPCWSTR folder, COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND access) = 0;
  virtual HRESULT STDMETHODCALLTYPE ClearVirtualHostNameToFolderMapping(LPCWSTR) = 0;
};

// WebView2Loader.dll's entry, taken with GetProcAddress.
using CreateCoreWebView2EnvironmentWithOptionsFn = HRESULT(STDAPICALLTYPE*)(
    PCWSTR browser_folder, PCWSTR user_data_folder, ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

}  // namespace orvelle::win

__CRT_UUID_DECL(orvelle::win::ICoreWebView2EnvironmentOptions, 0x2fde08a8, 0x1e9a, 0x4766, 0x8c,
                0x05, 0x95, 0xa9, 0xce, 0xb9, 0xd1, 0xc5)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                0x4e8a3389, 0xc9d8, 0x4bd2, 0xb6, 0xb5, 0x12, 0x4f, 0xee, 0x6c, 0xc1, 0x4d)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
                0x6c4819f3, 0xc9b7, 0x4260, 0x81, 0x27, 0xc9, 0xf5, 0xbd, 0xe7, 0xf6, 0x8c)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2CapturePreviewCompletedHandler, 0x697e05e9, 0x3d8f,
                0x45fa, 0x96, 0xf4, 0x8f, 0xfe, 0x1e, 0xde, 0xda, 0xf5)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2Environment, 0xb96d755e, 0x0319, 0x4e92, 0xa2, 0x96,
                0x23, 0x43, 0x6f, 0x46, 0xa1, 0xfc)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2Controller, 0x4d00c0d1, 0x9434, 0x4eb6, 0x80, 0x78,
                0x86, 0x97, 0xa5, 0x60, 0x33, 0x4f)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2Controller2, 0xc979903e, 0xd4ca, 0x4228, 0x92, 0xeb,
                0x47, 0xee, 0x3f, 0xa9, 0x6e, 0xab)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2WebMessageReceivedEventArgs, 0x0f99a40c, 0xe962,
                0x4207, 0x9e, 0x92, 0xe3, 0xd5, 0x42, 0xef, 0xf8, 0x49)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2WebMessageReceivedEventHandler, 0x57213f19, 0x00e6,
                0x49fa, 0x8e, 0x07, 0x89, 0x8e, 0xa0, 0x1e, 0xcb, 0xd2)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2NewWindowRequestedEventArgs, 0x34acb11c, 0xfc37,
                0x4418, 0x91, 0x32, 0xf9, 0xc2, 0x1d, 0x1e, 0xaf, 0xb9)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2NewWindowRequestedEventHandler, 0xd4c185fe, 0xc81c,
                0x4989, 0x97, 0xaf, 0x2d, 0x3f, 0xa7, 0xab, 0x56, 0x51)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2Settings, 0xe562e4f0, 0xd7fa, 0x43ac, 0x8d, 0x71, 0xc0,
                0x51, 0x50, 0x49, 0x9f, 0x00)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2Settings3, 0xfdb5ab74, 0xaf33, 0x4854, 0x84, 0xf0, 0x0a,
                0x63, 0x1d, 0xeb, 0x5e, 0xba)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2Settings5, 0x183e7052, 0x1d03, 0x43a0, 0xab, 0x99, 0x98,
                0xe0, 0x43, 0xb6, 0x6b, 0x39)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2Settings6, 0x11cb3acd, 0x9bc8, 0x43b8, 0x83, 0xbf, 0xf4,
                0x07, 0x53, 0x71, 0x4f, 0x87)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2, 0x76eceacb, 0x0462, 0x4d94, 0xac, 0x83, 0x42, 0x3a,
                0x67, 0x93, 0x77, 0x5e)
__CRT_UUID_DECL(orvelle::win::ICoreWebView2_3, 0xa0d6df20, 0x3b92, 0x416d, 0xaa, 0x0c, 0x43, 0x7a,
                0x9c, 0x72, 0x78, 0x57)
