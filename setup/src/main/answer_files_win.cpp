#include "main/answer_files_win.h"

#include "common/utf.h"
#include "common/win/held_entry.h"
#include "common/win/owner.h"

#include <windows.h>

namespace orvelle::setup {
namespace {

bool write_text(const win::Handle& file, std::string_view text) {
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
  // The part is made new: its name is ours, not the installer's, and a link
  // planted at it would have had what it points to overwritten.
  bool made = false, written = false;
  {
    win::Handle file = win::create_new_file(part, GENERIC_WRITE, 0, FILE_ATTRIBUTE_NORMAL);
    made = bool(file);
    written = write_text(file, text);
  }
  if (written && MoveFileExW(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  if (made) DeleteFileW(part.c_str());
  // An installer holding the file open without delete sharing keeps any
  // move from replacing it; written in place, it still gets its answer.
  win::Handle in_place(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return write_text(in_place, text);
}

}  // namespace orvelle::setup
