// The installer's program as the setup window's "retry" starts it: it
// records that it was started, and its command line, in "NAME.started"
// beside its own file.

#include <windows.h>

#include <string>

int main() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  std::wstring record = std::wstring(path, n) + L".started";
  HANDLE file = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const wchar_t* line = GetCommandLineW();
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(wcslen(line) * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);
  return 0;
}
