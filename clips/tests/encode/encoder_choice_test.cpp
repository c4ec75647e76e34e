// The decisions of the hardware encoder search.

#include "encode/encoder_choice.h"

#include <gtest/gtest.h>

namespace orvelle::clips {
namespace {

TEST(EncoderChoice, ReadsTheVendorAfterVen) {
  struct Case {
    const char* attribute;
    std::optional<std::uint32_t> vendor;
  } cases[] = {
      {"VEN_10DE", 0x10DE},          {"VEN_10de", 0x10DE},
      {"VEN_+1002", 0x1002},         {"VEN_00008086", 0x8086},
      {"PCI\\VEN_8086", 0x8086},     {"VEN_FFFFFFFF", 0xFFFFFFFFu},
      {"VEN_", std::nullopt},        {"VEN_+", std::nullopt},
      {"VEN_XYZ", std::nullopt},     {"VEN_10DE&DEV_2204", std::nullopt},
      {"VEN_100000000", std::nullopt}, {"10DE", std::nullopt},
      {"ven_10DE", std::nullopt},    {"VEN_-10DE", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(vendor_in(c.attribute), c.vendor) << c.attribute;
  EXPECT_TRUE(mft_vendor_matches(std::string("VEN_10DE"), 0x10DE));
  EXPECT_FALSE(mft_vendor_matches(std::nullopt, 0));
  EXPECT_FALSE(mft_vendor_matches(std::string("VEN_"), 0));
}

TEST(EncoderChoice, TriesTheGpusVendorFirstAndTheOthersAfter) {
  const std::vector<std::optional<std::string>> vendors = {
      "VEN_1002", std::nullopt, "VEN_10DE", "VEN_8086", "VEN_10de"};
  EXPECT_EQ(candidate_order(vendors, 0x10DE), (std::vector<std::size_t>{2, 4, 0, 1, 3}));
  EXPECT_EQ(candidate_order(vendors, 0x8086), (std::vector<std::size_t>{3, 0, 1, 2, 4}));
  // No candidate of the GPU's vendor: every one is still tried, in order.
  EXPECT_EQ(candidate_order(vendors, 0x5143), (std::vector<std::size_t>{0, 1, 2, 3, 4}));
}

TEST(EncoderChoice, NamesCandidates) {
  EXPECT_EQ(encoder_name(std::nullopt), "hardware encoder");
  EXPECT_EQ(encoder_name(u"NVIDIA H.264 Encoder MFT"), "NVIDIA H.264 Encoder MFT");
  EXPECT_EQ(encoder_name(u"Caf\u00e9 encoder"), "Caf\u00e9 encoder");
  EXPECT_EQ(encoder_name(std::u16string{u'A', char16_t(0xD800), u'B'}), "");
}

TEST(EncoderChoice, TakesTheFirstCandidateThatWorksAndNamesEveryFailure) {
  const std::vector<std::string> names = {"AMD H.264 Encoder MFT", "hardware encoder", "Intel QSV"};
  std::vector<std::size_t> tried;
  auto works_from = [&](std::size_t first) {
    return [&tried, first](std::size_t k) -> Status {
      tried.push_back(k);
      if (k >= first) return {};
      if (k == 0) return error(fail("unsupported", 0x80004001u));
      return error(fail("encoder takes none of the wanted input formats (offers yuy2)", 0xC00D36B4u));
    };
  };
  auto chosen = first_working_encoder(names, works_from(2), "Radeon RX 6600");
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, 2u);
  EXPECT_EQ(tried, (std::vector<std::size_t>{0, 1, 2}));

  tried.clear();
  auto none = first_working_encoder(names, works_from(3), "Radeon RX 6600");
  ASSERT_FALSE(none);
  EXPECT_EQ(none.error().code, 0xC00D36D5u);
  EXPECT_EQ(none.error().message,
            "no H.264 encoder works with Radeon RX 6600 (AMD H.264 Encoder MFT: unsupported "
            "(0x80004001); hardware encoder: encoder takes none of the wanted input formats (offers "
            "yuy2) (0xC00D36B4); Intel QSV: encoder takes none of the wanted input formats (offers "
            "yuy2) (0xC00D36B4))");
}

TEST(EncoderChoice, ErrorsBeforeAnyCandidateCarryTheSize) {
  WinError e = sized_error({1280, 720}, no_hardware_encoder());
  EXPECT_EQ(e.code, 0xC00D36D5u);
  EXPECT_EQ(e.message, "1280x720: no hardware H.264 encoder (0xC00D36D5)");
  EXPECT_EQ(sized_error({1920, 1080}, WinError{0x887A0005u, "gone"}).code, 0x887A0005u);
}

TEST(EncoderChoice, NamesPixelFormats) {
  struct Case {
    Guid subtype;
    const char* name;
  } cases[] = {
      {subtype::kNv12, "nv12"},
      {subtype::kArgb32, "argb32"},
      {subtype::kRgb32, "rgb32"},
      {subtype::kRgb24, "rgb24"},
      {video_subtype(fourcc("YUY2")), "yuy2"},
      {video_subtype(fourcc("P010")), "p010"},
      {video_subtype(fourcc("NV21")), "nv21"},
      {video_subtype(fourcc("IYUV")), "iyuv"},
      {video_subtype(fourcc("I420")), "i420"},
      {video_subtype(fourcc("AYUV")), "ayuv"},
      {video_subtype(fourcc("UYVY")), "uyvy"},
      {video_subtype(fourcc("YV12")), "yv12"},
      {video_subtype(fourcc("Y210")), "30313259-0000-0010-8000-00aa00389b71"},
  };
  for (const Case& c : cases) EXPECT_EQ(pixel_format_name(c.subtype), c.name);
  // The NV12 subtype as Media Foundation publishes it.
  EXPECT_EQ(guid_text(subtype::kNv12), "3231564e-0000-0010-8000-00aa00389b71");
}

TEST(EncoderChoice, ChoosesTheInputLayout) {
  using namespace subtype;
  const Guid yuy2 = video_subtype(fourcc("YUY2"));
  struct Case {
    InputFormat wanted;
    std::vector<Guid> offered;
    std::optional<std::size_t> index;
    std::string_view name;
    std::string offers;
  } cases[] = {
      {InputFormat::Automatic, {kNv12, kArgb32}, 1, "bgra", "nv12 argb32"},
      {InputFormat::Automatic, {kRgb32, kNv12, kRgb32}, 0, "bgra", "rgb32 nv12 rgb32"},
      {InputFormat::Automatic, {kRgb32, kArgb32}, 1, "bgra", "rgb32 argb32"},  // ARGB32 is wanted first
      {InputFormat::Automatic, {yuy2, kNv12}, 1, "nv12", "yuy2 nv12"},
      {InputFormat::Nv12, {kArgb32, kNv12}, 1, "nv12", "argb32 nv12"},
      {InputFormat::Bgra, {kNv12, kRgb32}, 1, "bgra", "nv12 rgb32"},
      {InputFormat::Bgra, {kNv12}, std::nullopt, "", "nv12"},
      {InputFormat::Nv12, {kArgb32, kRgb32}, std::nullopt, "", "argb32 rgb32"},
      {InputFormat::Automatic, {}, std::nullopt, "", ""},
  };
  for (const Case& c : cases) {
    auto choice = choose_input(c.wanted, c.offered);
    if (c.index) {
      ASSERT_TRUE(choice) << c.offers;
      EXPECT_EQ(choice->index, *c.index) << c.offers;
      EXPECT_EQ(choice->name, c.name) << c.offers;
      EXPECT_EQ(choice->offered, c.offers);
    } else {
      ASSERT_FALSE(choice) << c.offers;
      EXPECT_EQ(choice.error().code, 0xC00D36B4u);
      EXPECT_EQ(choice.error().message,
                "encoder takes none of the wanted input formats (offers " + c.offers + ")");
    }
  }
  auto choice = choose_input(InputFormat::Automatic, std::vector<Guid>{kNv12, kArgb32});
  EXPECT_EQ(encoder_input_line(*choice), "encoder input bgra (offered: nv12 argb32)");
}

TEST(EncoderChoice, CodecSettingsForConstantBitrateAndLowLatency) {
  auto s = codec_settings(4'444'444, 60);
  EXPECT_EQ(s, (std::array<CodecValue, 6>{{
                   {CodecSetting::rate_control_mode, 0},
                   {CodecSetting::mean_bit_rate, 4'444'444},
                   {CodecSetting::gop_size, 120},
                   {CodecSetting::b_picture_count, 0},
                   {CodecSetting::low_latency, 1, true},
                   {CodecSetting::quality_vs_speed, 66},
               }}));
}

}  // namespace
}  // namespace orvelle::clips
