#pragma once
// One owner for every HSTRING: WindowsDeleteString happens here and nowhere
// else in program code. The empty string is the null HSTRING.

#include "common/utf.h"
#include "common/win/error.h"

#include <winstring.h>

#include <string>
#include <string_view>
#include <utility>

namespace orvelle::win {

class HString {
 public:
  HString() = default;
  HString(HString&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
  HString& operator=(HString o) noexcept {
    std::swap(s_, o.s_);
    return *this;
  }
  ~HString() { reset(); }

  static Result<HString> make(std::wstring_view text) {
    HString out;
    HRESULT hr =
        WindowsCreateString(text.data(), static_cast<UINT32>(text.size()), out.put());
    if (FAILED(hr)) return error(hresult_error(hr));
    return out;
  }

  void reset() {
    if (HSTRING s = std::exchange(s_, nullptr)) WindowsDeleteString(s);
  }
  HSTRING get() const { return s_; }
  // For out-parameters: deletes what is held and hands the slot out.
  HSTRING* put() {
    reset();
    return &s_;
  }

  std::u16string_view view() const {
    UINT32 n = 0;
    const wchar_t* p = WindowsGetStringRawBuffer(s_, &n);
    return {reinterpret_cast<const char16_t*>(p), n};
  }
  // Unpaired surrogates become U+FFFD.
  std::string utf8() const { return utf16_to_utf8(view()); }

 private:
  HSTRING s_ = nullptr;
};

}  // namespace orvelle::win
