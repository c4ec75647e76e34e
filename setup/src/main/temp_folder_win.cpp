#include "main/temp_folder_win.h"

#include "common/utf.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

namespace orvelle::setup {
namespace {

using GetTempPath2WFn = DWORD(WINAPI*)(DWORD, LPWSTR);

}  // namespace

std::string temp_folder() {
  auto get = &GetTempPathW;
  if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
    if (FARPROC p = GetProcAddress(kernel, "GetTempPath2W"))
      get = reinterpret_cast<GetTempPath2WFn>(reinterpret_cast<void*>(p));
  }
  wchar_t buffer[MAX_PATH + 1];
  DWORD n = get(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH) return {};
  return utf16_to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(buffer), n));
}

void remove_folder_patiently(const std::string& folder) {
  std::u16string wide = utf8_to_utf16(folder);
  std::filesystem::path path(std::wstring(wide.begin(), wide.end()));
  for (int attempt = 0; attempt < 30; ++attempt) {
    std::error_code failed;
    std::filesystem::remove_all(path, failed);
    if (!failed) return;
    // The browser's processes may still hold files a moment after the view
    // has closed; once the folder is gone there is nothing left to wait for.
    std::error_code gone;
    (void)std::filesystem::symlink_status(path, gone);
    if (gone) return;
    Sleep(100);
  }
}

}  // namespace orvelle::setup
