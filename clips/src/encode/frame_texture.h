#pragma once
// A picture on its way from the capture to the encoder: the platform's own
// object (a Direct3D texture reference on Windows, a picture of the
// simulation's own), owned by whoever holds the FrameTexture and opaque to
// the core. It is a pointer and the function that lets it go, so handing a
// picture on allocates nothing.

#include <utility>

namespace orvelle::clips {

class FrameTexture {
 public:
  using Release = void (*)(void* object) noexcept;

  FrameTexture() = default;
  // Takes over one reference to object; release lets it go.
  FrameTexture(void* object, Release release) noexcept : object_(object), release_(release) {}
  FrameTexture(FrameTexture&& o) noexcept
      : object_(std::exchange(o.object_, nullptr)), release_(o.release_) {}
  FrameTexture& operator=(FrameTexture o) noexcept {
    std::swap(object_, o.object_);
    std::swap(release_, o.release_);
    return *this;
  }
  ~FrameTexture() { reset(); }

  void reset() noexcept {
    if (void* p = std::exchange(object_, nullptr)) release_(p);
  }
  // The platform's object, still owned here.
  void* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  void* object_ = nullptr;
  Release release_ = nullptr;
};

}  // namespace orvelle::clips
