#pragma once
// A platform call's outcome as a Status: its failure, or, for a call that
// hands back an object, the rule that succeeding without one is a failure
// too (code 0).

#include "common/win/com_ptr.h"
#include "common/win/error.h"

namespace orvelle::win {

inline Status checked(HRESULT hr) {
  if (FAILED(hr)) return error(hresult_error(hr));
  return {};
}

template <typename T>
Status made(HRESULT hr, const ComPtr<T>& object) {
  if (FAILED(hr)) return error(hresult_error(hr));
  if (!object) return error(no_object());
  return {};
}

}  // namespace orvelle::win
