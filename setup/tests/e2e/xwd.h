#pragma once
// A screenshot of the X display in xwd's format (xwd -root), read back: the
// end-to-end tests look at what Wine put on the screen.

#include <cstdint>
#include <optional>
#include <string>

namespace orvelle::e2e {

struct Rgb {
  int r = 0, g = 0, b = 0;
};

class Screenshot {
 public:
  // Nothing when the bytes are not a ZPixmap of 24 or 32 bits per pixel.
  static std::optional<Screenshot> read(std::string bytes);
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb at(int x, int y) const;

 private:
  std::string bytes_;
  std::size_t offset_ = 0, stride_ = 0;
  int width_ = 0, height_ = 0, bytes_per_pixel_ = 0;
  bool msb_first_ = false;
  std::uint32_t masks_[3] = {};
};

}  // namespace orvelle::e2e
