#include "main/answer_files_win.h"

#include "common/utf.h"
#include "common/win/owner.h"

#include <windows.h>

namespace orvelle::setup {

std::wstring wide_path(std::string_view utf8) {
  std::u16string w = utf8_to_utf16(utf8);
  return std::wstring(w.begin(), w.end());
}

bool write_answer(const std::string& path, std::string_view text) {
  if (path.empty()) return false;
  std::wstring target = wide_path(path);
  std::wstring part = target + L".part";
  {
    win::Handle file(CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
      file.reset();
      DeleteFileW(part.c_str());
      return false;
    }
  }
  if (MoveFileExW(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileW(part.c_str());
  return false;
}

}  // namespace orvelle::setup
