#include "mp4/media_sample_win.h"

#include "common/try.h"
#include "common/win/checked.h"
#include "common/win/error.h"

#include <mfapi.h>

#include <cstring>
#include <limits>

namespace orvelle::clips {

using win::checked;
using win::ComPtr;

Result<ComPtr<IMFSample>> make_media_sample(const Packet& packet) {
  if (packet.len > std::numeric_limits<DWORD>::max()) return error(win::hresult_error(E_INVALIDARG));
  const auto length = static_cast<DWORD>(packet.len);
  ComPtr<IMFMediaBuffer> buffer;
  ORVELLE_TRY(win::made(MFCreateMemoryBuffer(length, buffer.put()), buffer));
  BYTE* bytes = nullptr;
  ORVELLE_TRY(checked(buffer->Lock(&bytes, nullptr, nullptr)));
  if (length > 0) std::memcpy(bytes, packet.data.get(), length);
  ORVELLE_TRY(checked(buffer->Unlock()));
  ORVELLE_TRY(checked(buffer->SetCurrentLength(length)));

  ComPtr<IMFSample> sample;
  ORVELLE_TRY(win::made(MFCreateSample(sample.put()), sample));
  ORVELLE_TRY(checked(sample->AddBuffer(buffer.get())));
  ORVELLE_TRY(checked(sample->SetSampleTime(packet.time.count())));
  ORVELLE_TRY(checked(sample->SetSampleDuration(packet.duration.count())));
  if (packet.key) ORVELLE_TRY(checked(sample->SetUINT32(MFSampleExtension_CleanPoint, 1)));
  return sample;
}

}  // namespace orvelle::clips
