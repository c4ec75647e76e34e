#include "mp4/clip_files_win.h"

#include "common/try.h"
#include "common/utf.h"
#include "common/win/error.h"
#include "mp4/random_access_file_win.h"

#include <windows.h>

namespace orvelle::clips {

Result<std::wstring> windows_path(std::string_view path) {
  if (!is_valid_utf8(path) || path.find('\0') != std::string_view::npos)
    return error(win::hresult_error(HRESULT_FROM_WIN32(ERROR_INVALID_NAME)));
  const std::u16string wide = utf8_to_utf16(path);
  return std::wstring(wide.begin(), wide.end());
}

bool Win32ClipFiles::exists(std::string_view path) {
  auto wide = windows_path(path);
  return wide && GetFileAttributesW(wide->c_str()) != INVALID_FILE_ATTRIBUTES;
}

Result<std::uint64_t> Win32ClipFiles::size(std::string_view path) {
  ORVELLE_ASSIGN_OR_RETURN(const std::wstring wide, windows_path(path));
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data))
    return error(win::last_error());
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

Status Win32ClipFiles::move_replacing(std::string_view from, std::string_view to) {
  ORVELLE_ASSIGN_OR_RETURN(const std::wstring source, windows_path(from));
  ORVELLE_ASSIGN_OR_RETURN(const std::wstring target, windows_path(to));
  // The final name may lie on another volume.
  if (!MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
    return error(win::last_error());
  return {};
}

Status Win32ClipFiles::remove_own(std::string_view path) {
  ORVELLE_ASSIGN_OR_RETURN(const std::wstring wide, windows_path(path));
  if (DeleteFileW(wide.c_str())) return {};
  WinError failure = win::last_error();
  // The file is this save's own, so a read-only mark set on it meanwhile is
  // no reason to leave half a clip behind.
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
    return error(std::move(failure));
  if (!SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) ||
      !DeleteFileW(wide.c_str()))
    return error(win::last_error());
  return {};
}

Result<std::unique_ptr<RandomAccessFile>> Win32ClipFiles::open_for_update(std::string_view path) {
  ORVELLE_TRY(windows_path(path));
  return open_file_for_update(path);
}

}  // namespace orvelle::clips
