#include "play/frames_file_win.h"

#include "common/tests/support/unix_link_win.h"
#include "common/utf.h"
#include "common/win/owner.h"
#include "play/frames_layout.h"
#include "play/frames_writer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace orvelle::clips {
namespace {

std::wstring wide(const std::string& s) {
  std::u16string w = utf8_to_utf16(s);
  return std::wstring(w.begin(), w.end());
}

TEST(FramesFileWin, IsTheTemporaryFoldersDeleteOnCloseFileTheClientCanOpenAndMap) {
  FramesSize size = *frames_size(16, 8);
  auto file = create_frames_file_win(size.file_bytes);
  ASSERT_TRUE(file) << file.error();
  const std::string path = (*file)->path();
  EXPECT_NE(path.find("orvelle-play-" + std::to_string(GetCurrentProcessId()) + ".bin"), std::string::npos) << path;
  ASSERT_EQ((*file)->bytes().size(), size.file_bytes);
  for (std::uint8_t b : (*file)->bytes()) ASSERT_EQ(b, 0);
  FramesWriter writer(**file, 16, 8, size);

  // The client's open: read and write, sharing read, write and delete.
  win::Handle client(CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                 nullptr));
  ASSERT_TRUE(client) << GetLastError();
  win::Handle mapping(CreateFileMappingW(client.get(), nullptr, PAGE_READWRITE, 0, 0, nullptr));
  ASSERT_TRUE(mapping);
  win::MappedView view(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
  ASSERT_TRUE(view);
  EXPECT_EQ(std::memcmp(view.get(), "QVRM", 4), 0);
  std::uint32_t word = 0;
  std::memcpy(&word, static_cast<std::uint8_t*>(view.get()) + 16, 4);
  EXPECT_EQ(word, 1u);

  // Gone once the last handle, the client's, closes.
  file->reset();
  EXPECT_NE(GetFileAttributesW(wide(path).c_str()), INVALID_FILE_ATTRIBUTES);
  view.reset();
  mapping.reset();
  client.reset();
  EXPECT_EQ(GetFileAttributesW(wide(path).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(FramesFileWin, ALinkAtItsNameIsNeverFollowedAndALeftFileIsReplaced) {
  namespace fs = std::filesystem;
  wchar_t temp[MAX_PATH + 1] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
  fs::path name = fs::path(temp) / ("orvelle-play-" + std::to_string(GetCurrentProcessId()) + ".bin");
  fs::path target = fs::path(temp) / ("orvelle-play-test-target-" + std::to_string(GetCurrentProcessId()));
  std::ofstream(target, std::ios::binary) << "precious";
  ASSERT_TRUE(test::unix_link(target, name));
  FramesSize size = *frames_size(16, 8);
  auto refused = create_frames_file_win(size.file_bytes);
  EXPECT_FALSE(refused);
  test::unix_remove(name);
  std::ifstream in(target, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "precious");
  in.close();
  fs::remove(target);

  // A plain file a player of the same id left behind.
  std::ofstream(name, std::ios::binary) << "left";
  auto file = create_frames_file_win(size.file_bytes);
  ASSERT_TRUE(file) << file.error();
  EXPECT_EQ((*file)->bytes().size(), size.file_bytes);
  file->reset();
  EXPECT_FALSE(fs::exists(name));
}

}  // namespace
}  // namespace orvelle::clips
