#include "common/win/held_entry.h"

#include "common/win/error.h"

namespace orvelle::win {

Result<std::wstring> final_path(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    DWORD n = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return error(last_error());
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(n + 1);  // n is then the size it needs
  }
}

Result<std::wstring> folder_final_path(const std::wstring& folder) {
  Handle h(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h) return error(last_error());
  return final_path(h.get());
}

Result<HeldEntry> hold_entry(const std::wstring& path, const std::wstring& folder_final,
                             const std::wstring& name, DWORD access, DWORD share) {
  HeldEntry e;
  e.handle = Handle(CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES, share, nullptr,
                                OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!e.handle) return error(last_error());
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!GetFileInformationByHandleEx(e.handle.get(), FileAttributeTagInfo, &tag, sizeof tag))
    return error(last_error());
  e.attributes = tag.FileAttributes;
  auto final = final_path(e.handle.get());
  if (!final) return error(final.error());
  // Names compare as the file system does, without regard to case.
  std::wstring expected = folder_final;
  if (!expected.ends_with(L'\\')) expected += L'\\';
  expected += name;
  if (CompareStringOrdinal(final->c_str(), static_cast<int>(final->size()), expected.c_str(),
                           static_cast<int>(expected.size()), TRUE) != CSTR_EQUAL)
    return error(WinError{kStoppedOnLink, {}});
  e.final = std::move(*final);
  return e;
}

Handle create_new_file(const std::wstring& path, DWORD access, DWORD share, DWORD flags) {
  auto create = [&] { return Handle(CreateFileW(path.c_str(), access, share, nullptr, CREATE_NEW, flags, nullptr)); };
  Handle file = create();
  if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  std::size_t cut = path.find_last_of(L"\\/");
  std::wstring folder = cut == std::wstring::npos ? L"." : path.substr(0, cut + 1);
  std::wstring name = cut == std::wstring::npos ? path : path.substr(cut + 1);
  auto folder_final = folder_final_path(folder);
  auto left = folder_final ? hold_entry(path, *folder_final, name, DELETE | FILE_WRITE_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)
                           : Result<HeldEntry>(error(folder_final.error()));
  if (!left || (left->attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
      !delete_held(*left)) {
    SetLastError(ERROR_FILE_EXISTS);
    return file;
  }
  left = {};
  return create();
}

Status delete_held(const HeldEntry& e) {
  if (e.attributes & FILE_ATTRIBUTE_READONLY) {
    FILE_BASIC_INFO basic{};
    // Only the attributes a caller may set; zero times leave the times alone.
    basic.FileAttributes = e.attributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                           FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_TEMPORARY |
                                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(e.handle.get(), FileBasicInfo, &basic, sizeof basic))
      return error(last_error());
  }
  FILE_DISPOSITION_INFO gone{TRUE};
  if (!SetFileInformationByHandle(e.handle.get(), FileDispositionInfo, &gone, sizeof gone))
    return error(last_error());
  return {};
}

}  // namespace orvelle::win
