#include "play/frames_file_win.h"

#include "common/utf.h"
#include "common/win/error.h"
#include "common/win/held_entry.h"
#include "common/win/owner.h"

#include <windows.h>

#include <string>

namespace orvelle::clips {
namespace {

// GetTempPath2W where the system has it (it keeps a service's files out of
// the shared folder), else GetTempPathW.
std::wstring temporary_folder() {
  using TempPath = DWORD(WINAPI*)(DWORD, LPWSTR);
  auto two = reinterpret_cast<TempPath>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTempPath2W")));
  TempPath get = two ? two : GetTempPathW;
  wchar_t folder[MAX_PATH + 1] = {};
  DWORD n = get(MAX_PATH + 1, folder);
  return std::wstring(folder, n <= MAX_PATH ? n : 0);
}

class WinFramesFile final : public FramesFile {
 public:
  WinFramesFile(std::wstring path, win::Handle file, win::Handle mapping, win::MappedView view, std::uint64_t size)
      : path_(utf16_to_utf8(std::u16string(path.begin(), path.end()))), file_(std::move(file)),
        mapping_(std::move(mapping)), view_(std::move(view)), size_(size) {}
  std::span<std::uint8_t> bytes() override { return {static_cast<std::uint8_t*>(view_.get()), size_}; }
  const std::string& path() const override { return path_; }
  // Wakes a waiter of this process on the published word; a reader in
  // another process polls it.
  void published() override { WakeByAddressAll(static_cast<std::uint8_t*>(view_.get()) + kPublishedWordOffset); }

 private:
  std::string path_;
  win::Handle file_, mapping_;
  win::MappedView view_;  // let go before the handles
  std::uint64_t size_;
};

}  // namespace

std::expected<std::unique_ptr<FramesFile>, std::string> create_frames_file_win(std::uint64_t bytes) {
  std::wstring path = temporary_folder() + L"orvelle-play-" + std::to_wstring(GetCurrentProcessId()) + L".bin";
  // Made new at its name: a plain file a player of the same id left is
  // replaced, a link planted there is never followed.
  win::Handle file = win::create_new_file(path, GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
  if (!file) return std::unexpected("the frames file: " + win::last_error().text());
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(bytes);
  if (!SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get()))
    return std::unexpected("the frames file: " + win::last_error().text());
  win::Handle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READWRITE, static_cast<DWORD>(bytes >> 32),
                                         static_cast<DWORD>(bytes), nullptr));
  if (!mapping) return std::unexpected("the frames mapping: " + win::last_error().text());
  win::MappedView view(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (!view) return std::unexpected(std::string("the frames view"));
  return std::make_unique<WinFramesFile>(std::move(path), std::move(file), std::move(mapping), std::move(view),
                                         bytes);
}

}  // namespace orvelle::clips
