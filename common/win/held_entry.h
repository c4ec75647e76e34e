#pragma once
// A folder's entry opened as itself, never through a link, and checked
// through its handle to be the entry of that name in that folder: what is
// then done through the handle is done to that entry, whatever a link
// planted in its place would have led to.

#include "common/win/owner.h"
#include "common/win_error.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace orvelle::win {

// The path the system gives the object behind a handle ("\\?\C:\...").
Result<std::wstring> final_path(HANDLE handle);

// The final path of a folder given by the caller, links on its way followed:
// the folder the entries are checked against.
Result<std::wstring> folder_final_path(const std::wstring& folder);

struct HeldEntry {
  Handle handle;
  std::wstring final;             // its final path
  std::uint32_t attributes = 0;   // as the handle sees them
};

// Opens path with the access and sharing asked (FILE_FLAG_OPEN_REPARSE_POINT,
// FILE_FLAG_BACKUP_SEMANTICS) and keeps it only when its final path is
// folder_final + "\" + name: a name that leads elsewhere fails with
// ERROR_STOPPED_ON_SYMLINK (the system's where it does not open links as
// themselves, as Wine, which opens what they point to).
Result<HeldEntry> hold_entry(const std::wstring& path, const std::wstring& folder_final,
                             const std::wstring& name, DWORD access, DWORD share);

// Marks the held entry (a file, an empty folder or a link itself) to go
// when its handle closes; read-only cleared first. The handle needs DELETE
// and FILE_WRITE_ATTRIBUTES.
Status delete_held(const HeldEntry& entry);

// A file made new at path (CREATE_NEW, with the access, sharing and flags
// asked), never opened through what is there: a link planted at the name
// would have had what it points to truncated and written. A plain file of
// that very name (one we left before) is taken away first; anything else
// there is left, and the file is not made (ERROR_FILE_EXISTS).
Handle create_new_file(const std::wstring& path, DWORD access, DWORD share, DWORD flags);

// HRESULT_FROM_WIN32(ERROR_STOPPED_ON_SYMLINK), 681, which mingw-w64 does not name.
inline constexpr std::uint32_t kStoppedOnLink = 0x800702A9u;

}  // namespace orvelle::win
