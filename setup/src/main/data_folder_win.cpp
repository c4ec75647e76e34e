#include "main/data_folder_win.h"

#include "common/path_join.h"
#include "common/utf.h"
#include "common/win/error.h"
#include "common/win/owner.h"
#include "main/data_folder.h"
#include "main/folder_listing_win.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

namespace orvelle::setup {
namespace {

using GetTempPath2WFn = DWORD(WINAPI*)(DWORD, LPWSTR);

std::filesystem::path native(const std::string& utf8) {
  std::u16string wide = utf8_to_utf16(utf8);
  return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
}

WinError temp_error(WinError e) {
  std::string text = win::system_message(e.code);
  return WinError{e.code, text.empty() ? "temporary folder" : "temporary folder: " + text};
}

}  // namespace

Result<std::string> temp_folder() {
  auto get = &GetTempPathW;
  if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
    if (FARPROC p = GetProcAddress(kernel, "GetTempPath2W"))
      get = reinterpret_cast<GetTempPath2WFn>(reinterpret_cast<void*>(p));
  }
  std::wstring buffer(MAX_PATH + 1, L'\0');
  while (true) {
    DWORD n = get(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0) return error(temp_error(win::last_error()));
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(n + 1);  // n is then the size it needs
  }
  return utf16_to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(buffer.data()),
                                           buffer.size()));
}

bool process_may_run(std::uint32_t process_id) {
  win::Handle process(
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
  // Access denied, for one, is a process that exists.
  if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
  return WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0;
}

Result<std::string> prepare_data_folder() {
  auto temp = temp_folder();
  if (!temp) return error(temp.error());
  auto own = user_data_folder(*temp, GetCurrentProcessId());
  if (!own)
    return error(WinError{static_cast<std::uint32_t>(HRESULT_FROM_WIN32(ERROR_BAD_PATHNAME)),
                          "temporary folder: not a full path: " + *temp});
  WindowsLister lister;
  if (auto entries = lister.list(*temp)) {
    for (const std::string& name : stale_data_folders(*entries, process_may_run)) {
      std::error_code ignored;
      std::filesystem::remove_all(native(join_path(*temp, name)), ignored);
    }
  }
  return *own;
}

void remove_folder_patiently(const std::string& folder) {
  std::filesystem::path path = native(folder);
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
