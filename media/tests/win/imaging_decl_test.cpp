// Our imaging declarations compile in the Windows build, and the ids of the
// parameterised operations are what the id rule gives for their type
// signatures, built on the declared ids of the classes' default interfaces.

#include "common/win/guid.h"
#include "common/win/imaging.h"
#include "common/winrt_iid.h"

#include <gtest/gtest.h>

namespace orvelle::win {
namespace {

std::string text(const GUID& g) { return guid_text(portable_guid(g)); }

TEST(ImagingDeclarations, ParameterisedIdsFollowTheRule) {
  namespace s = signature;
  auto operation_of = [](const char* name, const GUID& default_interface) {
    return guid_text(winrt_iid(s::pinterface(
        generic_iid::kAsyncOperation,
        {s::runtime_class(std::string("Windows.Graphics.Imaging.") + name,
                          s::interface_type(text(default_interface)))})));
  };
  EXPECT_EQ(text(__uuidof(IBitmapDecoderOperation)), operation_of("BitmapDecoder", __uuidof(IBitmapDecoder)));
  EXPECT_EQ(text(__uuidof(IPixelDataOperation)),
            operation_of("PixelDataProvider", __uuidof(IPixelDataProvider)));
  // The two results are different interfaces, and so are their operations.
  EXPECT_NE(text(__uuidof(IBitmapDecoderOperation)), text(__uuidof(IPixelDataOperation)));
}

}  // namespace
}  // namespace orvelle::win
