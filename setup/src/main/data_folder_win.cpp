#include "main/data_folder_win.h"

#include "common/path_join.h"
#include "common/utf.h"
#include "common/win/error.h"
#include "common/win/owner.h"
#include "main/data_folder.h"
#include "main/folder_listing_win.h"
#include "main/folder_removal_win.h"

#include <windows.h>

namespace orvelle::setup {
namespace {

using GetTempPath2WFn = DWORD(WINAPI*)(DWORD, LPWSTR);

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

Result<std::string> prepare_data_folder(const Result<std::string>& temp) {
  if (!temp) return error(temp.error());
  auto own = user_data_folder(*temp, GetCurrentProcessId());
  if (!own)
    return error(WinError{static_cast<std::uint32_t>(HRESULT_FROM_WIN32(ERROR_BAD_PATHNAME)),
                          "temporary folder: not a full path: " + *temp});
  WindowsLister lister;
  if (auto entries = lister.list(*temp)) {
    for (const std::string& name : stale_data_folders(*entries, process_may_run))
      (void)remove_folder_tree(join_path(*temp, name));
  }
  return *own;
}

void remove_folder_patiently(const std::string& folder) {
  // The browser's processes may still hold files a moment after the view
  // has closed; once the folder is gone, or something in it is refused,
  // there is nothing left to wait for.
  for (int tries = 1;; ++tries) {
    if (!try_removal_again(remove_folder_tree(folder), tries)) return;
    Sleep(static_cast<DWORD>(kRemovalGap.count()));
  }
}

}  // namespace orvelle::setup
