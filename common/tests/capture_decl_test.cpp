// Our capture declarations compile in the Windows build, and the ids of the
// parameterised ones are what the id rule gives for their type signatures.

#include "common/win/capture.h"
#include "common/win/com_ptr.h"
#include "common/winrt_iid.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace orvelle::win {
namespace {

std::string text(const GUID& g) {
  return guid_text(Guid{static_cast<std::uint32_t>(g.Data1), g.Data2, g.Data3,
                        {g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5],
                         g.Data4[6], g.Data4[7]}});
}

// The platform documents the surface description as the WinRT form of
// DXGI_SURFACE_DESC, whose layout mingw-w64 does carry.
static_assert(sizeof(Direct3DSurfaceDescription) == sizeof(DXGI_SURFACE_DESC));
static_assert(offsetof(Direct3DSurfaceDescription, Width) == offsetof(DXGI_SURFACE_DESC, Width));
static_assert(offsetof(Direct3DSurfaceDescription, Height) == offsetof(DXGI_SURFACE_DESC, Height));
static_assert(offsetof(Direct3DSurfaceDescription, Format) == offsetof(DXGI_SURFACE_DESC, Format));
static_assert(offsetof(Direct3DSurfaceDescription, MultisampleCount) ==
              offsetof(DXGI_SURFACE_DESC, SampleDesc));

TEST(CaptureDeclarations, ParameterisedIdsFollowTheRule) {
  namespace s = signature;
  namespace g = generic_iid;
  const std::string pool = s::runtime_class("Windows.Graphics.Capture.Direct3D11CaptureFramePool",
                                            s::interface_type(text(__uuidof(IDirect3D11CaptureFramePool))));
  const std::string status =
      s::enumeration("Windows.Security.Authorization.AppCapabilityAccess.AppCapabilityAccessStatus");
  EXPECT_EQ(text(__uuidof(IFrameArrivedHandler)),
            guid_text(winrt_iid(s::pinterface(g::kTypedEventHandler, {pool, s::kObject}))));
  EXPECT_EQ(text(__uuidof(IAccessStatusOperation)),
            guid_text(winrt_iid(s::pinterface(g::kAsyncOperation, {status}))));
  EXPECT_EQ(text(__uuidof(IAccessStatusCompletedHandler)),
            guid_text(winrt_iid(s::pinterface(g::kAsyncOperationCompletedHandler, {status}))));
  // The frame handler's id as other published code carries it.
  EXPECT_EQ(text(__uuidof(IFrameArrivedHandler)), "51a947f7-79cf-5a3e-a3a5-1289cfa6dfe8");
}

TEST(CaptureDeclarations, ComPointersTakeThem) {
  // ComPtr::as needs __uuidof of each; this instantiates it for the ones the
  // capture start asks for by interface.
  ComPtr<IGraphicsCaptureSession> session;
  ComPtr<IGraphicsCaptureSession2> s2;
  ComPtr<IGraphicsCaptureSession3> s3;
  ComPtr<IGraphicsCaptureSession5> s5;
  ComPtr<IGraphicsCaptureSession6> s6;
  ComPtr<IClosable> closable;
  EXPECT_EQ(session.as(s2), E_POINTER);
  EXPECT_EQ(session.as(s3), E_POINTER);
  EXPECT_EQ(session.as(s5), E_POINTER);
  EXPECT_EQ(session.as(s6), E_POINTER);
  EXPECT_EQ(session.as(closable), E_POINTER);
}

}  // namespace
}  // namespace orvelle::win
