#include "encode/encoder_choice.h"

#include "common/utf.h"

#include <fmt/format.h>

#include <algorithm>
#include <utility>

namespace orvelle::clips {
namespace {

std::optional<std::uint32_t> hex_u32(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    v = v * 16 + static_cast<std::uint64_t>(digit);
    if (v > UINT32_MAX) return std::nullopt;
  }
  return static_cast<std::uint32_t>(v);
}

struct NamedSubtype {
  Guid subtype;
  std::string_view name;
};
constexpr NamedSubtype kSubtypeNames[] = {
    {subtype::kNv12, "nv12"},
    {subtype::kArgb32, "argb32"},
    {subtype::kRgb32, "rgb32"},
    {video_subtype(fourcc("YUY2")), "yuy2"},
    {video_subtype(fourcc("IYUV")), "iyuv"},
    {video_subtype(fourcc("I420")), "i420"},
    {video_subtype(fourcc("YV12")), "yv12"},
    {video_subtype(fourcc("P010")), "p010"},
    {video_subtype(fourcc("AYUV")), "ayuv"},
    {video_subtype(fourcc("UYVY")), "uyvy"},
    {video_subtype(fourcc("NV21")), "nv21"},
    {subtype::kRgb24, "rgb24"},
};

struct WantedInput {
  Guid subtype;
  std::string_view name;
};
constexpr WantedInput kBgraInputs[] = {{subtype::kArgb32, kInputBgra}, {subtype::kRgb32, kInputBgra}};
constexpr WantedInput kNv12Inputs[] = {{subtype::kNv12, kInputNv12}};
constexpr WantedInput kAnyInputs[] = {
    {subtype::kArgb32, kInputBgra}, {subtype::kRgb32, kInputBgra}, {subtype::kNv12, kInputNv12}};

std::span<const WantedInput> wanted_inputs(InputFormat wanted) {
  switch (wanted) {
    case InputFormat::Nv12: return kNv12Inputs;
    case InputFormat::Bgra: return kBgraInputs;
    case InputFormat::Automatic: break;
  }
  return kAnyInputs;
}

}  // namespace

std::optional<std::uint32_t> vendor_in(std::string_view attribute) {
  constexpr std::string_view kMarker = "VEN_";
  std::size_t at = attribute.find(kMarker);
  if (at == std::string_view::npos) return std::nullopt;
  return hex_u32(attribute.substr(at + kMarker.size()));
}

bool mft_vendor_matches(const std::optional<std::string>& attribute, std::uint32_t gpu_vendor) {
  return attribute && vendor_in(*attribute) == gpu_vendor;
}

std::vector<std::size_t> candidate_order(std::span<const std::optional<std::string>> vendor_attributes,
                                         std::uint32_t gpu_vendor) {
  std::vector<std::size_t> order(vendor_attributes.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_partition(order.begin(), order.end(), [&](std::size_t i) {
    return mft_vendor_matches(vendor_attributes[i], gpu_vendor);
  });
  return order;
}

std::string encoder_name(const std::optional<std::u16string>& friendly_name) {
  if (!friendly_name) return std::string(kUnnamedEncoder);
  std::string name = utf16_to_utf8(*friendly_name);
  if (utf8_to_utf16(name) != *friendly_name) return {};
  return name;
}

Result<std::size_t> first_working_encoder(std::span<const std::string> names,
                                          const std::function<Status(std::size_t)>& try_one,
                                          std::string_view gpu_description) {
  std::string failures;
  for (std::size_t k = 0; k < names.size(); ++k) {
    Status tried = try_one(k);
    if (tried) return k;
    if (!failures.empty()) failures += "; ";
    failures += fmt::format("{}: {}", names[k], tried.error().text());
  }
  return error(fail(fmt::format("no H.264 encoder works with {} ({})", gpu_description, failures),
                    hresult::kNotFound));
}

WinError no_hardware_encoder() { return fail("no hardware H.264 encoder", hresult::kNotFound); }

WinError sized_error(Size encode, const WinError& e) {
  return fail(fmt::format("{}x{}: {}", encode.width, encode.height, e.text()), e.code);
}

std::string pixel_format_name(const Guid& subtype) {
  for (const NamedSubtype& n : kSubtypeNames)
    if (n.subtype == subtype) return std::string(n.name);
  return guid_text(subtype);
}

Result<InputChoice> choose_input(InputFormat wanted, std::span<const Guid> offered) {
  InputChoice choice;
  for (const Guid& g : offered) {
    if (!choice.offered.empty()) choice.offered += ' ';
    choice.offered += pixel_format_name(g);
  }
  for (const WantedInput& w : wanted_inputs(wanted)) {
    auto found = std::find(offered.begin(), offered.end(), w.subtype);
    if (found == offered.end()) continue;
    choice.index = static_cast<std::size_t>(found - offered.begin());
    choice.name = w.name;
    return choice;
  }
  return error(fail(
      fmt::format("encoder takes none of the wanted input formats (offers {})", choice.offered),
      hresult::kInvalidMediaType));
}

std::string encoder_input_line(const InputChoice& choice) {
  return fmt::format("encoder input {} (offered: {})", choice.name, choice.offered);
}

std::array<CodecValue, 6> codec_settings(std::uint32_t bitrate, std::uint32_t fps) {
  return {{
      {CodecSetting::rate_control_mode, 0},
      {CodecSetting::mean_bit_rate, bitrate},
      {CodecSetting::gop_size, 2 * fps},
      {CodecSetting::b_picture_count, 0},
      {CodecSetting::low_latency, 1, true},
      {CodecSetting::quality_vs_speed, 66},
  }};
}

}  // namespace orvelle::clips
