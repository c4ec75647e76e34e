#include "play/media_duration_win.h"

namespace orvelle::clips {

std::uint64_t media_duration(const PROPVARIANT& value) {
  return value.vt == VT_UI8 ? static_cast<std::uint64_t>(value.uhVal.QuadPart) : 0;
}

}  // namespace orvelle::clips
