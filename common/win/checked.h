#pragma once
// A platform call that hands back an object, as a Status: its failure, or,
// when it succeeded without the object, the rule's failure with code 0.
// (win::checked, for every other call, is in error.h.)

#include "common/win/com_ptr.h"
#include "common/win/error.h"

namespace orvelle::win {

template <typename T>
Status made(HRESULT hr, const ComPtr<T>& object) {
  if (FAILED(hr)) return error(hresult_error(hr));
  if (!object) return error(no_object());
  return {};
}

}  // namespace orvelle::win
