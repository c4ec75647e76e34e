#include "main/folder_removal_win.h"

#include "common/utf.h"
#include "common/win/held_entry.h"
#include "main/answer_files_win.h"
#include "main/folder_listing_win.h"

#include <vector>

namespace orvelle::setup {
namespace {

// Deleted through the handle; others may go on reading and writing what
// they hold, but nobody renames a folder while it is being emptied.
constexpr DWORD kAccess =
    DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | FILE_LIST_DIRECTORY | SYNCHRONIZE;
constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

RemovalOutcome failed(const WinError& e) {
  auto code = [](DWORD win32) { return static_cast<std::uint32_t>(HRESULT_FROM_WIN32(win32)); };
  if (e.code == code(ERROR_FILE_NOT_FOUND) || e.code == code(ERROR_PATH_NOT_FOUND))
    return RemovalOutcome::Gone;
  if (e.code == win::kStoppedOnLink) return RemovalOutcome::Refused;
  return RemovalOutcome::Held;
}

FolderEntry as_entry(const std::wstring& name, DWORD attributes) {
  FolderEntry e;
  e.name = utf16_to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(name.data()), name.size()));
  e.directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  e.reparse_point = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  e.read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  return e;
}

// The names in the held folder, listed through its handle: the folder that
// was checked, whatever its path may lead to meanwhile.
std::optional<std::vector<std::wstring>> list_held(HANDLE folder) {
  std::vector<std::wstring> names;
  alignas(8) std::byte buffer[64 * 1024];
  auto kind = FileFullDirectoryRestartInfo;
  while (GetFileInformationByHandleEx(folder, kind, buffer, sizeof buffer)) {
    kind = FileFullDirectoryInfo;
    for (std::size_t at = 0;;) {
      auto* info = reinterpret_cast<const FILE_FULL_DIR_INFO*>(buffer + at);
      names.emplace_back(info->FileName, info->FileNameLength / sizeof(wchar_t));
      if (info->NextEntryOffset == 0) break;
      at += info->NextEntryOffset;
    }
  }
  if (GetLastError() != ERROR_NO_MORE_FILES) return std::nullopt;
  return names;
}

RemovalOutcome remove_entry(const std::string& path, const std::wstring& folder_final,
                            const std::wstring& name, bool top) {
  auto held = win::hold_entry(wide_path(path), folder_final, name, kAccess, kShare);
  if (!held) return failed(held.error());
  // What the handle says, not what the listing said a moment before.
  switch (entry_removal(as_entry(name, held->attributes), top)) {
    case EntryRemoval::Skip:
      return RemovalOutcome::Removed;
    case EntryRemoval::Refuse:
      return RemovalOutcome::Refused;
    case EntryRemoval::Walk: {
      auto names = list_held(held->handle.get());
      if (!names) return RemovalOutcome::Held;
      RemovalOutcome outcome = RemovalOutcome::Removed;
      for (const std::wstring& child : *names) {
        if (child == L"." || child == L"..") continue;
        outcome = worse(outcome, remove_entry(path + "\\" + as_entry(child, 0).name, held->final, child, false));
      }
      // A folder with something left in it cannot go yet.
      if (outcome == RemovalOutcome::Refused || outcome == RemovalOutcome::Held) return outcome;
      break;
    }
    case EntryRemoval::RemoveLink:
    case EntryRemoval::RemoveFile:
      break;
  }
  if (!win::delete_held(*held)) return RemovalOutcome::Held;
  return RemovalOutcome::Removed;
}

}  // namespace

RemovalOutcome remove_folder_tree(const std::string& folder) {
  std::string path = long_folder_path(folder);
  while (path.size() > 1 && path.ends_with('\\')) path.pop_back();
  std::size_t cut = path.rfind('\\');
  if (cut == std::string::npos) return RemovalOutcome::Refused;
  auto parent = win::folder_final_path(wide_path(path.substr(0, cut + 1)));
  if (!parent) return failed(parent.error());
  std::u16string name = utf8_to_utf16(path.substr(cut + 1));
  return remove_entry(path, *parent, std::wstring(name.begin(), name.end()), true);
}

}  // namespace orvelle::setup
