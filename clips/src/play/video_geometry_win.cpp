#include "play/video_geometry_win.h"

#include <mfapi.h>

namespace orvelle::clips {

Result<VideoTypeAttributes> video_type_attributes(IMFAttributes* type) {
  VideoTypeAttributes a;
  UINT64 size = 0, rate = 0;
  if (HRESULT hr = type->GetUINT64(MF_MT_FRAME_SIZE, &size); FAILED(hr))
    return error(WinError{static_cast<std::uint32_t>(hr), {}});
  a.frame_size = size;
  UINT32 stride = 0;
  if (SUCCEEDED(type->GetUINT32(MF_MT_DEFAULT_STRIDE, &stride))) a.default_stride = stride;
  std::vector<std::uint8_t> blob(sizeof(MFVideoArea));
  UINT32 got = 0;
  if (SUCCEEDED(type->GetBlob(MF_MT_MINIMUM_DISPLAY_APERTURE, blob.data(), static_cast<UINT32>(blob.size()), &got))) {
    blob.resize(got);
    a.aperture = std::move(blob);
  }
  if (SUCCEEDED(type->GetUINT64(MF_MT_FRAME_RATE, &rate))) a.frame_rate = rate;
  return a;
}

}  // namespace orvelle::clips
