#pragma once
// A fresh folder in the temporary folder for a Windows test, removed with
// everything in it when the test is done.

#include "common/utf.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>

namespace orvelle::setup {

struct ScratchFolder {
  std::filesystem::path path;
  ScratchFolder() {
    static std::atomic<int> count{0};
    path = std::filesystem::temp_directory_path() /
           ("orvelle-setup-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++count));
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  // A name in the folder, as the UTF-8 path the program's functions take.
  std::string file(const std::string& name) const {
    std::wstring w = (path / name).wstring();
    return utf16_to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(w.data()), w.size()));
  }
};

}  // namespace orvelle::setup
