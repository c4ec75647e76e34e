#include "capture/frame_handler_win.h"

#include "common/try.h"
#include "common/win/checked.h"
#include "encode/frame_texture_win.h"

#include <algorithm>

namespace orvelle::clips {
namespace {

using win::ComPtr;

std::uint32_t side(std::int32_t v) { return static_cast<std::uint32_t>(std::max(v, 0)); }

// The pool's frame, asked only what the decisions need.
class PoolFrame final : public ArrivedFrame {
 public:
  explicit PoolFrame(win::IDirect3D11CaptureFrame* frame) : frame_(frame) {}

  std::optional<Ticks> time() override {
    win::TimeSpan t{};
    if (FAILED(frame_->get_SystemRelativeTime(&t))) return std::nullopt;
    return Ticks{t.Duration};
  }
  Size content_size() override {
    win::SizeInt32 s{};
    if (FAILED(frame_->get_ContentSize(&s))) return {};
    return {side(s.Width), side(s.Height)};
  }
  Result<FrameTexture> texture() override {
    ComPtr<win::IDirect3DSurface> surface;
    ORVELLE_TRY(win::made(frame_->get_Surface(surface.put()), surface));
    auto texture = surface_texture(surface.get());
    if (!texture) return error(texture.error());
    return frame_texture(std::move(*texture));
  }

 private:
  win::IDirect3D11CaptureFrame* frame_;
};

}  // namespace

ComPtr<FrameArrivedHandler> FrameArrivedHandler::make(FrameHandlerSetup setup) {
  return ComPtr<FrameArrivedHandler>::attach(new FrameArrivedHandler(std::move(setup)));
}

HRESULT FrameArrivedHandler::Invoke(win::IDirect3D11CaptureFramePool* pool, IInspectable*) {
  if (!pool) return S_OK;
  try {
    ComPtr<win::IDirect3D11CaptureFrame> frame;
    if (FAILED(pool->TryGetNextFrame(frame.put())) || !frame) return S_OK;
    PoolFrame arrived(frame.get());
    on_frame_arrived(arrival_, arrived);
  } catch (...) {
    // Out of memory for one frame's bookkeeping: that frame is lost, not the capture.
  }
  return S_OK;
}

Result<ComPtr<ID3D11Texture2D>> surface_texture(win::IDirect3DSurface* surface) {
  ComPtr<win::IDirect3DDxgiInterfaceAccess> access;
  ORVELLE_TRY(win::made(ComPtr<win::IDirect3DSurface>::share(surface).as(access), access));
  ComPtr<ID3D11Texture2D> texture;
  ORVELLE_TRY(win::made(access->GetInterface(__uuidof(ID3D11Texture2D), texture.put_void()), texture));
  return texture;
}

}  // namespace orvelle::clips
