// The hardware encoder search over activation objects of our own for the
// stand-in transform, and once over what the system lists.

#include "encode/h264_encoder_win.h"

#include "common/win/guid.h"
#include "common/win/media_foundation.h"
#include "win/d3d_device.h"
#include "win/media_foundation_up.h"
#include "win/stand_in_h264.h"

#include <gtest/gtest.h>

#include <codecapi.h>
#include <mferror.h>

namespace orvelle::clips {
namespace {

using win::ComPtr;

const GUID kYuy2 = win::platform_guid(video_subtype(fourcc("YUY2")));

class EncoderSearch : public testing::Test {
 protected:
  static void SetUpTestSuite() { start_media_foundation(); }
  void SetUp() override {
    ASSERT_TRUE(d3d.device) << "no Direct3D 11 device";
    auto m = make_device_manager(d3d.device.get());
    ASSERT_TRUE(m) << m.error().text();
    manager = std::move(*m);
  }

  ComPtr<fake::StandInActivate> candidate(const wchar_t* name, const wchar_t* vendor,
                                          std::vector<GUID> inputs = {}) {
    auto encoder = win::make_com<fake::StandInEncoder>(std::vector<fake::AccessUnit>{});
    if (!inputs.empty()) encoder->offered_inputs = std::move(inputs);
    encoders.push_back(encoder);
    return win::make_com<fake::StandInActivate>(encoder, name, vendor);
  }

  EncoderRequest request{"Test GPU", 0x10DE, {1280, 720}, 4'444'444, 60, InputFormat::Automatic};
  D3DDevice d3d = make_d3d_device();
  ComPtr<IMFDXGIDeviceManager> manager;
  std::vector<ComPtr<fake::StandInEncoder>> encoders;
};

UINT32 uint32_of(IMFMediaType* type, const GUID& key) {
  UINT32 v = 0;
  EXPECT_EQ(type->GetUINT32(key, &v), S_OK);
  return v;
}
std::pair<UINT32, UINT32> pair_of(IMFMediaType* type, const GUID& key) {
  UINT32 a = 0, b = 0;
  EXPECT_EQ(MFGetAttributeSize(type, key, &a, &b), S_OK);
  return {a, b};
}

TEST_F(EncoderSearch, SetsTheChosenEncoderUpForStreaming) {
  auto chosen = choose_from({candidate(L"Stand-in H.264 Encoder", L"VEN_10DE")}, request,
                            manager.get());
  ASSERT_TRUE(chosen) << chosen.error().text();
  EXPECT_EQ(chosen->name, "Stand-in H.264 Encoder");
  EXPECT_EQ(chosen->input.name, "bgra");  // offered NV12 and ARGB32: BGRA is preferred
  EXPECT_EQ(chosen->input.offered, "nv12 argb32");

  fake::StandInEncoder::Record r = encoders[0]->record();
  EXPECT_EQ(r.messages, (std::vector<std::string>{"set d3d manager", "flush", "begin streaming",
                                                  "start of stream"}));
  EXPECT_EQ(r.d3d_manager, reinterpret_cast<ULONG_PTR>(manager.get()));
  EXPECT_TRUE(r.unlocked);

  IMFMediaType* out = r.output_type.get();
  ASSERT_TRUE(out);
  GUID subtype = GUID_NULL;
  out->GetGUID(MF_MT_SUBTYPE, &subtype);
  EXPECT_TRUE(subtype == MFVideoFormat_H264);
  EXPECT_EQ(uint32_of(out, MF_MT_AVG_BITRATE), 4'444'444u);
  EXPECT_EQ(pair_of(out, MF_MT_FRAME_SIZE), std::make_pair(1280u, 720u));
  EXPECT_EQ(pair_of(out, MF_MT_FRAME_RATE), std::make_pair(60u, 1u));
  EXPECT_EQ(pair_of(out, MF_MT_PIXEL_ASPECT_RATIO), std::make_pair(1u, 1u));
  EXPECT_EQ(uint32_of(out, MF_MT_INTERLACE_MODE), 2u);
  EXPECT_EQ(uint32_of(out, MF_MT_MPEG2_PROFILE), 100u);

  IMFMediaType* in = r.input_type.get();
  ASSERT_TRUE(in);
  in->GetGUID(MF_MT_SUBTYPE, &subtype);
  EXPECT_TRUE(subtype == MFVideoFormat_ARGB32);
  EXPECT_EQ(pair_of(in, MF_MT_FRAME_SIZE), std::make_pair(1280u, 720u));
  EXPECT_EQ(pair_of(in, MF_MT_FRAME_RATE), std::make_pair(60u, 1u));
  EXPECT_EQ(uint32_of(in, MF_MT_INTERLACE_MODE), 2u);

  // Every setting is made, in order, though the encoder refuses the last.
  struct Setting {
    GUID api;
    VARTYPE type;
    ULONG value;
  } wanted[] = {
      {CODECAPI_AVEncCommonRateControlMode, VT_UI4, 0},
      {CODECAPI_AVEncCommonMeanBitRate, VT_UI4, 4'444'444},
      {CODECAPI_AVEncMPVGOPSize, VT_UI4, 120},
      {CODECAPI_AVEncMPVDefaultBPictureCount, VT_UI4, 0},
      {CODECAPI_AVLowLatencyMode, VT_BOOL, 1},
      {CODECAPI_AVEncCommonQualityVsSpeed, VT_UI4, 66},
  };
  ASSERT_EQ(r.codec.size(), std::size(wanted));
  for (std::size_t i = 0; i < r.codec.size(); ++i) {
    EXPECT_TRUE(r.codec[i].api == wanted[i].api) << i;
    EXPECT_EQ(r.codec[i].type, wanted[i].type) << i;
    EXPECT_EQ(r.codec[i].value, wanted[i].value) << i;
  }
}

TEST_F(EncoderSearch, TheGpusVendorIsTriedFirstThoughListedLast) {
  auto other = candidate(L"Other Encoder", L"VEN_1002");
  auto matching = candidate(L"Matching Encoder", L"VEN_10DE");
  auto chosen = choose_from({other, matching}, request, manager.get());
  ASSERT_TRUE(chosen) << chosen.error().text();
  EXPECT_EQ(chosen->name, "Matching Encoder");
  EXPECT_EQ(other->activations, 0);
}

TEST_F(EncoderSearch, EveryCandidateFailsNamedInTrialOrderAndShutDown) {
  auto other = candidate(L"Other Encoder", L"VEN_1002", {kYuy2});
  auto unnamed = candidate(nullptr, nullptr, {kYuy2});
  auto matching = candidate(L"Matching Encoder", L"VEN_10DE", {kYuy2});
  request.input = InputFormat::Nv12;
  auto chosen = choose_from({other, unnamed, matching}, request, manager.get());
  ASSERT_FALSE(chosen);
  EXPECT_EQ(chosen.error().code, 0xC00D36D5u);
  const std::string none = "encoder takes none of the wanted input formats (offers yuy2) (0xC00D36B4)";
  EXPECT_EQ(chosen.error().message, "no H.264 encoder works with Test GPU (Matching Encoder: " + none +
                                        "; Other Encoder: " + none + "; hardware encoder: " + none + ")");
  for (const auto& c : {other, unnamed, matching}) EXPECT_EQ(c->shutdowns, 1);
}

TEST_F(EncoderSearch, TheCoreNamesTheSubtypesAsMediaFoundationDoes) {
  EXPECT_EQ(win::portable_guid(MFVideoFormat_NV12), subtype::kNv12);
  EXPECT_EQ(win::portable_guid(MFVideoFormat_ARGB32), subtype::kArgb32);
  EXPECT_EQ(win::portable_guid(MFVideoFormat_RGB32), subtype::kRgb32);
  EXPECT_EQ(win::portable_guid(MFVideoFormat_RGB24), subtype::kRgb24);
  EXPECT_EQ(win::portable_guid(MFVideoFormat_H264), subtype::kH264);
  EXPECT_EQ(win::portable_guid(MFVideoFormat_P010), video_subtype(fourcc("P010")));
  EXPECT_EQ(MFVideoInterlace_Progressive, static_cast<int>(kProgressive));
  EXPECT_EQ(eAVEncH264VProfile_High, static_cast<int>(kHighProfile));
  EXPECT_TRUE(__uuidof(ICodecAPI) == IID_ICodecAPI);
}

TEST_F(EncoderSearch, WithoutAHardwareEncoderTheSearchSaysSoWithTheSize) {
  auto chosen = choose_h264_encoder(d3d.device.get(), request);
  if (chosen) GTEST_SKIP() << "this system has a hardware H.264 encoder: " << chosen->name;
  EXPECT_EQ(chosen.error().code, 0xC00D36D5u);
  EXPECT_EQ(chosen.error().message, "1280x720: no hardware H.264 encoder (0xC00D36D5)");
}

}  // namespace
}  // namespace orvelle::clips
