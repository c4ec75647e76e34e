#pragma once
// The set-up most converter tests share: a 1296 x 759 window whose client
// area starts at (8, 31) below its frame, encoded at 1280 x 720 and 60 fps.

#include "capture/convert.h"

namespace orvelle::clips {

inline ConverterSetup windowed_setup(ConvertMode mode) {
  ConverterSetup s;
  s.fps = 60;
  s.item = {1296, 759};
  s.crop_x = 8;
  s.crop_y = 31;
  s.encode = {1280, 720};
  s.mode = mode;
  return s;
}

}  // namespace orvelle::clips
