#pragma once
// The decisions of finding a hardware H.264 encoder, apart from the platform
// that answers them: which candidates are tried first, which input layout
// is taken, how the encoder is set up, and every message. The Windows layer
// (h264_encoder_win.cpp) asks Media Foundation; the simulation asks its own
// encoder.

#include "common/geometry.h"
#include "common/hresults.h"
#include "common/win_error.h"
#include "common/winrt_iid.h"
#include "shared/options.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::clips {

// --- Candidates ---

// The PCI vendor id in a hardware transform's vendor attribute
// ("VEN_10DE"): everything after the first "VEN_" read as a hexadecimal
// 32-bit number, an optional leading '+', either letter case. Absent when
// there is no "VEN_" or no clean number after it.
std::optional<std::uint32_t> vendor_in(std::string_view attribute);

// An absent attribute matches nothing.
bool mft_vendor_matches(const std::optional<std::string>& attribute, std::uint32_t gpu_vendor);

// The order candidates are tried in: those of the GPU's vendor first, the
// rest after them, each group in enumeration order. Indices into the list.
std::vector<std::size_t> candidate_order(std::span<const std::optional<std::string>> vendor_attributes,
                                         std::uint32_t gpu_vendor);

// A candidate's name: its friendly name, "hardware encoder" when it has
// none, empty when the name is not clean UTF-16.
std::string encoder_name(const std::optional<std::u16string>& friendly_name);
inline constexpr std::string_view kUnnamedEncoder = "hardware encoder";

// Tries the candidates, named in trial order, until one works. try_one(k)
// sets the k-th up completely, or fails and leaves nothing of it running.
// Returns the k that worked, or 0xC00D36D5 "no H.264 encoder works with
// {gpu} ({name}: {error}; ...)" naming each failure in turn.
Result<std::size_t> first_working_encoder(std::span<const std::string> names,
                                          const std::function<Status(std::size_t)>& try_one,
                                          std::string_view gpu_description);

// 0xC00D36D5 "no hardware H.264 encoder": the enumeration found none.
WinError no_hardware_encoder();
// A failure before any candidate was tried, with the encode size in front:
// "{w}x{h}: {error}", the error's own code kept.
WinError sized_error(Size encode, const WinError& error);

// --- Input layout ---

// Media Foundation's video subtypes: a FourCC (or a Direct3D 9 format
// number) in front of one fixed tail.
constexpr Guid video_subtype(std::uint32_t fourcc_or_format) {
  return Guid{fourcc_or_format, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}
constexpr std::uint32_t fourcc(const char (&code)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}
namespace subtype {
inline constexpr Guid kNv12 = video_subtype(fourcc("NV12"));
inline constexpr Guid kArgb32 = video_subtype(21);  // D3DFMT_A8R8G8B8
inline constexpr Guid kRgb32 = video_subtype(22);   // D3DFMT_X8R8G8B8
inline constexpr Guid kRgb24 = video_subtype(20);   // D3DFMT_R8G8B8
inline constexpr Guid kH264 = video_subtype(fourcc("H264"));
}  // namespace subtype

// For logs and messages: "nv12", "argb32", "rgb32", ... or the GUID's text.
std::string pixel_format_name(const Guid& subtype);

// The converter's output and the encoder's input.
inline constexpr std::string_view kInputBgra = "bgra";
inline constexpr std::string_view kInputNv12 = "nv12";

struct InputChoice {
  std::size_t index = 0;   // the first offered type of the chosen subtype
  std::string_view name;   // kInputBgra or kInputNv12
  std::string offered;     // every offered type's name, joined by one space
};

// The first wanted layout the encoder offers: nv12 → NV12; bgra → ARGB32,
// RGB32; automatic → ARGB32, RGB32, NV12. None: 0xC00D36B4 "encoder takes
// none of the wanted input formats (offers {})".
Result<InputChoice> choose_input(InputFormat wanted, std::span<const Guid> offered);

// "encoder input {} (offered: {})"
std::string encoder_input_line(const InputChoice& choice);

// --- Settings ---

// The output type: H.264 High profile, progressive, square pixels.
inline constexpr std::uint32_t kProgressive = 2;  // MFVideoInterlace_Progressive
inline constexpr std::uint32_t kHighProfile = 100;

// The encoder's codec settings, in the order they are made; each failure is
// ignored (not every encoder has every setting).
enum class CodecSetting {
  rate_control_mode,   // 0: constant bitrate
  mean_bit_rate,       // the bitrate
  gop_size,            // two seconds of pictures
  b_picture_count,     // 0
  low_latency,         // on
  quality_vs_speed,    // 66
};
struct CodecValue {
  CodecSetting setting;
  std::uint32_t value = 0;
  bool boolean = false;  // a VT_BOOL setting; else VT_UI4
  friend bool operator==(const CodecValue&, const CodecValue&) = default;
};
std::array<CodecValue, 6> codec_settings(std::uint32_t bitrate, std::uint32_t fps);

}  // namespace orvelle::clips
