#include "encode/h264_encoder_win.h"

#include "common/fatal.h"
#include "common/utf.h"
#include "common/try.h"
#include "common/win/checked.h"
#include "common/win/guid.h"
#include "common/win/media_foundation.h"
#include "common/win/owner.h"

#include <codecapi.h>
#include <mfapi.h>
#include <mferror.h>
#include <strmif.h>

#include <optional>

namespace orvelle::clips {
namespace {

using win::ComPtr;
using win::checked;
using win::hresult_error;
using win::made;

std::optional<std::u16string> string_attribute(IMFAttributes* attributes, const GUID& key) {
  win::CoTaskMemory<wchar_t> text;
  UINT32 length = 0;
  if (FAILED(attributes->GetAllocatedString(key, text.put(), &length)) || !text) return std::nullopt;
  return std::u16string(reinterpret_cast<const char16_t*>(text.get()), length);
}

std::optional<std::string> vendor_attribute(IMFActivate* activate) {
  auto text = string_attribute(activate, win::kHardwareVendorIdAttribute);
  if (!text) return std::nullopt;
  return utf16_to_utf8(*text);
}

const GUID& codec_api_id(CodecSetting setting) {
  switch (setting) {
    case CodecSetting::rate_control_mode: return CODECAPI_AVEncCommonRateControlMode;
    case CodecSetting::mean_bit_rate: return CODECAPI_AVEncCommonMeanBitRate;
    case CodecSetting::gop_size: return CODECAPI_AVEncMPVGOPSize;
    case CodecSetting::b_picture_count: return CODECAPI_AVEncMPVDefaultBPictureCount;
    case CodecSetting::low_latency: return CODECAPI_AVLowLatencyMode;
    case CodecSetting::quality_vs_speed: break;
  }
  return CODECAPI_AVEncCommonQualityVsSpeed;
}

// One codec setting; an encoder without it keeps its own.
void codec_api_set_value(ICodecAPI* codec, const CodecValue& setting) {
  VARIANT value;
  VariantInit(&value);
  if (setting.boolean) {
    value.vt = VT_BOOL;
    value.boolVal = setting.value ? VARIANT_TRUE : VARIANT_FALSE;
  } else {
    value.vt = VT_UI4;
    value.ulVal = setting.value;
  }
  codec->SetValue(&codec_api_id(setting.setting), &value);
  VariantClear(&value);
}

// The settings both stream types share: size, rate, progressive, square pixels.
Status describe_pictures(IMFMediaType* type, const EncoderRequest& r) {
  ORVELLE_TRY(checked(MFSetAttributeSize(type, MF_MT_FRAME_SIZE, r.encode.width, r.encode.height)));
  ORVELLE_TRY(checked(MFSetAttributeRatio(type, MF_MT_FRAME_RATE, r.fps, 1)));
  ORVELLE_TRY(checked(MFSetAttributeRatio(type, MF_MT_PIXEL_ASPECT_RATIO, 1, 1)));
  return checked(type->SetUINT32(MF_MT_INTERLACE_MODE, kProgressive));
}

Result<ComPtr<IMFMediaType>> h264_output_type(const EncoderRequest& r) {
  ComPtr<IMFMediaType> type;
  ORVELLE_TRY(made(MFCreateMediaType(type.put()), type));
  ORVELLE_TRY(checked(type->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Video)));
  ORVELLE_TRY(checked(type->SetGUID(MF_MT_SUBTYPE, MFVideoFormat_H264)));
  ORVELLE_TRY(checked(type->SetUINT32(MF_MT_AVG_BITRATE, r.bitrate)));
  ORVELLE_TRY(describe_pictures(type.get(), r));
  ORVELLE_TRY(checked(type->SetUINT32(MF_MT_MPEG2_PROFILE, kHighProfile)));
  return type;
}

struct Configured {
  MediaFoundationParts parts;
  InputChoice input;
};

// The input types the encoder offers, until it has no more.
struct OfferedInputs {
  std::vector<ComPtr<IMFMediaType>> types;
  std::vector<Guid> subtypes;
};
OfferedInputs offered_inputs(IMFTransform* transform, DWORD input_stream) {
  OfferedInputs offered;
  for (DWORD i = 0;; ++i) {
    ComPtr<IMFMediaType> type;
    if (FAILED(transform->GetInputAvailableType(input_stream, i, type.put())) || !type) break;
    GUID subtype = GUID_NULL;
    type->GetGUID(MF_MT_SUBTYPE, &subtype);
    offered.subtypes.push_back(win::portable_guid(subtype));
    offered.types.push_back(std::move(type));
  }
  return offered;
}

Result<Configured> configure(IMFActivate* activate, const EncoderRequest& r,
                             IMFDXGIDeviceManager* manager) {
  Configured c;
  MediaFoundationParts& p = c.parts;
  ORVELLE_TRY(made(activate->ActivateObject(__uuidof(IMFTransform), p.transform.put_void()),
                   p.transform));
  IMFTransform* transform = p.transform.get();
  ComPtr<IMFAttributes> attributes;
  ORVELLE_TRY(made(transform->GetAttributes(attributes.put()), attributes));
  ORVELLE_TRY(checked(attributes->SetUINT32(MF_TRANSFORM_ASYNC_UNLOCK, TRUE)));
  ORVELLE_TRY(checked(
      transform->ProcessMessage(MFT_MESSAGE_SET_D3D_MANAGER, reinterpret_cast<ULONG_PTR>(manager))));
  HRESULT ids = transform->GetStreamIDs(1, &p.input_stream, 1, &p.output_stream);
  if (ids == E_NOTIMPL) {
    p.input_stream = p.output_stream = 0;
  } else {
    ORVELLE_TRY(checked(ids));
  }

  auto output = h264_output_type(r);
  if (!output) return error(output.error());
  ORVELLE_TRY(checked(transform->SetOutputType(p.output_stream, output->get(), 0)));

  OfferedInputs offered = offered_inputs(transform, p.input_stream);
  auto input = choose_input(r.input, offered.subtypes);
  if (!input) return error(input.error());
  c.input = *input;
  IMFMediaType* input_type = offered.types[input->index].get();
  ORVELLE_TRY(describe_pictures(input_type, r));
  ORVELLE_TRY(checked(transform->SetInputType(p.input_stream, input_type, 0)));

  ComPtr<ICodecAPI> codec;
  if (SUCCEEDED(p.transform.as(codec)) && codec)
    for (const CodecValue& setting : codec_settings(r.bitrate, r.fps))
      codec_api_set_value(codec.get(), setting);

  ORVELLE_TRY(made(p.transform.as(p.events), p.events));
  for (MFT_MESSAGE_TYPE m : {MFT_MESSAGE_COMMAND_FLUSH, MFT_MESSAGE_NOTIFY_BEGIN_STREAMING,
                             MFT_MESSAGE_NOTIFY_START_OF_STREAM})
    ORVELLE_TRY(checked(transform->ProcessMessage(m, 0)));
  return c;
}

}  // namespace

Result<ComPtr<IMFDXGIDeviceManager>> make_device_manager(ID3D11Device* device) {
  UINT token = 0;
  ComPtr<IMFDXGIDeviceManager> manager;
  ORVELLE_TRY(checked(MFCreateDXGIDeviceManager(&token, manager.put())));
  if (!manager) fatal("device manager");
  ORVELLE_TRY(checked(manager->ResetDevice(device, token)));
  return manager;
}

Result<std::vector<ComPtr<IMFActivate>>> hardware_h264_encoders() {
  MFT_REGISTER_TYPE_INFO input = {MFMediaType_Video, MFVideoFormat_NV12};
  MFT_REGISTER_TYPE_INFO output = {MFMediaType_Video, MFVideoFormat_H264};
  IMFActivate** raw = nullptr;
  UINT32 count = 0;
  HRESULT hr = MFTEnumEx(MFT_CATEGORY_VIDEO_ENCODER,
                         MFT_ENUM_FLAG_HARDWARE | MFT_ENUM_FLAG_SORTANDFILTER, &input, &output,
                         &raw, &count);
  win::CoTaskMemory<IMFActivate*> array(raw);
  std::vector<ComPtr<IMFActivate>> activates;
  for (UINT32 i = 0; raw && i < count; ++i)
    if (raw[i]) activates.push_back(ComPtr<IMFActivate>::attach(raw[i]));
  if (FAILED(hr)) return error(hresult_error(hr));
  return activates;
}

Result<ChosenEncoder> choose_from(std::vector<ComPtr<IMFActivate>> candidates,
                                  const EncoderRequest& request, IMFDXGIDeviceManager* manager) {
  std::vector<std::optional<std::string>> vendors;
  for (const auto& a : candidates) vendors.push_back(vendor_attribute(a.get()));
  const std::vector<std::size_t> order = candidate_order(vendors, request.gpu_vendor);
  std::vector<std::string> names;
  for (std::size_t i : order)
    names.push_back(encoder_name(string_attribute(candidates[i].get(), MFT_FRIENDLY_NAME_Attribute)));

  std::optional<Configured> configured;
  auto chosen = first_working_encoder(
      names,
      [&](std::size_t k) -> Status {
        IMFActivate* activate = candidates[order[k]].get();
        auto c = configure(activate, request, manager);
        if (!c) {
          activate->ShutdownObject();
          return error(c.error());
        }
        configured = std::move(*c);
        return {};
      },
      request.gpu_description);
  if (!chosen) return error(chosen.error());
  configured->parts.device_manager = ComPtr<IMFDXGIDeviceManager>::share(manager);
  return ChosenEncoder{names[*chosen], configured->input,
                       std::make_shared<MediaFoundationEncoder>(std::move(configured->parts))};
}

Result<ChosenEncoder> choose_h264_encoder(ID3D11Device* device, const EncoderRequest& request) {
  auto manager = make_device_manager(device);
  if (!manager) return error(sized_error(request.encode, manager.error()));
  auto candidates = hardware_h264_encoders();
  if (!candidates) return error(sized_error(request.encode, candidates.error()));
  if (candidates->empty()) return error(sized_error(request.encode, no_hardware_encoder()));
  return choose_from(std::move(*candidates), request, manager->get());
}

}  // namespace orvelle::clips
