#pragma once
// The Windows Imaging Component's decode, scale (Fant) and cut of a cover,
// behind the same Picture seam: Wine has no Windows.Graphics.Imaging, so the
// tests decode real covers with it to check the core's geometry on real
// pixels.

#include "bridge/platform.h"

#include <objidl.h>

namespace orvelle::media::testing {

// A picture decoded from a classic stream.
Result<std::unique_ptr<Picture>> open_wic_picture(IStream* stream);

}  // namespace orvelle::media::testing
