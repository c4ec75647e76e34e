#pragma once
// Every method of the Direct3D 11 interfaces that the video-processor fakes
// stand in for, each answering E_NOTIMPL (or nothing): a fake derives from
// one of these and overrides only what the converter calls, plus IUnknown.
// Written out once from the SDK's method lists; only the signatures matter.

#include <d3d11_1.h>

namespace orvelle::clips::fake {

template <typename I>
struct DeviceChildStub : I {
  void STDMETHODCALLTYPE GetDevice(ID3D11Device **) override {}
  HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID, UINT *, void *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID, UINT, const void *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID, const IUnknown *) override {
    return E_NOTIMPL;
  }
};

template <typename I>
struct ViewStub : DeviceChildStub<I> {
  void STDMETHODCALLTYPE GetResource(ID3D11Resource **) override {}
};

template <typename I>
struct ResourceStub : DeviceChildStub<I> {
  void STDMETHODCALLTYPE GetType(D3D11_RESOURCE_DIMENSION *) override {}
  void STDMETHODCALLTYPE SetEvictionPriority(UINT) override {}
  UINT STDMETHODCALLTYPE GetEvictionPriority() override { return {}; }
};

struct StubDevice : ID3D11Device {
  HRESULT STDMETHODCALLTYPE CreateBuffer(const D3D11_BUFFER_DESC *, const D3D11_SUBRESOURCE_DATA *,
                                         ID3D11Buffer **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateTexture1D(const D3D11_TEXTURE1D_DESC *,
                                            const D3D11_SUBRESOURCE_DATA *,
                                            ID3D11Texture1D **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateTexture2D(const D3D11_TEXTURE2D_DESC *,
                                            const D3D11_SUBRESOURCE_DATA *,
                                            ID3D11Texture2D **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateTexture3D(const D3D11_TEXTURE3D_DESC *,
                                            const D3D11_SUBRESOURCE_DATA *,
                                            ID3D11Texture3D **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateShaderResourceView(ID3D11Resource *,
                                                     const D3D11_SHADER_RESOURCE_VIEW_DESC *,
                                                     ID3D11ShaderResourceView **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateUnorderedAccessView(ID3D11Resource *,
                                                      const D3D11_UNORDERED_ACCESS_VIEW_DESC *,
                                                      ID3D11UnorderedAccessView **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateRenderTargetView(ID3D11Resource *,
                                                   const D3D11_RENDER_TARGET_VIEW_DESC *,
                                                   ID3D11RenderTargetView **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateDepthStencilView(ID3D11Resource *,
                                                   const D3D11_DEPTH_STENCIL_VIEW_DESC *,
                                                   ID3D11DepthStencilView **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateInputLayout(const D3D11_INPUT_ELEMENT_DESC *, UINT, const void *,
                                              SIZE_T, ID3D11InputLayout **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateVertexShader(const void *, SIZE_T, ID3D11ClassLinkage *,
                                               ID3D11VertexShader **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateGeometryShader(const void *, SIZE_T, ID3D11ClassLinkage *,
                                                 ID3D11GeometryShader **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateGeometryShaderWithStreamOutput(const void *, SIZE_T,
                                                                 const D3D11_SO_DECLARATION_ENTRY *,
                                                                 UINT, const UINT *, UINT, UINT,
                                                                 ID3D11ClassLinkage *,
                                                                 ID3D11GeometryShader **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreatePixelShader(const void *, SIZE_T, ID3D11ClassLinkage *,
                                              ID3D11PixelShader **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateHullShader(const void *, SIZE_T, ID3D11ClassLinkage *,
                                             ID3D11HullShader **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateDomainShader(const void *, SIZE_T, ID3D11ClassLinkage *,
                                               ID3D11DomainShader **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateComputeShader(const void *, SIZE_T, ID3D11ClassLinkage *,
                                                ID3D11ComputeShader **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateClassLinkage(ID3D11ClassLinkage **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateBlendState(const D3D11_BLEND_DESC *,
                                             ID3D11BlendState **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateDepthStencilState(const D3D11_DEPTH_STENCIL_DESC *,
                                                    ID3D11DepthStencilState **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateRasterizerState(const D3D11_RASTERIZER_DESC *,
                                                  ID3D11RasterizerState **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateSamplerState(const D3D11_SAMPLER_DESC *,
                                               ID3D11SamplerState **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateQuery(const D3D11_QUERY_DESC *, ID3D11Query **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreatePredicate(const D3D11_QUERY_DESC *, ID3D11Predicate **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateCounter(const D3D11_COUNTER_DESC *, ID3D11Counter **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateDeferredContext(UINT, ID3D11DeviceContext **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE OpenSharedResource(HANDLE, REFIID, void **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CheckFormatSupport(DXGI_FORMAT, UINT *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CheckMultisampleQualityLevels(DXGI_FORMAT, UINT, UINT *) override {
    return E_NOTIMPL;
  }
  void STDMETHODCALLTYPE CheckCounterInfo(D3D11_COUNTER_INFO *) override {}
  HRESULT STDMETHODCALLTYPE CheckCounter(const D3D11_COUNTER_DESC *, D3D11_COUNTER_TYPE *, UINT *,
                                         LPSTR, UINT *, LPSTR, UINT *, LPSTR, UINT *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CheckFeatureSupport(D3D11_FEATURE, void *, UINT) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID, UINT *, void *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID, UINT, const void *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID, const IUnknown *) override {
    return E_NOTIMPL;
  }
  D3D_FEATURE_LEVEL STDMETHODCALLTYPE GetFeatureLevel() override { return {}; }
  UINT STDMETHODCALLTYPE GetCreationFlags() override { return {}; }
  HRESULT STDMETHODCALLTYPE GetDeviceRemovedReason() override { return E_NOTIMPL; }
  void STDMETHODCALLTYPE GetImmediateContext(ID3D11DeviceContext **) override {}
  HRESULT STDMETHODCALLTYPE SetExceptionMode(UINT) override { return E_NOTIMPL; }
  UINT STDMETHODCALLTYPE GetExceptionMode() override { return {}; }
};

struct StubDeviceContext : DeviceChildStub<ID3D11DeviceContext> {
  void STDMETHODCALLTYPE VSSetConstantBuffers(UINT, UINT, ID3D11Buffer *const *) override {}
  void STDMETHODCALLTYPE PSSetShaderResources(UINT, UINT,
                                              ID3D11ShaderResourceView *const *) override {}
  void STDMETHODCALLTYPE PSSetShader(ID3D11PixelShader *, ID3D11ClassInstance *const *,
                                     UINT) override {}
  void STDMETHODCALLTYPE PSSetSamplers(UINT, UINT, ID3D11SamplerState *const *) override {}
  void STDMETHODCALLTYPE VSSetShader(ID3D11VertexShader *, ID3D11ClassInstance *const *,
                                     UINT) override {}
  void STDMETHODCALLTYPE DrawIndexed(UINT, UINT, INT) override {}
  void STDMETHODCALLTYPE Draw(UINT, UINT) override {}
  HRESULT STDMETHODCALLTYPE Map(ID3D11Resource *, UINT, D3D11_MAP, UINT,
                                D3D11_MAPPED_SUBRESOURCE *) override {
    return E_NOTIMPL;
  }
  void STDMETHODCALLTYPE Unmap(ID3D11Resource *, UINT) override {}
  void STDMETHODCALLTYPE PSSetConstantBuffers(UINT, UINT, ID3D11Buffer *const *) override {}
  void STDMETHODCALLTYPE IASetInputLayout(ID3D11InputLayout *) override {}
  void STDMETHODCALLTYPE IASetVertexBuffers(UINT, UINT, ID3D11Buffer *const *, const UINT *,
                                            const UINT *) override {}
  void STDMETHODCALLTYPE IASetIndexBuffer(ID3D11Buffer *, DXGI_FORMAT, UINT) override {}
  void STDMETHODCALLTYPE DrawIndexedInstanced(UINT, UINT, UINT, INT, UINT) override {}
  void STDMETHODCALLTYPE DrawInstanced(UINT, UINT, UINT, UINT) override {}
  void STDMETHODCALLTYPE GSSetConstantBuffers(UINT, UINT, ID3D11Buffer *const *) override {}
  void STDMETHODCALLTYPE GSSetShader(ID3D11GeometryShader *, ID3D11ClassInstance *const *,
                                     UINT) override {}
  void STDMETHODCALLTYPE IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY) override {}
  void STDMETHODCALLTYPE VSSetShaderResources(UINT, UINT,
                                              ID3D11ShaderResourceView *const *) override {}
  void STDMETHODCALLTYPE VSSetSamplers(UINT, UINT, ID3D11SamplerState *const *) override {}
  void STDMETHODCALLTYPE Begin(ID3D11Asynchronous *) override {}
  void STDMETHODCALLTYPE End(ID3D11Asynchronous *) override {}
  HRESULT STDMETHODCALLTYPE GetData(ID3D11Asynchronous *, void *, UINT, UINT) override {
    return E_NOTIMPL;
  }
  void STDMETHODCALLTYPE SetPredication(ID3D11Predicate *, WINBOOL) override {}
  void STDMETHODCALLTYPE GSSetShaderResources(UINT, UINT,
                                              ID3D11ShaderResourceView *const *) override {}
  void STDMETHODCALLTYPE GSSetSamplers(UINT, UINT, ID3D11SamplerState *const *) override {}
  void STDMETHODCALLTYPE OMSetRenderTargets(UINT, ID3D11RenderTargetView *const *,
                                            ID3D11DepthStencilView *) override {}
  void STDMETHODCALLTYPE OMSetRenderTargetsAndUnorderedAccessViews(
      UINT, ID3D11RenderTargetView *const *, ID3D11DepthStencilView *, UINT, UINT,
      ID3D11UnorderedAccessView *const *, const UINT *) override {}
  void STDMETHODCALLTYPE OMSetBlendState(ID3D11BlendState *, const FLOAT[4], UINT) override {}
  void STDMETHODCALLTYPE OMSetDepthStencilState(ID3D11DepthStencilState *, UINT) override {}
  void STDMETHODCALLTYPE SOSetTargets(UINT, ID3D11Buffer *const *, const UINT *) override {}
  void STDMETHODCALLTYPE DrawAuto() override {}
  void STDMETHODCALLTYPE DrawIndexedInstancedIndirect(ID3D11Buffer *, UINT) override {}
  void STDMETHODCALLTYPE DrawInstancedIndirect(ID3D11Buffer *, UINT) override {}
  void STDMETHODCALLTYPE Dispatch(UINT, UINT, UINT) override {}
  void STDMETHODCALLTYPE DispatchIndirect(ID3D11Buffer *, UINT) override {}
  void STDMETHODCALLTYPE RSSetState(ID3D11RasterizerState *) override {}
  void STDMETHODCALLTYPE RSSetViewports(UINT, const D3D11_VIEWPORT *) override {}
  void STDMETHODCALLTYPE RSSetScissorRects(UINT, const D3D11_RECT *) override {}
  void STDMETHODCALLTYPE CopySubresourceRegion(ID3D11Resource *, UINT, UINT, UINT, UINT,
                                               ID3D11Resource *, UINT, const D3D11_BOX *) override {
  }
  void STDMETHODCALLTYPE CopyResource(ID3D11Resource *, ID3D11Resource *) override {}
  void STDMETHODCALLTYPE UpdateSubresource(ID3D11Resource *, UINT, const D3D11_BOX *, const void *,
                                           UINT, UINT) override {}
  void STDMETHODCALLTYPE CopyStructureCount(ID3D11Buffer *, UINT,
                                            ID3D11UnorderedAccessView *) override {}
  void STDMETHODCALLTYPE ClearRenderTargetView(ID3D11RenderTargetView *, const FLOAT[4]) override {}
  void STDMETHODCALLTYPE ClearUnorderedAccessViewUint(ID3D11UnorderedAccessView *,
                                                      const UINT[4]) override {}
  void STDMETHODCALLTYPE ClearUnorderedAccessViewFloat(ID3D11UnorderedAccessView *,
                                                       const FLOAT[4]) override {}
  void STDMETHODCALLTYPE ClearDepthStencilView(ID3D11DepthStencilView *, UINT, FLOAT,
                                               UINT8) override {}
  void STDMETHODCALLTYPE GenerateMips(ID3D11ShaderResourceView *) override {}
  void STDMETHODCALLTYPE SetResourceMinLOD(ID3D11Resource *, FLOAT) override {}
  FLOAT STDMETHODCALLTYPE GetResourceMinLOD(ID3D11Resource *) override { return {}; }
  void STDMETHODCALLTYPE ResolveSubresource(ID3D11Resource *, UINT, ID3D11Resource *, UINT,
                                            DXGI_FORMAT) override {}
  void STDMETHODCALLTYPE ExecuteCommandList(ID3D11CommandList *, WINBOOL) override {}
  void STDMETHODCALLTYPE HSSetShaderResources(UINT, UINT,
                                              ID3D11ShaderResourceView *const *) override {}
  void STDMETHODCALLTYPE HSSetShader(ID3D11HullShader *, ID3D11ClassInstance *const *,
                                     UINT) override {}
  void STDMETHODCALLTYPE HSSetSamplers(UINT, UINT, ID3D11SamplerState *const *) override {}
  void STDMETHODCALLTYPE HSSetConstantBuffers(UINT, UINT, ID3D11Buffer *const *) override {}
  void STDMETHODCALLTYPE DSSetShaderResources(UINT, UINT,
                                              ID3D11ShaderResourceView *const *) override {}
  void STDMETHODCALLTYPE DSSetShader(ID3D11DomainShader *, ID3D11ClassInstance *const *,
                                     UINT) override {}
  void STDMETHODCALLTYPE DSSetSamplers(UINT, UINT, ID3D11SamplerState *const *) override {}
  void STDMETHODCALLTYPE DSSetConstantBuffers(UINT, UINT, ID3D11Buffer *const *) override {}
  void STDMETHODCALLTYPE CSSetShaderResources(UINT, UINT,
                                              ID3D11ShaderResourceView *const *) override {}
  void STDMETHODCALLTYPE CSSetUnorderedAccessViews(UINT, UINT, ID3D11UnorderedAccessView *const *,
                                                   const UINT *) override {}
  void STDMETHODCALLTYPE CSSetShader(ID3D11ComputeShader *, ID3D11ClassInstance *const *,
                                     UINT) override {}
  void STDMETHODCALLTYPE CSSetSamplers(UINT, UINT, ID3D11SamplerState *const *) override {}
  void STDMETHODCALLTYPE CSSetConstantBuffers(UINT, UINT, ID3D11Buffer *const *) override {}
  void STDMETHODCALLTYPE VSGetConstantBuffers(UINT, UINT, ID3D11Buffer **) override {}
  void STDMETHODCALLTYPE PSGetShaderResources(UINT, UINT, ID3D11ShaderResourceView **) override {}
  void STDMETHODCALLTYPE PSGetShader(ID3D11PixelShader **, ID3D11ClassInstance **,
                                     UINT *) override {}
  void STDMETHODCALLTYPE PSGetSamplers(UINT, UINT, ID3D11SamplerState **) override {}
  void STDMETHODCALLTYPE VSGetShader(ID3D11VertexShader **, ID3D11ClassInstance **,
                                     UINT *) override {}
  void STDMETHODCALLTYPE PSGetConstantBuffers(UINT, UINT, ID3D11Buffer **) override {}
  void STDMETHODCALLTYPE IAGetInputLayout(ID3D11InputLayout **) override {}
  void STDMETHODCALLTYPE IAGetVertexBuffers(UINT, UINT, ID3D11Buffer **, UINT *, UINT *) override {}
  void STDMETHODCALLTYPE IAGetIndexBuffer(ID3D11Buffer **, DXGI_FORMAT *, UINT *) override {}
  void STDMETHODCALLTYPE GSGetConstantBuffers(UINT, UINT, ID3D11Buffer **) override {}
  void STDMETHODCALLTYPE GSGetShader(ID3D11GeometryShader **, ID3D11ClassInstance **,
                                     UINT *) override {}
  void STDMETHODCALLTYPE IAGetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY *) override {}
  void STDMETHODCALLTYPE VSGetShaderResources(UINT, UINT, ID3D11ShaderResourceView **) override {}
  void STDMETHODCALLTYPE VSGetSamplers(UINT, UINT, ID3D11SamplerState **) override {}
  void STDMETHODCALLTYPE GetPredication(ID3D11Predicate **, WINBOOL *) override {}
  void STDMETHODCALLTYPE GSGetShaderResources(UINT, UINT, ID3D11ShaderResourceView **) override {}
  void STDMETHODCALLTYPE GSGetSamplers(UINT, UINT, ID3D11SamplerState **) override {}
  void STDMETHODCALLTYPE OMGetRenderTargets(UINT, ID3D11RenderTargetView **,
                                            ID3D11DepthStencilView **) override {}
  void STDMETHODCALLTYPE OMGetRenderTargetsAndUnorderedAccessViews(
      UINT, ID3D11RenderTargetView **, ID3D11DepthStencilView **, UINT, UINT,
      ID3D11UnorderedAccessView **) override {}
  void STDMETHODCALLTYPE OMGetBlendState(ID3D11BlendState **, FLOAT[4], UINT *) override {}
  void STDMETHODCALLTYPE OMGetDepthStencilState(ID3D11DepthStencilState **, UINT *) override {}
  void STDMETHODCALLTYPE SOGetTargets(UINT, ID3D11Buffer **) override {}
  void STDMETHODCALLTYPE RSGetState(ID3D11RasterizerState **) override {}
  void STDMETHODCALLTYPE RSGetViewports(UINT *, D3D11_VIEWPORT *) override {}
  void STDMETHODCALLTYPE RSGetScissorRects(UINT *, D3D11_RECT *) override {}
  void STDMETHODCALLTYPE HSGetShaderResources(UINT, UINT, ID3D11ShaderResourceView **) override {}
  void STDMETHODCALLTYPE HSGetShader(ID3D11HullShader **, ID3D11ClassInstance **, UINT *) override {
  }
  void STDMETHODCALLTYPE HSGetSamplers(UINT, UINT, ID3D11SamplerState **) override {}
  void STDMETHODCALLTYPE HSGetConstantBuffers(UINT, UINT, ID3D11Buffer **) override {}
  void STDMETHODCALLTYPE DSGetShaderResources(UINT, UINT, ID3D11ShaderResourceView **) override {}
  void STDMETHODCALLTYPE DSGetShader(ID3D11DomainShader **, ID3D11ClassInstance **,
                                     UINT *) override {}
  void STDMETHODCALLTYPE DSGetSamplers(UINT, UINT, ID3D11SamplerState **) override {}
  void STDMETHODCALLTYPE DSGetConstantBuffers(UINT, UINT, ID3D11Buffer **) override {}
  void STDMETHODCALLTYPE CSGetShaderResources(UINT, UINT, ID3D11ShaderResourceView **) override {}
  void STDMETHODCALLTYPE CSGetUnorderedAccessViews(UINT, UINT,
                                                   ID3D11UnorderedAccessView **) override {}
  void STDMETHODCALLTYPE CSGetShader(ID3D11ComputeShader **, ID3D11ClassInstance **,
                                     UINT *) override {}
  void STDMETHODCALLTYPE CSGetSamplers(UINT, UINT, ID3D11SamplerState **) override {}
  void STDMETHODCALLTYPE CSGetConstantBuffers(UINT, UINT, ID3D11Buffer **) override {}
  void STDMETHODCALLTYPE ClearState() override {}
  void STDMETHODCALLTYPE Flush() override {}
  D3D11_DEVICE_CONTEXT_TYPE STDMETHODCALLTYPE GetType() override { return {}; }
  UINT STDMETHODCALLTYPE GetContextFlags() override { return {}; }
  HRESULT STDMETHODCALLTYPE FinishCommandList(WINBOOL, ID3D11CommandList **) override {
    return E_NOTIMPL;
  }
};

struct StubTexture : ResourceStub<ID3D11Texture2D> {
  void STDMETHODCALLTYPE GetDesc(D3D11_TEXTURE2D_DESC *) override {}
};

struct StubVideoDevice : ID3D11VideoDevice {
  HRESULT STDMETHODCALLTYPE CreateVideoDecoder(const D3D11_VIDEO_DECODER_DESC *,
                                               const D3D11_VIDEO_DECODER_CONFIG *,
                                               ID3D11VideoDecoder **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateVideoProcessor(ID3D11VideoProcessorEnumerator *, UINT,
                                                 ID3D11VideoProcessor **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateAuthenticatedChannel(D3D11_AUTHENTICATED_CHANNEL_TYPE,
                                                       ID3D11AuthenticatedChannel **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateCryptoSession(const GUID *, const GUID *, const GUID *,
                                                ID3D11CryptoSession **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  CreateVideoDecoderOutputView(ID3D11Resource *, const D3D11_VIDEO_DECODER_OUTPUT_VIEW_DESC *,
                               ID3D11VideoDecoderOutputView **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateVideoProcessorInputView(
      ID3D11Resource *, ID3D11VideoProcessorEnumerator *,
      const D3D11_VIDEO_PROCESSOR_INPUT_VIEW_DESC *, ID3D11VideoProcessorInputView **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateVideoProcessorOutputView(
      ID3D11Resource *, ID3D11VideoProcessorEnumerator *,
      const D3D11_VIDEO_PROCESSOR_OUTPUT_VIEW_DESC *, ID3D11VideoProcessorOutputView **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateVideoProcessorEnumerator(
      const D3D11_VIDEO_PROCESSOR_CONTENT_DESC *, ID3D11VideoProcessorEnumerator **) override {
    return E_NOTIMPL;
  }
  UINT STDMETHODCALLTYPE GetVideoDecoderProfileCount() override { return {}; }
  HRESULT STDMETHODCALLTYPE GetVideoDecoderProfile(UINT, GUID *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CheckVideoDecoderFormat(const GUID *, DXGI_FORMAT, WINBOOL *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetVideoDecoderConfigCount(const D3D11_VIDEO_DECODER_DESC *,
                                                       UINT *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetVideoDecoderConfig(const D3D11_VIDEO_DECODER_DESC *, UINT,
                                                  D3D11_VIDEO_DECODER_CONFIG *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContentProtectionCaps(
      const GUID *, const GUID *, D3D11_VIDEO_CONTENT_PROTECTION_CAPS *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CheckCryptoKeyExchange(const GUID *, const GUID *, UINT,
                                                   GUID *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID, UINT, const void *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID, const IUnknown *) override {
    return E_NOTIMPL;
  }
};

struct StubVideoContext : DeviceChildStub<ID3D11VideoContext1> {
  // ID3D11VideoContext
  HRESULT STDMETHODCALLTYPE GetDecoderBuffer(ID3D11VideoDecoder *, D3D11_VIDEO_DECODER_BUFFER_TYPE,
                                             UINT *, void **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ReleaseDecoderBuffer(ID3D11VideoDecoder *,
                                                 D3D11_VIDEO_DECODER_BUFFER_TYPE) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DecoderBeginFrame(ID3D11VideoDecoder *, ID3D11VideoDecoderOutputView *,
                                              UINT, const void *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DecoderEndFrame(ID3D11VideoDecoder *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SubmitDecoderBuffers(ID3D11VideoDecoder *, UINT,
                                                 const D3D11_VIDEO_DECODER_BUFFER_DESC *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DecoderExtension(ID3D11VideoDecoder *,
                                             const D3D11_VIDEO_DECODER_EXTENSION *) override {
    return E_NOTIMPL;
  }
  void STDMETHODCALLTYPE VideoProcessorSetOutputTargetRect(ID3D11VideoProcessor *, WINBOOL,
                                                           const RECT *) override {}
  void STDMETHODCALLTYPE VideoProcessorSetOutputBackgroundColor(
      ID3D11VideoProcessor *, WINBOOL, const D3D11_VIDEO_COLOR *) override {}
  void STDMETHODCALLTYPE VideoProcessorSetOutputColorSpace(
      ID3D11VideoProcessor *, const D3D11_VIDEO_PROCESSOR_COLOR_SPACE *) override {}
  void STDMETHODCALLTYPE VideoProcessorSetOutputAlphaFillMode(ID3D11VideoProcessor *,
                                                              D3D11_VIDEO_PROCESSOR_ALPHA_FILL_MODE,
                                                              UINT) override {}
  void STDMETHODCALLTYPE VideoProcessorSetOutputConstriction(ID3D11VideoProcessor *, WINBOOL,
                                                             SIZE) override {}
  void STDMETHODCALLTYPE VideoProcessorSetOutputStereoMode(ID3D11VideoProcessor *,
                                                           WINBOOL) override {}
  HRESULT STDMETHODCALLTYPE VideoProcessorSetOutputExtension(ID3D11VideoProcessor *, const GUID *,
                                                             UINT, void *) override {
    return E_NOTIMPL;
  }
  void STDMETHODCALLTYPE VideoProcessorGetOutputTargetRect(ID3D11VideoProcessor *, WINBOOL *,
                                                           RECT *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetOutputBackgroundColor(ID3D11VideoProcessor *, WINBOOL *,
                                                                D3D11_VIDEO_COLOR *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetOutputColorSpace(
      ID3D11VideoProcessor *, D3D11_VIDEO_PROCESSOR_COLOR_SPACE *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetOutputAlphaFillMode(
      ID3D11VideoProcessor *, D3D11_VIDEO_PROCESSOR_ALPHA_FILL_MODE *, UINT *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetOutputConstriction(ID3D11VideoProcessor *, WINBOOL *,
                                                             SIZE *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetOutputStereoMode(ID3D11VideoProcessor *,
                                                           WINBOOL *) override {}
  HRESULT STDMETHODCALLTYPE VideoProcessorGetOutputExtension(ID3D11VideoProcessor *, const GUID *,
                                                             UINT, void *) override {
    return E_NOTIMPL;
  }
  void STDMETHODCALLTYPE VideoProcessorSetStreamFrameFormat(ID3D11VideoProcessor *, UINT,
                                                            D3D11_VIDEO_FRAME_FORMAT) override {}
  void STDMETHODCALLTYPE VideoProcessorSetStreamColorSpace(
      ID3D11VideoProcessor *, UINT, const D3D11_VIDEO_PROCESSOR_COLOR_SPACE *) override {}
  void STDMETHODCALLTYPE VideoProcessorSetStreamOutputRate(ID3D11VideoProcessor *, UINT,
                                                           D3D11_VIDEO_PROCESSOR_OUTPUT_RATE,
                                                           WINBOOL,
                                                           const DXGI_RATIONAL *) override {}
  void STDMETHODCALLTYPE VideoProcessorSetStreamSourceRect(ID3D11VideoProcessor *, UINT, WINBOOL,
                                                           const RECT *) override {}
  void STDMETHODCALLTYPE VideoProcessorSetStreamDestRect(ID3D11VideoProcessor *, UINT, WINBOOL,
                                                         const RECT *) override {}
  void STDMETHODCALLTYPE VideoProcessorSetStreamAlpha(ID3D11VideoProcessor *, UINT, WINBOOL,
                                                      float) override {}
  void STDMETHODCALLTYPE VideoProcessorSetStreamPalette(ID3D11VideoProcessor *, UINT, UINT,
                                                        const UINT *) override {}
  void STDMETHODCALLTYPE VideoProcessorSetStreamPixelAspectRatio(ID3D11VideoProcessor *, UINT,
                                                                 WINBOOL, const DXGI_RATIONAL *,
                                                                 const DXGI_RATIONAL *) override {}
  void STDMETHODCALLTYPE VideoProcessorSetStreamLumaKey(ID3D11VideoProcessor *, UINT, WINBOOL,
                                                        float, float) override {}
  void STDMETHODCALLTYPE VideoProcessorSetStreamStereoFormat(ID3D11VideoProcessor *, UINT, WINBOOL,
                                                             D3D11_VIDEO_PROCESSOR_STEREO_FORMAT,
                                                             WINBOOL, WINBOOL,
                                                             D3D11_VIDEO_PROCESSOR_STEREO_FLIP_MODE,
                                                             int) override {}
  void STDMETHODCALLTYPE VideoProcessorSetStreamAutoProcessingMode(ID3D11VideoProcessor *, UINT,
                                                                   WINBOOL) override {}
  void STDMETHODCALLTYPE VideoProcessorSetStreamFilter(ID3D11VideoProcessor *, UINT,
                                                       D3D11_VIDEO_PROCESSOR_FILTER, WINBOOL,
                                                       int) override {}
  HRESULT STDMETHODCALLTYPE VideoProcessorSetStreamExtension(ID3D11VideoProcessor *, UINT,
                                                             const GUID *, UINT, void *) override {
    return E_NOTIMPL;
  }
  void STDMETHODCALLTYPE VideoProcessorGetStreamFrameFormat(ID3D11VideoProcessor *, UINT,
                                                            D3D11_VIDEO_FRAME_FORMAT *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamColorSpace(
      ID3D11VideoProcessor *, UINT, D3D11_VIDEO_PROCESSOR_COLOR_SPACE *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamOutputRate(ID3D11VideoProcessor *, UINT,
                                                           D3D11_VIDEO_PROCESSOR_OUTPUT_RATE *,
                                                           WINBOOL *, DXGI_RATIONAL *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamSourceRect(ID3D11VideoProcessor *, UINT, WINBOOL *,
                                                           RECT *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamDestRect(ID3D11VideoProcessor *, UINT, WINBOOL *,
                                                         RECT *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamAlpha(ID3D11VideoProcessor *, UINT, WINBOOL *,
                                                      float *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamPalette(ID3D11VideoProcessor *, UINT, UINT,
                                                        UINT *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamPixelAspectRatio(ID3D11VideoProcessor *, UINT,
                                                                 WINBOOL *, DXGI_RATIONAL *,
                                                                 DXGI_RATIONAL *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamLumaKey(ID3D11VideoProcessor *, UINT, WINBOOL *,
                                                        float *, float *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamStereoFormat(
      ID3D11VideoProcessor *, UINT, WINBOOL *, D3D11_VIDEO_PROCESSOR_STEREO_FORMAT *, WINBOOL *,
      WINBOOL *, D3D11_VIDEO_PROCESSOR_STEREO_FLIP_MODE *, int *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamAutoProcessingMode(ID3D11VideoProcessor *, UINT,
                                                                   WINBOOL *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamFilter(ID3D11VideoProcessor *, UINT,
                                                       D3D11_VIDEO_PROCESSOR_FILTER, WINBOOL *,
                                                       int *) override {}
  HRESULT STDMETHODCALLTYPE VideoProcessorGetStreamExtension(ID3D11VideoProcessor *, UINT,
                                                             const GUID *, UINT, void *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE VideoProcessorBlt(ID3D11VideoProcessor *,
                                              ID3D11VideoProcessorOutputView *, UINT, UINT,
                                              const D3D11_VIDEO_PROCESSOR_STREAM *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE NegotiateCryptoSessionKeyExchange(ID3D11CryptoSession *, UINT,
                                                              void *) override {
    return E_NOTIMPL;
  }
  void STDMETHODCALLTYPE EncryptionBlt(ID3D11CryptoSession *, ID3D11Texture2D *, ID3D11Texture2D *,
                                       UINT, void *) override {}
  void STDMETHODCALLTYPE DecryptionBlt(ID3D11CryptoSession *, ID3D11Texture2D *, ID3D11Texture2D *,
                                       D3D11_ENCRYPTED_BLOCK_INFO *, UINT, const void *, UINT,
                                       void *) override {}
  void STDMETHODCALLTYPE StartSessionKeyRefresh(ID3D11CryptoSession *, UINT, void *) override {}
  void STDMETHODCALLTYPE FinishSessionKeyRefresh(ID3D11CryptoSession *) override {}
  HRESULT STDMETHODCALLTYPE GetEncryptionBltKey(ID3D11CryptoSession *, UINT, void *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE NegotiateAuthenticatedChannelKeyExchange(ID3D11AuthenticatedChannel *,
                                                                     UINT, void *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE QueryAuthenticatedChannel(ID3D11AuthenticatedChannel *, UINT,
                                                      const void *, UINT, void *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  ConfigureAuthenticatedChannel(ID3D11AuthenticatedChannel *, UINT, const void *,
                                D3D11_AUTHENTICATED_CONFIGURE_OUTPUT *) override {
    return E_NOTIMPL;
  }
  void STDMETHODCALLTYPE VideoProcessorSetStreamRotation(ID3D11VideoProcessor *, UINT, WINBOOL,
                                                         D3D11_VIDEO_PROCESSOR_ROTATION) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamRotation(
      ID3D11VideoProcessor *, UINT, WINBOOL *, D3D11_VIDEO_PROCESSOR_ROTATION *) override {}
  // ID3D11VideoContext1
  HRESULT STDMETHODCALLTYPE SubmitDecoderBuffers1(
      ID3D11VideoDecoder *, UINT, const D3D11_VIDEO_DECODER_BUFFER_DESC1 *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDataForNewHardwareKey(ID3D11CryptoSession *, UINT, const void *,
                                                     UINT64 *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CheckCryptoSessionStatus(ID3D11CryptoSession *,
                                                     D3D11_CRYPTO_SESSION_STATUS *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DecoderEnableDownsampling(ID3D11VideoDecoder *, DXGI_COLOR_SPACE_TYPE,
                                                      const D3D11_VIDEO_SAMPLE_DESC *,
                                                      UINT) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DecoderUpdateDownsampling(ID3D11VideoDecoder *,
                                                      const D3D11_VIDEO_SAMPLE_DESC *) override {
    return E_NOTIMPL;
  }
  void STDMETHODCALLTYPE VideoProcessorSetOutputColorSpace1(ID3D11VideoProcessor *,
                                                            DXGI_COLOR_SPACE_TYPE) override {}
  void STDMETHODCALLTYPE VideoProcessorSetOutputShaderUsage(ID3D11VideoProcessor *,
                                                            WINBOOL) override {}
  void STDMETHODCALLTYPE VideoProcessorGetOutputColorSpace1(ID3D11VideoProcessor *,
                                                            DXGI_COLOR_SPACE_TYPE *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetOutputShaderUsage(ID3D11VideoProcessor *,
                                                            WINBOOL *) override {}
  void STDMETHODCALLTYPE VideoProcessorSetStreamColorSpace1(ID3D11VideoProcessor *, UINT,
                                                            DXGI_COLOR_SPACE_TYPE) override {}
  void STDMETHODCALLTYPE VideoProcessorSetStreamMirror(ID3D11VideoProcessor *, UINT, WINBOOL,
                                                       WINBOOL, WINBOOL) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamColorSpace1(ID3D11VideoProcessor *, UINT,
                                                            DXGI_COLOR_SPACE_TYPE *) override {}
  void STDMETHODCALLTYPE VideoProcessorGetStreamMirror(ID3D11VideoProcessor *, UINT, WINBOOL *,
                                                       WINBOOL *, WINBOOL *) override {}
  HRESULT STDMETHODCALLTYPE VideoProcessorGetBehaviorHints(
      ID3D11VideoProcessor *, UINT, UINT, DXGI_FORMAT, UINT,
      const D3D11_VIDEO_PROCESSOR_STREAM_BEHAVIOR_HINT *, UINT *) override {
    return E_NOTIMPL;
  }
};

struct StubEnumerator : DeviceChildStub<ID3D11VideoProcessorEnumerator> {
  HRESULT STDMETHODCALLTYPE
  GetVideoProcessorContentDesc(D3D11_VIDEO_PROCESSOR_CONTENT_DESC *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CheckVideoProcessorFormat(DXGI_FORMAT, UINT *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetVideoProcessorCaps(D3D11_VIDEO_PROCESSOR_CAPS *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  GetVideoProcessorRateConversionCaps(UINT, D3D11_VIDEO_PROCESSOR_RATE_CONVERSION_CAPS *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  GetVideoProcessorCustomRate(UINT, UINT, D3D11_VIDEO_PROCESSOR_CUSTOM_RATE *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetVideoProcessorFilterRange(
      D3D11_VIDEO_PROCESSOR_FILTER, D3D11_VIDEO_PROCESSOR_FILTER_RANGE *) override {
    return E_NOTIMPL;
  }
};

struct StubProcessor : DeviceChildStub<ID3D11VideoProcessor> {
  void STDMETHODCALLTYPE GetContentDesc(D3D11_VIDEO_PROCESSOR_CONTENT_DESC *) override {}
  void STDMETHODCALLTYPE
  GetRateConversionCaps(D3D11_VIDEO_PROCESSOR_RATE_CONVERSION_CAPS *) override {}
};

struct StubInputView : ViewStub<ID3D11VideoProcessorInputView> {
  void STDMETHODCALLTYPE GetDesc(D3D11_VIDEO_PROCESSOR_INPUT_VIEW_DESC *) override {}
};

struct StubOutputView : ViewStub<ID3D11VideoProcessorOutputView> {
  void STDMETHODCALLTYPE GetDesc(D3D11_VIDEO_PROCESSOR_OUTPUT_VIEW_DESC *) override {}
};

}  // namespace orvelle::clips::fake
