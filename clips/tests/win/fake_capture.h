#pragma once
// The capture objects Wine lacks, as far as the frame handler and the
// session's close use them: a frame pool that hands out frames of real
// textures, the frames and their surfaces, and a capture session. Each
// close is written to a shared log so its order can be checked.

#include "common/win/capture.h"
#include "common/win/com_object.h"

#include <d3d11.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace orvelle::clips::fake {

using CloseLog = std::shared_ptr<std::vector<std::string>>;

class Surface final : public win::ComObject<win::IDirect3DSurface, win::IDirect3DDxgiInterfaceAccess> {
 public:
  explicit Surface(win::ComPtr<ID3D11Texture2D> texture) : texture_(std::move(texture)) {}
  HRESULT STDMETHODCALLTYPE get_Description(win::Direct3DSurfaceDescription*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetInterface(REFIID iid, void** object) override {
    return texture_.as(iid, object);
  }

 private:
  win::ComPtr<ID3D11Texture2D> texture_;
};

class Frame final : public win::ComObject<win::IDirect3D11CaptureFrame, win::IClosable> {
 public:
  Frame(win::ComPtr<ID3D11Texture2D> texture, std::int64_t time, win::SizeInt32 size)
      : surface_(win::make_com<Surface>(std::move(texture))), time_(time), size_(size) {}
  bool surface_fails = false;

  HRESULT STDMETHODCALLTYPE get_Surface(win::IDirect3DSurface** value) override {
    if (surface_fails) return E_FAIL;
    *value = win::ComPtr<win::IDirect3DSurface>(surface_).detach();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_SystemRelativeTime(win::TimeSpan* value) override {
    value->Duration = time_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ContentSize(win::SizeInt32* value) override {
    *value = size_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }

 private:
  win::ComPtr<win::IDirect3DSurface> surface_;
  std::int64_t time_;
  win::SizeInt32 size_;
};

// A capture session that takes every setting of the later session interfaces.
class Session final
    : public win::ComObject<win::IGraphicsCaptureSession, win::IClosable,
                            win::IGraphicsCaptureSession2, win::IGraphicsCaptureSession3,
                            win::IGraphicsCaptureSession5, win::IGraphicsCaptureSession6> {
 public:
  explicit Session(CloseLog log) : log_(std::move(log)) {}
  bool started = false;
  std::optional<bool> cursor, border, secondary_windows;
  std::optional<std::int64_t> min_update_interval;

  HRESULT STDMETHODCALLTYPE StartCapture() override {
    started = true;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Close() override {
    log_->push_back("session");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_IsCursorCaptureEnabled(boolean*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_IsCursorCaptureEnabled(boolean v) override {
    cursor = v != 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_IsBorderRequired(boolean*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_IsBorderRequired(boolean v) override {
    border = v != 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_MinUpdateInterval(win::TimeSpan*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_MinUpdateInterval(win::TimeSpan v) override {
    min_update_interval = v.Duration;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_IncludeSecondaryWindows(boolean*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_IncludeSecondaryWindows(boolean v) override {
    secondary_windows = v != 0;
    return S_OK;
  }

 private:
  CloseLog log_;
};

// A capture item whose size reads come from a list, the last one repeated.
class CaptureItem final : public win::ComObject<win::IGraphicsCaptureItem> {
 public:
  explicit CaptureItem(std::vector<win::SizeInt32> sizes) : sizes_(std::move(sizes)) {}
  int size_reads = 0;

  HRESULT STDMETHODCALLTYPE get_DisplayName(HSTRING*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Size(win::SizeInt32* value) override {
    *value = sizes_[std::min<std::size_t>(size_reads++, sizes_.size() - 1)];
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE add_Closed(IUnknown*, EventRegistrationToken*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE remove_Closed(EventRegistrationToken) override { return E_NOTIMPL; }

 private:
  std::vector<win::SizeInt32> sizes_;
};

class FramePool final : public win::ComObject<win::IDirect3D11CaptureFramePool, win::IClosable> {
 public:
  explicit FramePool(CloseLog log = std::make_shared<std::vector<std::string>>())
      : log_(std::move(log)) {}

  // The next frame TryGetNextFrame hands out.
  void queue(win::ComPtr<win::IDirect3D11CaptureFrame> frame) {
    std::lock_guard lock(mutex_);
    frames_.push_back(std::move(frame));
  }
  HRESULT next_frame_result = S_OK;
  win::ComPtr<Session> session;  // the last made

  HRESULT STDMETHODCALLTYPE Recreate(win::IDirect3DDevice*, win::DirectXPixelFormat, std::int32_t,
                                     win::SizeInt32) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE TryGetNextFrame(win::IDirect3D11CaptureFrame** result) override {
    std::lock_guard lock(mutex_);
    *result = nullptr;
    if (FAILED(next_frame_result)) return next_frame_result;
    if (frames_.empty()) return S_OK;  // no frame: succeeds without one
    *result = frames_.front().detach();
    frames_.pop_front();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE add_FrameArrived(win::IFrameArrivedHandler* handler,
                                             EventRegistrationToken* token) override {
    handler_ = win::ComPtr<win::IFrameArrivedHandler>::share(handler);
    token->value = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE remove_FrameArrived(EventRegistrationToken) override {
    handler_.reset();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CreateCaptureSession(win::IGraphicsCaptureItem*,
                                                 win::IGraphicsCaptureSession** result) override {
    session = win::make_com<Session>(log_);
    *result = win::ComPtr<win::IGraphicsCaptureSession>(session).detach();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_DispatcherQueue(IInspectable**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Close() override {
    log_->push_back("pool");
    handler_.reset();  // a closed pool lets its handlers go
    return S_OK;
  }

 private:
  std::mutex mutex_;
  std::deque<win::ComPtr<win::IDirect3D11CaptureFrame>> frames_;
  win::ComPtr<win::IFrameArrivedHandler> handler_;
  CloseLog log_;
};

}  // namespace orvelle::clips::fake

namespace orvelle::clips::fake {

// The frame pool factory: each pool it makes is kept, with what it was asked for.
class FramePoolFactory final : public win::ComObject<win::IDirect3D11CaptureFramePoolStatics2> {
 public:
  explicit FramePoolFactory(CloseLog log) : log_(std::move(log)) {}
  struct Made {
    win::DirectXPixelFormat format;
    std::int32_t buffers;
    win::SizeInt32 size;
  };
  std::vector<Made> made;
  win::ComPtr<FramePool> pool;  // the last made

  HRESULT STDMETHODCALLTYPE CreateFreeThreaded(win::IDirect3DDevice*, win::DirectXPixelFormat format,
                                               std::int32_t buffers, win::SizeInt32 size,
                                               win::IDirect3D11CaptureFramePool** result) override {
    made.push_back({format, buffers, size});
    pool = win::make_com<FramePool>(log_);
    *result = win::ComPtr<win::IDirect3D11CaptureFramePool>(pool).detach();
    return S_OK;
  }

 private:
  CloseLog log_;
};

}  // namespace orvelle::clips::fake
