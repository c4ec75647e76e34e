// Files read and written at offsets through the Win32 file API.

#include "mp4/random_access_file_win.h"

#include "common/utf.h"
#include "common/win/error.h"
#include "common/win/owner.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace orvelle::clips {
namespace {

// ReadFile and WriteFile move at most a DWORD at a time.
constexpr std::size_t kMaxChunk = 1u << 30;

OVERLAPPED at(std::uint64_t offset) {
  OVERLAPPED o{};
  o.Offset = static_cast<DWORD>(offset);
  o.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return o;
}

WinError end_of_file() {
  return WinError{static_cast<std::uint32_t>(HRESULT_FROM_WIN32(ERROR_HANDLE_EOF)), {}};
}

class Win32File final : public RandomAccessFile {
 public:
  explicit Win32File(win::Handle handle) : handle_(std::move(handle)) {}

  Result<std::uint64_t> size() override {
    LARGE_INTEGER n;
    if (!GetFileSizeEx(handle_.get(), &n)) return error(win::last_error());
    return static_cast<std::uint64_t>(n.QuadPart);
  }

  Status read_at(std::uint64_t offset, std::span<std::uint8_t> out) override {
    while (!out.empty()) {
      DWORD want = static_cast<DWORD>(std::min(out.size(), kMaxChunk));
      DWORD got = 0;
      OVERLAPPED o = at(offset);
      if (!ReadFile(handle_.get(), out.data(), want, &got, &o)) return error(win::last_error());
      if (got == 0) return error(end_of_file());
      out = out.subspan(got);
      offset += got;
    }
    return {};
  }

  Status write_at(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    while (!data.empty()) {
      DWORD want = static_cast<DWORD>(std::min(data.size(), kMaxChunk));
      DWORD put = 0;
      OVERLAPPED o = at(offset);
      if (!WriteFile(handle_.get(), data.data(), want, &put, &o)) return error(win::last_error());
      if (put == 0) return error(fail("the file took no bytes"));
      data = data.subspan(put);
      offset += put;
    }
    return {};
  }

 private:
  win::Handle handle_;
};

}  // namespace

Result<std::unique_ptr<RandomAccessFile>> open_file_for_update(std::string_view path) {
  std::u16string wide = utf8_to_utf16(path);
  win::Handle h(CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()),
                            GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) return error(win::last_error());
  return std::make_unique<Win32File>(std::move(h));
}

}  // namespace orvelle::clips
