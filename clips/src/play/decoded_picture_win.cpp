#include "play/decoded_picture_win.h"

#include "common/try.h"
#include "common/win/checked.h"

#include <utility>

namespace orvelle::clips {
namespace {

using win::checked;
using win::ComPtr;

// Rows lie where the buffer's own lock puts them: a decoder's surface may
// pad its rows beyond the type's stride or run bottom-up. A buffer that can
// say its extent (IMF2DBuffer2) gives it; one that cannot gives its packed
// size, which the copy turns into rows of its pitch.
class WinPicture final : public DecodedPicture {
 public:
  explicit WinPicture(ComPtr<IMFMediaBuffer> buffer) : buffer_(std::move(buffer)) {}
  ~WinPicture() override { (void)unlock(); }
  Result<LockedPicture> lock() override {
    if (SUCCEEDED(buffer_.as(two_d2_))) {
      BYTE *scan0 = nullptr, *start = nullptr;
      LONG pitch = 0;
      DWORD length = 0;
      ORVELLE_TRY(checked(two_d2_->Lock2DSize(MF2DBuffer_LockFlags_Read, &scan0, &pitch, &start, &length)));
      locked_ = Lock::two_d2;
      return LockedPicture{start, length, scan0, pitch};
    }
    if (SUCCEEDED(buffer_.as(two_d_))) {
      DWORD packed = 0;
      ORVELLE_TRY(checked(two_d_->GetContiguousLength(&packed)));
      BYTE* scan0 = nullptr;
      LONG pitch = 0;
      ORVELLE_TRY(checked(two_d_->Lock2D(&scan0, &pitch)));
      locked_ = Lock::two_d;
      LockedPicture picture{scan0, packed, scan0, pitch};
      picture.packed_length = true;
      return picture;
    }
    BYTE* data = nullptr;
    DWORD length = 0;
    ORVELLE_TRY(checked(buffer_->Lock(&data, nullptr, &length)));
    locked_ = Lock::plain;
    return LockedPicture{data, length};
  }
  Status unlock() override {
    const Lock was = std::exchange(locked_, Lock::none);
    switch (was) {
      case Lock::two_d2: return checked(two_d2_->Unlock2D());
      case Lock::two_d: return checked(two_d_->Unlock2D());
      case Lock::plain: return checked(buffer_->Unlock());
      case Lock::none: break;
    }
    return {};
  }

 private:
  enum class Lock { none, two_d2, two_d, plain };
  ComPtr<IMFMediaBuffer> buffer_;
  ComPtr<IMF2DBuffer2> two_d2_;
  ComPtr<IMF2DBuffer> two_d_;
  Lock locked_ = Lock::none;
};

}  // namespace

std::unique_ptr<DecodedPicture> decoded_picture_win(ComPtr<IMFMediaBuffer> buffer) {
  return std::make_unique<WinPicture>(std::move(buffer));
}

}  // namespace orvelle::clips
