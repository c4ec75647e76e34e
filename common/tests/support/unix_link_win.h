#pragma once
// A symbolic link made on the Unix side for a Windows test under Wine, which
// makes none itself (its CreateSymbolicLinkW makes nothing): Unix's own ln,
// run as Wine runs a Unix program. Wine shows a link to a folder as a folder
// with FILE_ATTRIBUTE_REPARSE_POINT, a link to a file as a plain file.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace orvelle::test {

inline std::string unix_name(const std::filesystem::path& windows) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  auto to_unix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!to_unix) return {};
  char* name = to_unix(windows.wstring().c_str());
  if (!name) return {};
  std::string s = name;
  HeapFree(GetProcessHeap(), 0, name);
  return s;
}

// Starts a Unix program; the words must hold no blank. Wine's handle of it
// may signal before the program has run, so callers wait for its effect.
inline void unix_run(const std::string& line) {
  std::wstring wide(line.begin(), line.end());
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &info))
    return;
  WaitForSingleObject(info.hProcess, 30000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
}

inline bool within_30s(const std::function<bool()>& done) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

inline bool there(const std::filesystem::path& p) {
  return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// True once link is there.
inline bool unix_link(const std::filesystem::path& target, const std::filesystem::path& link) {
  std::string t = unix_name(target), l = unix_name(link);
  if (t.empty() || l.empty()) return false;
  unix_run("Z:\\bin\\ln -s " + t + " " + l);
  return within_30s([&] { return there(link); });
}

// Removes a folder with what is in it, links as links: the test's clean-up,
// which nothing in Wine can do.
inline void unix_remove(const std::filesystem::path& path) {
  std::string p = unix_name(path);
  if (p.empty() || p == "/") return;
  unix_run("Z:\\bin\\rm -rf " + p);
  within_30s([&] { return !there(path); });
}

}  // namespace orvelle::test
