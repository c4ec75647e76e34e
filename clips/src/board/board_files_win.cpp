#include "board/board_files_win.h"

#include "common/try.h"
#include "common/win/error.h"
#include "common/win/held_entry.h"
#include "common/win/owner.h"
#include "mp4/clip_files_win.h"

#include <windows.h>

#include <algorithm>

namespace orvelle::clips {
namespace {

// FILETIME counts 100 ns from 1601; the index counts milliseconds from 1970.
constexpr std::uint64_t kUnixEpoch = 116'444'736'000'000'000;
constexpr std::size_t kMaxWrite = 1u << 30;

Status write_all(HANDLE file, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kMaxWrite));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return error(win::last_error());
    if (written == 0) return error(win::hresult_error(HRESULT_FROM_WIN32(ERROR_WRITE_FAULT)));
    bytes = bytes.subspan(written);
  }
  return {};
}

// A half-written part only takes room, nothing reads it: it goes, but only
// when it is the one made here.
Status write_then_move(const std::wstring& part, const std::wstring& target,
                       std::span<const std::uint8_t> bytes) {
  Status written;
  {
    // Made new: a link planted at the part's name would have had what it
    // points to overwritten with the picture.
    win::Handle file = win::create_new_file(part, GENERIC_WRITE, 0, FILE_ATTRIBUTE_NORMAL);
    if (!file) return error(win::last_error());
    written = write_all(file.get(), bytes);
  }
  if (written && !MoveFileExW(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
    written = error(win::last_error());
  if (!written) DeleteFileW(part.c_str());
  return written;
}

}  // namespace

Status Win32BoardFiles::write_part_file(const std::string& target, std::span<const std::uint8_t> bytes) {
  ORVELLE_ASSIGN_OR_RETURN(const std::wstring wide_target, windows_path(target));
  ORVELLE_ASSIGN_OR_RETURN(const std::wstring part, windows_path(target + ".part"));
  return write_then_move(part, wide_target, bytes);
}

Status Win32BoardFiles::remove(const std::string& path) {
  ORVELLE_ASSIGN_OR_RETURN(const std::wstring wide, windows_path(path));
  if (DeleteFileW(wide.c_str())) return {};
  const DWORD failure = GetLastError();
  if (failure == ERROR_FILE_NOT_FOUND || failure == ERROR_PATH_NOT_FOUND) return {};
  return error(win::hresult_error(HRESULT_FROM_WIN32(failure)));
}

BoardSource Win32BoardFiles::facts(const std::string& path) {
  auto wide = windows_path(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!wide || !GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data)) return {};
  const std::uint64_t written =
      (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
  return {(std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
          written < kUnixEpoch ? 0 : (written - kUnixEpoch) / 10'000};
}

}  // namespace orvelle::clips
