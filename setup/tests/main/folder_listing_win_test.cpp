// The install folder's walk under Wine, down to folders deeper than
// MAX_PATH.

#include "common/utf.h"
#include "main/folder_listing_win.h"
#include "main/progress.h"
#include "support/scratch_win.h"

#include <gtest/gtest.h>

namespace orvelle::setup {
namespace {

std::wstring wide(const std::string& utf8) {
  std::u16string w = utf8_to_utf16(utf8);
  return std::wstring(w.begin(), w.end());
}

bool make_file(const std::wstring& path, DWORD size) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string bytes(size, 'x');
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), size, &written, nullptr) && written == size;
  CloseHandle(file);
  return ok;
}

TEST(FolderWalkWin, ReachesFoldersDeeperThanMaxPath) {
  ScratchFolder scratch;
  std::string root = scratch.file("install");
  std::wstring deep = L"\\\\?\\" + wide(root);
  ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
  ASSERT_TRUE(make_file(deep + L"\\top.bin", 10));
  std::vector<std::wstring> folders;
  while (deep.size() < MAX_PATH + 100) {
    deep += L"\\" + std::wstring(60, L'd');
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << GetLastError();
    folders.push_back(deep);
  }
  ASSERT_TRUE(make_file(deep + L"\\deep.bin", 1234));
  WindowsLister lister;
  EXPECT_EQ(folder_size(long_folder_path(root), lister), 1244u);
  // A relative folder and forward slashes are made full first.
  EXPECT_EQ(long_folder_path("C:/a/b"), "\\\\?\\C:\\a\\b");
  EXPECT_TRUE(long_folder_path("rel").starts_with("\\\\?\\")) << long_folder_path("rel");
  EXPECT_EQ(long_folder_path(""), "");
  // Taken down from the bottom: the scratch folder's own removal may not
  // reach that deep.
  DeleteFileW((deep + L"\\deep.bin").c_str());
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) RemoveDirectoryW(it->c_str());
}

}  // namespace
}  // namespace orvelle::setup
