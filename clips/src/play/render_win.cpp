#include "play/render_win.h"

#include "common/try.h"
#include "common/win/checked.h"
#include "common/win/com_ptr.h"

#include <audioclient.h>
#include <mmdeviceapi.h>
#include <mmreg.h>

namespace orvelle::clips {
namespace {

using win::checked;
using win::ComPtr;

// AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY:
// the engine converts the stream's rate and layout to the mix format.
constexpr DWORD kConvertFlags = 0x88000000;
constexpr REFERENCE_TIME kBufferDuration = 1'000'000;  // 100 ms

class WasapiDevice final : public SoundDevice {
 public:
  WasapiDevice(ComPtr<IAudioClient> client, ComPtr<IAudioRenderClient> render, ComPtr<IAudioClock> clock,
               std::uint64_t frequency, std::uint32_t frames, std::uint32_t channels)
      : client_(std::move(client)), render_(std::move(render)), clock_(std::move(clock)),
        frequency_(frequency), frames_(frames), channels_(channels) {}

  std::uint32_t buffer_frames() const override { return frames_; }
  std::uint64_t frequency() const override { return frequency_; }
  Result<std::uint32_t> padding() override {
    UINT32 padding = 0;
    ORVELLE_TRY(checked(client_->GetCurrentPadding(&padding)));
    return padding;
  }
  Result<std::span<float>> get_buffer(std::uint32_t frames) override {
    BYTE* data = nullptr;
    ORVELLE_TRY(checked(render_->GetBuffer(frames, &data)));
    if (!data && frames) return error(win::no_object());
    return std::span<float>(reinterpret_cast<float*>(data), std::size_t{frames} * channels_);
  }
  Status release_buffer(std::uint32_t frames) override { return checked(render_->ReleaseBuffer(frames, 0)); }
  Status start() override { return checked(client_->Start()); }
  Status stop() override { return checked(client_->Stop()); }
  Status reset() override { return checked(client_->Reset()); }
  Result<DevicePosition> position() override {
    UINT64 p = 0, q = 0;
    ORVELLE_TRY(checked(clock_->GetPosition(&p, &q)));
    // The counter time comes in 100-ns units, the playback clock's own.
    return DevicePosition{p, static_cast<std::int64_t>(q)};
  }

 private:
  ComPtr<IAudioClient> client_;
  ComPtr<IAudioRenderClient> render_;
  ComPtr<IAudioClock> clock_;
  std::uint64_t frequency_;
  std::uint32_t frames_, channels_;
};

}  // namespace

Result<std::unique_ptr<SoundDevice>> open_render_client(const SoundFormat& format) {
  ComPtr<IMMDeviceEnumerator> devices;
  ORVELLE_TRY(win::made(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                         __uuidof(IMMDeviceEnumerator), devices.put_void()),
                        devices));
  ComPtr<IMMDevice> device;
  ORVELLE_TRY(win::made(devices->GetDefaultAudioEndpoint(eRender, eConsole, device.put()), device));
  ComPtr<IAudioClient> client;
  ORVELLE_TRY(win::made(device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, client.put_void()), client));
  // The stream's own format, as the reader gave it: past two channels only
  // its WAVEFORMATEXTENSIBLE says which speaker each channel feeds.
  if (format.description.size() < sizeof(WAVEFORMATEX))
    return error(fail("the sound stream has no format", hresult::kInvalidArg));
  const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(format.description.data());
  ORVELLE_TRY(checked(client->Initialize(AUDCLNT_SHAREMODE_SHARED, kConvertFlags, kBufferDuration, 0, wave, nullptr)));
  ComPtr<IAudioRenderClient> render;
  ORVELLE_TRY(win::made(client->GetService(__uuidof(IAudioRenderClient), render.put_void()), render));
  ComPtr<IAudioClock> clock;
  ORVELLE_TRY(win::made(client->GetService(__uuidof(IAudioClock), clock.put_void()), clock));
  UINT64 frequency = 0;
  ORVELLE_TRY(checked(clock->GetFrequency(&frequency)));
  UINT32 frames = 0;
  ORVELLE_TRY(checked(client->GetBufferSize(&frames)));
  return std::unique_ptr<SoundDevice>(std::make_unique<WasapiDevice>(
      std::move(client), std::move(render), std::move(clock), frequency, frames, format.channels));
}

}  // namespace orvelle::clips
