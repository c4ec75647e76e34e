#pragma once
// A Media Foundation video type's attributes, as the portable geometry
// reads them.

#include "play/video_geometry.h"

#include <mfobjects.h>

namespace orvelle::clips {

// Each attribute the type does not carry is left missing, but for the frame
// size, without which no geometry exists: then the platform's own error.
[[nodiscard]] Result<VideoTypeAttributes> video_type_attributes(IMFAttributes* type);

}  // namespace orvelle::clips
