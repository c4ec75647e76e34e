#include "main/folder_listing_win.h"

#include "common/path_join.h"
#include "common/utf.h"
#include "common/win/owner.h"
#include "main/answer_files_win.h"

#include <windows.h>

namespace orvelle::setup {
namespace {

struct FindTraits : win::PointerTraits<HANDLE> {
  static bool is_valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { FindClose(h); }
};

std::string utf8(const wchar_t* text, std::size_t size) {
  return utf16_to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), size));
}

}  // namespace

std::optional<std::vector<FolderEntry>> WindowsLister::list(const std::string& folder) {
  WIN32_FIND_DATAW found{};
  win::Owner<FindTraits> search(FindFirstFileExW(wide_path(join_path(folder, "*")).c_str(),
                                                 FindExInfoBasic, &found, FindExSearchNameMatch,
                                                 nullptr, 0));
  if (!search) return std::nullopt;
  std::vector<FolderEntry> entries;
  do {
    FolderEntry e;
    e.name = utf8(found.cFileName, wcsnlen(found.cFileName, MAX_PATH));
    e.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    e.name_surrogate = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                       IsReparseTagNameSurrogate(found.dwReserved0);
    e.size = std::uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow;
    e.reparse_point = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    e.read_only = (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    entries.push_back(std::move(e));
  } while (FindNextFileW(search.get(), &found));
  return entries;
}

std::string long_folder_path(const std::string& folder) {
  if (folder.empty()) return folder;
  std::wstring path = wide_path(folder);
  std::wstring full(MAX_PATH, L'\0');
  while (true) {
    DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(),
                               nullptr);
    if (n == 0) return folder;
    if (n < full.size()) {
      full.resize(n);
      break;
    }
    full.resize(n + 1);  // n is then the size it needs
  }
  return long_path_form(utf8(full.data(), full.size()));
}

}  // namespace orvelle::setup
