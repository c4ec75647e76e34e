#pragma once
// A Media Foundation video type's attributes, as the portable geometry
// reads them; the storyboard reads clips with the same two calls.

#include "play/video_geometry.h"

#include <mfobjects.h>

namespace orvelle::clips {

// Each attribute the type does not carry is left missing.
VideoTypeAttributes video_type_attributes(IMFAttributes* type);
[[nodiscard]] Result<VideoGeometry> read_video_geometry(IMFAttributes* type);

}  // namespace orvelle::clips
