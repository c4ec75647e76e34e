#include "capture/convert_win.h"

#include "common/fatal.h"
#include "common/win/checked.h"
#include "encode/frame_texture_win.h"

#include <d3d11_1.h>

namespace orvelle::clips {
namespace {

using win::ComPtr;
using win::hresult_error;
using win::made;

static_assert(kFormatNv12 == DXGI_FORMAT_NV12);
static_assert(kFormatBgra == DXGI_FORMAT_B8G8R8A8_UNORM);
static_assert(kBindShaderResourceRenderTarget ==
              (D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_RENDER_TARGET));
static_assert(kStreamColourSpace == DXGI_COLOR_SPACE_RGB_FULL_G22_NONE_P709);
static_assert(kOutputColourSpace == DXGI_COLOR_SPACE_YCBCR_STUDIO_G22_LEFT_P709);

D3D11_TEXTURE2D_DESC texture_desc(const ConverterSetup& setup) {
  OutputTexture t = output_texture(setup);
  D3D11_TEXTURE2D_DESC d = {};
  d.Width = t.width;
  d.Height = t.height;
  d.MipLevels = t.mip_levels;
  d.ArraySize = t.array_size;
  d.Format = static_cast<DXGI_FORMAT>(t.format);
  d.SampleDesc = {t.sample_count, t.sample_quality};
  d.Usage = D3D11_USAGE_DEFAULT;
  d.BindFlags = t.bind_flags;
  return d;
}

RECT rect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

Result<ComPtr<ID3D11Texture2D>> make_texture(ID3D11Device* device, const D3D11_TEXTURE2D_DESC& d) {
  ComPtr<ID3D11Texture2D> texture;
  HRESULT hr = device->CreateTexture2D(&d, nullptr, texture.put());
  if (FAILED(hr)) return error(hresult_error(hr));
  if (!texture) fatal("texture");
  return texture;
}

Result<VideoProcessorConversion> make_video_processor(ID3D11Device* device,
                                                      ID3D11DeviceContext* context,
                                                      const ConverterSetup& setup) {
  VideoProcessorConversion vp;
  ComPtr<ID3D11Device> d = ComPtr<ID3D11Device>::share(device);
  ComPtr<ID3D11DeviceContext> c = ComPtr<ID3D11DeviceContext>::share(context);
  if (HRESULT hr = d.as(vp.video_device); FAILED(hr)) return error(hresult_error(hr));
  if (HRESULT hr = c.as(vp.video_context); FAILED(hr)) return error(hresult_error(hr));

  ContentDescription cd = content_description(setup);
  D3D11_VIDEO_PROCESSOR_CONTENT_DESC content = {};
  content.InputFrameFormat = D3D11_VIDEO_FRAME_FORMAT_PROGRESSIVE;
  content.InputFrameRate = {cd.rate_numerator, cd.rate_denominator};
  content.InputWidth = cd.input.width;
  content.InputHeight = cd.input.height;
  content.OutputFrameRate = {cd.rate_numerator, cd.rate_denominator};
  content.OutputWidth = cd.output.width;
  content.OutputHeight = cd.output.height;
  content.Usage = D3D11_VIDEO_USAGE_PLAYBACK_NORMAL;
  if (auto s = made(vp.video_device->CreateVideoProcessorEnumerator(&content, vp.enumerator.put()),
                    vp.enumerator);
      !s)
    return error(s.error());
  if (auto s = made(vp.video_device->CreateVideoProcessor(vp.enumerator.get(), 0,
                                                          vp.processor.put()),
                    vp.processor);
      !s)
    return error(s.error());

  ID3D11VideoContext* video = vp.video_context.get();
  ID3D11VideoProcessor* processor = vp.processor.get();
  // Without ID3D11VideoContext1 the driver's default colour spaces stay.
  ComPtr<ID3D11VideoContext1> video1;
  if (SUCCEEDED(vp.video_context.as(video1))) {
    video1->VideoProcessorSetStreamColorSpace1(
        processor, 0, static_cast<DXGI_COLOR_SPACE_TYPE>(kStreamColourSpace));
    video1->VideoProcessorSetOutputColorSpace1(
        processor, static_cast<DXGI_COLOR_SPACE_TYPE>(kOutputColourSpace));
  }
  RECT source = rect(source_rect(setup));
  RECT whole = rect(destination_rect(setup));
  video->VideoProcessorSetStreamAutoProcessingMode(processor, 0, FALSE);
  video->VideoProcessorSetStreamFrameFormat(processor, 0, D3D11_VIDEO_FRAME_FORMAT_PROGRESSIVE);
  video->VideoProcessorSetStreamSourceRect(processor, 0, TRUE, &source);
  video->VideoProcessorSetStreamDestRect(processor, 0, TRUE, &whole);
  video->VideoProcessorSetOutputTargetRect(processor, TRUE, &whole);

  D3D11_TEXTURE2D_DESC desc = texture_desc(setup);
  D3D11_VIDEO_PROCESSOR_OUTPUT_VIEW_DESC view_desc = {};
  view_desc.ViewDimension = D3D11_VPOV_DIMENSION_TEXTURE2D;
  view_desc.Texture2D.MipSlice = 0;
  for (auto& slot : vp.outputs) {
    auto texture = make_texture(device, desc);
    if (!texture) return error(texture.error());
    slot.texture = std::move(*texture);
    HRESULT hr = vp.video_device->CreateVideoProcessorOutputView(
        slot.texture.get(), vp.enumerator.get(), &view_desc, slot.view.put());
    if (FAILED(hr)) return error(hresult_error(hr));
    if (!slot.view) fatal("output view");
  }
  return vp;
}

Result<CopyConversion> make_copy(ID3D11Device* device, ID3D11DeviceContext* context,
                                 const ConverterSetup& setup) {
  CopyConversion copy;
  copy.context = ComPtr<ID3D11DeviceContext>::share(context);
  CropBox b = crop_box(setup);
  copy.box = {b.left, b.top, b.front, b.right, b.bottom, b.back};
  D3D11_TEXTURE2D_DESC desc = texture_desc(setup);
  for (auto& slot : copy.outputs) {
    auto texture = make_texture(device, desc);
    if (!texture) return error(texture.error());
    slot = std::move(*texture);
  }
  return copy;
}

Result<ComPtr<ID3D11Texture2D>> convert(VideoProcessorConversion& vp, ID3D11Texture2D* source) {
  VideoProcessorConversion::InputView* input = vp.input_views.find(source);
  if (!input) {
    D3D11_VIDEO_PROCESSOR_INPUT_VIEW_DESC desc = {};
    desc.FourCC = 0;
    desc.ViewDimension = D3D11_VPIV_DIMENSION_TEXTURE2D;
    desc.Texture2D = {0, 0};
    ComPtr<ID3D11VideoProcessorInputView> view;
    HRESULT hr = vp.video_device->CreateVideoProcessorInputView(source, vp.enumerator.get(),
                                                                &desc, view.put());
    if (FAILED(hr)) return error(hresult_error(hr));
    if (!view) fatal("input view");
    input = &vp.input_views.add(
        source, {ComPtr<ID3D11Texture2D>::share(source), std::move(view)});
  }
  auto& slot = vp.outputs[vp.slots.take()];
  D3D11_VIDEO_PROCESSOR_STREAM stream = {};
  stream.Enable = TRUE;
  stream.pInputSurface = input->view.get();
  HRESULT hr = vp.video_context->VideoProcessorBlt(vp.processor.get(), slot.view.get(), 0, 1,
                                                   &stream);
  if (FAILED(hr)) return error(hresult_error(hr));
  return slot.texture;
}

ComPtr<ID3D11Texture2D> convert(CopyConversion& copy, ID3D11Texture2D* source) {
  auto& slot = copy.outputs[copy.slots.take()];
  copy.context->CopySubresourceRegion(slot.get(), 0, 0, 0, 0, source, 0, &copy.box);
  return slot;
}

class GpuConversion final : public FrameConversion {
 public:
  explicit GpuConversion(FrameConverter converter) : converter_(std::move(converter)) {}
  Result<FrameTexture> convert(const FrameTexture& captured) override {
    auto converted = convert_frame(converter_, d3d_texture(captured));
    if (!converted) return error(converted.error());
    return frame_texture(std::move(*converted));
  }

 private:
  FrameConverter converter_;
};

}  // namespace

Result<FrameConverter> create_frame_converter(ID3D11Device* device, ID3D11DeviceContext* context,
                                              const ConverterSetup& setup) {
  if (setup.mode == ConvertMode::copy) {
    auto copy = make_copy(device, context, setup);
    if (!copy) return error(copy.error());
    return FrameConverter{std::move(*copy)};
  }
  auto vp = make_video_processor(device, context, setup);
  if (!vp) return error(vp.error());
  return FrameConverter{std::move(*vp)};
}

Result<ComPtr<ID3D11Texture2D>> convert_frame(FrameConverter& converter, ID3D11Texture2D* source) {
  if (auto* copy = std::get_if<CopyConversion>(&converter.mode)) return convert(*copy, source);
  return convert(std::get<VideoProcessorConversion>(converter.mode), source);
}

std::unique_ptr<FrameConversion> gpu_conversion(FrameConverter converter) {
  return std::make_unique<GpuConversion>(std::move(converter));
}

}  // namespace orvelle::clips
