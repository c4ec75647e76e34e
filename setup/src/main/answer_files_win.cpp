#include "main/answer_files_win.h"

#include "common/utf.h"
#include "common/win/owner.h"

#include <windows.h>

namespace orvelle::setup {
namespace {

// Created or truncated, then the whole text; share: what others holding the
// file open may go on doing meanwhile.
bool write_file(const std::wstring& path, std::string_view text, DWORD share) {
  win::Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

}  // namespace

std::wstring wide_path(std::string_view utf8) {
  std::u16string w = utf8_to_utf16(utf8);
  return std::wstring(w.begin(), w.end());
}

bool write_answer(const std::string& path, std::string_view text) {
  if (path.empty()) return false;
  std::wstring target = wide_path(path);
  std::wstring part = target + L".part";
  bool moved = write_file(part, text, 0) &&
               MoveFileExW(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
  if (moved) return true;
  DeleteFileW(part.c_str());
  // An installer holding the file open without delete sharing keeps any
  // move from replacing it; written in place, it still gets its answer.
  return write_file(target, text, FILE_SHARE_READ | FILE_SHARE_WRITE);
}

}  // namespace orvelle::setup
