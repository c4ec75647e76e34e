#include "win/fake_gpu.h"

#include "win/d3d11_stubs.h"
#include "win/pool_texture.h"

#include <fmt/format.h>

#include <utility>

namespace orvelle::clips::fake {
namespace {

using win::ComPtr;

// Reference counting for every fake, and QueryInterface through `answer`.
template <typename Stub>
class Counted : public Stub {
 public:
  explicit Counted(Gpu& gpu) : gpu_(gpu) { ++gpu_.live; }
  virtual ~Counted() { --gpu_.live; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    ComPtr<IUnknown> object = iid == __uuidof(IUnknown) ? self() : answer(iid);
    *out = object.detach();
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (!left) delete this;
    return left;
  }

 protected:
  // The object that answers for iid, or none.
  virtual ComPtr<IUnknown> answer(REFIID iid) = 0;
  ComPtr<IUnknown> self() { return ComPtr<IUnknown>::share(this); }

  Gpu& gpu_;

 private:
  ULONG references_ = 1;
};

// A fake that answers only for its own interface.
template <typename Stub, typename Interface>
class Plain : public Counted<Stub> {
 public:
  using Counted<Stub>::Counted;

 protected:
  ComPtr<IUnknown> answer(REFIID iid) override {
    return iid == __uuidof(Interface) ? this->self() : nullptr;
  }
};

std::string text(const RECT* r) {
  return r ? fmt::format("{{{}, {}, {}, {}}}", r->left, r->top, r->right, r->bottom) : "none";
}

class Texture final : public Plain<StubTexture, ID3D11Texture2D> {
 public:
  Texture(Gpu& gpu, const D3D11_TEXTURE2D_DESC& desc) : Plain(gpu), desc_(desc) {}
  void STDMETHODCALLTYPE GetDesc(D3D11_TEXTURE2D_DESC* desc) override { *desc = desc_; }

 private:
  D3D11_TEXTURE2D_DESC desc_;
};

using Enumerator = Plain<StubEnumerator, ID3D11VideoProcessorEnumerator>;
using Processor = Plain<StubProcessor, ID3D11VideoProcessor>;

// A view keeps its resource alive, as Direct3D's own views do.
template <typename Stub, typename Interface>
class View final : public Plain<Stub, Interface> {
 public:
  View(Gpu& gpu, ID3D11Resource* resource)
      : Plain<Stub, Interface>(gpu), resource_(ComPtr<ID3D11Resource>::share(resource)) {}
  ID3D11Resource* resource() const { return resource_.get(); }

 private:
  ComPtr<ID3D11Resource> resource_;
};
using OutputView = View<StubOutputView, ID3D11VideoProcessorOutputView>;
using InputView = View<StubInputView, ID3D11VideoProcessorInputView>;

// Hands out a new object, or none when the test wants the call to succeed
// without one.
template <typename T, typename Out, typename... Args>
HRESULT hand_out(bool wanted, Out** out, Gpu& gpu, Args&&... args) {
  *out = wanted ? new T(gpu, std::forward<Args>(args)...) : nullptr;
  return S_OK;
}

class VideoDevice final : public Plain<StubVideoDevice, ID3D11VideoDevice> {
 public:
  using Plain::Plain;

  HRESULT STDMETHODCALLTYPE
  CreateVideoProcessorEnumerator(const D3D11_VIDEO_PROCESSOR_CONTENT_DESC* desc,
                                 ID3D11VideoProcessorEnumerator** out) override {
    gpu_.contents.push_back(*desc);
    *out = nullptr;
    if (FAILED(gpu_.enumerator_result)) return gpu_.enumerator_result;
    hand_out<Enumerator>(gpu_.enumerator_object, out, gpu_);
    gpu_.enumerator = *out;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CreateVideoProcessor(ID3D11VideoProcessorEnumerator* enumerator,
                                                 UINT rate_conversion_index,
                                                 ID3D11VideoProcessor** out) override {
    check(enumerator);
    gpu_.rate_conversion_indices.push_back(rate_conversion_index);
    hand_out<Processor>(gpu_.processor_object, out, gpu_);
    gpu_.processor = *out;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CreateVideoProcessorOutputView(
      ID3D11Resource* resource, ID3D11VideoProcessorEnumerator* enumerator,
      const D3D11_VIDEO_PROCESSOR_OUTPUT_VIEW_DESC* desc,
      ID3D11VideoProcessorOutputView** out) override {
    check(enumerator);
    gpu_.output_views.push_back({resource, *desc});
    return hand_out<OutputView>(gpu_.output_view_object, out, gpu_, resource);
  }
  HRESULT STDMETHODCALLTYPE CreateVideoProcessorInputView(
      ID3D11Resource* resource, ID3D11VideoProcessorEnumerator* enumerator,
      const D3D11_VIDEO_PROCESSOR_INPUT_VIEW_DESC* desc,
      ID3D11VideoProcessorInputView** out) override {
    check(enumerator);
    gpu_.input_views.push_back({resource, *desc});
    *out = nullptr;
    if (FAILED(gpu_.input_view_result)) return gpu_.input_view_result;
    return hand_out<InputView>(gpu_.input_view_object, out, gpu_, resource);
  }

 private:
  void check(ID3D11VideoProcessorEnumerator* enumerator) {
    if (enumerator != gpu_.enumerator) gpu_.settings.push_back("another processor");
  }
};

class VideoContext final : public Counted<StubVideoContext> {
 public:
  using Counted::Counted;

  void STDMETHODCALLTYPE VideoProcessorSetStreamColorSpace1(ID3D11VideoProcessor* p, UINT stream,
                                                            DXGI_COLOR_SPACE_TYPE space) override {
    record(p, fmt::format("stream {} colour space {}", stream, static_cast<int>(space)));
  }
  void STDMETHODCALLTYPE VideoProcessorSetOutputColorSpace1(ID3D11VideoProcessor* p,
                                                            DXGI_COLOR_SPACE_TYPE space) override {
    record(p, fmt::format("output colour space {}", static_cast<int>(space)));
  }
  // The older colour-space calls are not the ones wanted; seen, they show.
  void STDMETHODCALLTYPE VideoProcessorSetStreamColorSpace(
      ID3D11VideoProcessor* p, UINT stream, const D3D11_VIDEO_PROCESSOR_COLOR_SPACE*) override {
    record(p, fmt::format("stream {} old colour space", stream));
  }
  void STDMETHODCALLTYPE VideoProcessorSetOutputColorSpace(
      ID3D11VideoProcessor* p, const D3D11_VIDEO_PROCESSOR_COLOR_SPACE*) override {
    record(p, "output old colour space");
  }
  void STDMETHODCALLTYPE VideoProcessorSetStreamAutoProcessingMode(ID3D11VideoProcessor* p,
                                                                   UINT stream,
                                                                   BOOL enable) override {
    record(p, fmt::format("stream {} auto processing {}", stream, enable));
  }
  void STDMETHODCALLTYPE VideoProcessorSetStreamFrameFormat(
      ID3D11VideoProcessor* p, UINT stream, D3D11_VIDEO_FRAME_FORMAT format) override {
    record(p, fmt::format("stream {} frame format {}", stream, static_cast<int>(format)));
  }
  void STDMETHODCALLTYPE VideoProcessorSetStreamSourceRect(ID3D11VideoProcessor* p, UINT stream,
                                                           BOOL enable, const RECT* r) override {
    record(p, fmt::format("stream {} source {} {}", stream, enable, text(r)));
  }
  void STDMETHODCALLTYPE VideoProcessorSetStreamDestRect(ID3D11VideoProcessor* p, UINT stream,
                                                         BOOL enable, const RECT* r) override {
    record(p, fmt::format("stream {} destination {} {}", stream, enable, text(r)));
  }
  void STDMETHODCALLTYPE VideoProcessorSetOutputTargetRect(ID3D11VideoProcessor* p, BOOL enable,
                                                           const RECT* r) override {
    record(p, fmt::format("output target {} {}", enable, text(r)));
  }
  HRESULT STDMETHODCALLTYPE VideoProcessorBlt(
      ID3D11VideoProcessor* p, ID3D11VideoProcessorOutputView* target, UINT output_frame,
      UINT stream_count, const D3D11_VIDEO_PROCESSOR_STREAM* streams) override {
    if (p != gpu_.processor) gpu_.settings.push_back("another processor");
    gpu_.blts.push_back({target, output_frame, stream_count,
                         stream_count ? streams[0] : D3D11_VIDEO_PROCESSOR_STREAM{}});
    return gpu_.blt_result;
  }

 protected:
  ComPtr<IUnknown> answer(REFIID iid) override {
    bool offered = iid == __uuidof(ID3D11VideoContext) ||
                   (iid == __uuidof(ID3D11VideoContext1) && gpu_.video_context1);
    return offered ? self() : nullptr;
  }

 private:
  void record(ID3D11VideoProcessor* p, std::string setting) {
    if (p != gpu_.processor) setting = "another processor";
    gpu_.settings.push_back(std::move(setting));
  }
};

class Device final : public Counted<StubDevice> {
 public:
  using Counted::Counted;

  HRESULT STDMETHODCALLTYPE CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc,
                                            const D3D11_SUBRESOURCE_DATA*,
                                            ID3D11Texture2D** out) override {
    gpu_.textures.push_back(*desc);
    return hand_out<Texture>(gpu_.texture_object, out, gpu_, *desc);
  }

 protected:
  ComPtr<IUnknown> answer(REFIID iid) override {
    if (iid == __uuidof(ID3D11Device)) return self();
    if (iid == __uuidof(ID3D11VideoDevice) && gpu_.video_device)
      return ComPtr<IUnknown>::attach(new VideoDevice(gpu_));
    return nullptr;
  }
};

class DeviceContext final : public Counted<StubDeviceContext> {
 public:
  using Counted::Counted;

 protected:
  ComPtr<IUnknown> answer(REFIID iid) override {
    if (iid == __uuidof(ID3D11DeviceContext)) return self();
    if (iid == __uuidof(ID3D11VideoContext))
      return ComPtr<IUnknown>::attach(new VideoContext(gpu_));
    return nullptr;
  }
};

}  // namespace

ComPtr<ID3D11Device> Gpu::device() { return ComPtr<ID3D11Device>::attach(new Device(*this)); }

ComPtr<ID3D11DeviceContext> Gpu::context() {
  return ComPtr<ID3D11DeviceContext>::attach(new DeviceContext(*this));
}

ComPtr<ID3D11Texture2D> Gpu::source_texture() {
  return ComPtr<ID3D11Texture2D>::attach(new Texture(*this, pool_texture_desc(1296, 759)));
}

ID3D11Resource* resource_of(ID3D11VideoProcessorOutputView* view) {
  return static_cast<OutputView*>(view)->resource();
}

ID3D11Resource* resource_of(ID3D11VideoProcessorInputView* view) {
  return static_cast<InputView*>(view)->resource();
}

ULONG references(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

}  // namespace orvelle::clips::fake
