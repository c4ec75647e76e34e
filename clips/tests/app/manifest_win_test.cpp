// orvelle-clips.exe carries its manifest as a resource, and the system reads
// per-monitor-v2 DPI awareness from it: without it, on a scaled display the
// client sizes would come out scaled while the capture is in physical pixels.

#include "win/test_paths.h"

#include <gtest/gtest.h>

#include <string>

namespace orvelle::clips {
namespace {

TEST(Manifest, DeclaresPerMonitorV2DpiAwareness) {
  // The tests' folder sits in the program's.
  std::wstring exe = beside_this_program(L"..\\orvelle-clips.exe");
  ACTCTXW request = {};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = exe.c_str();
  request.lpResourceName = MAKEINTRESOURCEW(1);
  HANDLE context = CreateActCtxW(&request);
  ASSERT_NE(context, INVALID_HANDLE_VALUE) << "no readable manifest in orvelle-clips.exe, error "
                                           << GetLastError();
  struct Release {
    HANDLE h;
    ~Release() { ReleaseActCtx(h); }
  } release{context};

  auto setting = [&](const wchar_t* ns, const wchar_t* name) {
    wchar_t value[64] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, context, ns, name, value, 64, &written)) return std::wstring();
    return std::wstring(value);
  };
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
            L"PerMonitorV2");
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
            L"true/pm");
}

}  // namespace
}  // namespace orvelle::clips
