#include "audio/sound_devices_win.h"

#include "audio/aac_transform_win.h"
#include "audio/mic_list.h"
#include "common/try.h"
#include "common/utf.h"
#include "common/win/checked.h"
#include "common/win/owner.h"

#include <audioclient.h>
#include <audiopolicy.h>
#include <mmdeviceapi.h>
#include <propvarutil.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace orvelle::clips {
namespace {

using win::ComPtr;
using win::checked;
using win::hresult_error;
using win::made;

constexpr DWORD kAnyContext = CLSCTX_ALL;  // 0x17
constexpr REFERENCE_TIME kBufferDuration = 2'000'000;  // 200 ms
// PKEY_Device_FriendlyName, which mingw-w64 declares without a definition.
constexpr PROPERTYKEY kFriendlyName = {{0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}},
                                       14};

// Text the system gives as UTF-16: empty when it holds an unpaired surrogate.
std::string endpoint_text(const wchar_t* text) {
  if (!text) return {};
  const std::u16string_view t(reinterpret_cast<const char16_t*>(text));
  for (std::size_t i = 0; i < t.size(); ++i) {
    const char16_t c = t[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < t.size() && t[i + 1] >= 0xDC00 && t[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return {};
    }
  }
  return utf16_to_utf8(t);
}

Result<std::string> device_id(IMMDevice* device) {
  win::CoTaskMemory<wchar_t> id;
  ORVELLE_TRY(checked(device->GetId(id.put())));
  return endpoint_text(id.get());
}

// A wave format's bytes, aligned as the system reads them.
class WaveFormat {
 public:
  explicit WaveFormat(std::span<const std::uint8_t> bytes) : storage_((bytes.size() + 7) / 8 + 1) {
    std::memcpy(storage_.data(), bytes.data(), bytes.size());
  }
  const WAVEFORMATEX* get() const { return reinterpret_cast<const WAVEFORMATEX*>(storage_.data()); }

 private:
  std::vector<std::uint64_t> storage_;
};

// The loopback's packets carry their performance-counter position, which
// stamps the game's sound blocks; a microphone's are consumed at the game's
// pace, so its packets are read without positions.
class WasapiStream final : public CaptureStream {
 public:
  WasapiStream(ComPtr<IAudioClient> client, ComPtr<IAudioCaptureClient> capture, std::uint32_t block_align,
               bool timed)
      : client_(std::move(client)), capture_(std::move(capture)), block_align_(block_align), timed_(timed) {}
  Status start() override { return checked(client_->Start()); }
  void stop() override { (void)client_->Stop(); }
  Result<std::uint32_t> next_packet_size() override {
    UINT32 frames = 0;
    ORVELLE_TRY(checked(capture_->GetNextPacketSize(&frames)));
    return frames;
  }
  Result<CapturePacket> get_packet() override {
    BYTE* data = nullptr;
    UINT32 frames = 0;
    DWORD flags = 0;
    UINT64 position = 0;
    ORVELLE_TRY(checked(capture_->GetBuffer(&data, &frames, &flags, nullptr, timed_ ? &position : nullptr)));
    const std::size_t bytes = data ? std::size_t{frames} * block_align_ : 0;
    return CapturePacket{{data, bytes}, frames, (flags & AUDCLNT_BUFFERFLAGS_SILENT) != 0,
                         Ticks{static_cast<std::int64_t>(position)}};
  }
  Status release_packet(std::uint32_t frames) override { return checked(capture_->ReleaseBuffer(frames)); }

 private:
  ComPtr<IAudioClient> client_;
  ComPtr<IAudioCaptureClient> capture_;
  std::uint32_t block_align_;
  bool timed_;
};


Result<ComPtr<IAudioClient>> activate_client(IMMDevice* device) {
  ComPtr<IAudioClient> client;
  ORVELLE_TRY(made(device->Activate(__uuidof(IAudioClient), kAnyContext, nullptr, client.put_void()), client));
  return client;
}

class WasapiClient final : public AudioClient {
 public:
  explicit WasapiClient(ComPtr<IAudioClient> client) : client_(std::move(client)) {}
  Result<std::vector<std::uint8_t>> mix_format() override {
    win::CoTaskMemory<WAVEFORMATEX> format;
    ORVELLE_TRY(checked(client_->GetMixFormat(format.put())));
    if (!format) return error(win::no_object());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(format.get());
    const WAVEFORMATEX& f = *format.get();
    const std::size_t size = f.wFormatTag == WAVE_FORMAT_PCM ? sizeof(WAVEFORMATEX) : sizeof(WAVEFORMATEX) + f.cbSize;
    return std::vector<std::uint8_t>(bytes, bytes + size);
  }
  Result<std::unique_ptr<CaptureStream>> initialise_capture(std::uint32_t flags,
                                                            std::span<const std::uint8_t> format) override {
    const WaveFormat wave(format);
    ORVELLE_TRY(checked(client_->Initialize(AUDCLNT_SHAREMODE_SHARED, flags, kBufferDuration, 0, wave.get(), nullptr)));
    ComPtr<IAudioCaptureClient> capture;
    ORVELLE_TRY(made(client_->GetService(__uuidof(IAudioCaptureClient), capture.put_void()), capture));
    return wasapi_capture_stream(client_, std::move(capture), wave.get()->nBlockAlign, flags);
  }

 private:
  ComPtr<IAudioClient> client_;
};

class WasapiSilence final : public SilenceStream {
 public:
  WasapiSilence(ComPtr<IAudioClient> client, ComPtr<IAudioRenderClient> render, UINT32 frames)
      : client_(std::move(client)), render_(std::move(render)), frames_(frames) {}
  Status start() override { return checked(client_->Start()); }
  void stop() override { (void)client_->Stop(); }
  void top_up() override {
    UINT32 padding = 0;
    if (FAILED(client_->GetCurrentPadding(&padding))) return;
    const UINT32 free = padding < frames_ ? frames_ - padding : 0;
    BYTE* data = nullptr;
    if (free > 0 && SUCCEEDED(render_->GetBuffer(free, &data)))
      (void)render_->ReleaseBuffer(free, AUDCLNT_BUFFERFLAGS_SILENT);
  }

 private:
  ComPtr<IAudioClient> client_;
  ComPtr<IAudioRenderClient> render_;
  UINT32 frames_;
};

class WasapiRender final : public RenderEndpoint {
 public:
  explicit WasapiRender(ComPtr<IMMDevice> device) : device_(std::move(device)) {}
  Result<std::unique_ptr<AudioClient>> activate() override {
    ORVELLE_ASSIGN_OR_RETURN(auto client, activate_client(device_.get()));
    return std::unique_ptr<AudioClient>(std::make_unique<WasapiClient>(std::move(client)));
  }
  Result<std::unique_ptr<SilenceStream>> open_silence(std::span<const std::uint8_t> format) override {
    ORVELLE_ASSIGN_OR_RETURN(auto client, activate_client(device_.get()));
    const WaveFormat wave(format);
    ORVELLE_TRY(checked(client->Initialize(AUDCLNT_SHAREMODE_SHARED, 0, kBufferDuration, 0, wave.get(), nullptr)));
    ComPtr<IAudioRenderClient> render;
    ORVELLE_TRY(made(client->GetService(__uuidof(IAudioRenderClient), render.put_void()), render));
    UINT32 frames = 0;
    ORVELLE_TRY(checked(client->GetBufferSize(&frames)));
    return std::unique_ptr<SilenceStream>(std::make_unique<WasapiSilence>(std::move(client), std::move(render), frames));
  }

 private:
  ComPtr<IMMDevice> device_;
};

class WasapiMicrophone final : public CaptureEndpoint {
 public:
  explicit WasapiMicrophone(ComPtr<IMMDevice> device) : device_(std::move(device)) {}
  Result<std::string> id() override { return device_id(device_.get()); }
  void opt_out_of_ducking() override {
    ComPtr<IAudioSessionManager2> manager;
    ComPtr<IAudioSessionControl> control;
    ComPtr<IAudioSessionControl2> control2;
    if (FAILED(device_->Activate(__uuidof(IAudioSessionManager2), kAnyContext, nullptr, manager.put_void())) ||
        !manager || FAILED(manager->GetAudioSessionControl(nullptr, 0, control.put())) || !control ||
        FAILED(control.as(control2)) || !control2)
      return;
    (void)control2->SetDuckingPreference(TRUE);
  }
  Result<std::unique_ptr<AudioClient>> activate() override {
    ORVELLE_ASSIGN_OR_RETURN(auto client, activate_client(device_.get()));
    return std::unique_ptr<AudioClient>(std::make_unique<WasapiClient>(std::move(client)));
  }

 private:
  ComPtr<IMMDevice> device_;
};

// The friendly name; none when the store, the value or its text cannot be read.
std::optional<std::string> friendly_name(IMMDevice* device) {
  ComPtr<IPropertyStore> store;
  if (FAILED(device->OpenPropertyStore(STGM_READ, store.put())) || !store) return std::nullopt;
  win::PropVariant value;
  if (FAILED(store->GetValue(kFriendlyName, value.put()))) return std::nullopt;
  win::CoTaskMemory<wchar_t> text;
  if (FAILED(PropVariantToStringAlloc(value.get(), text.put())) || !text) return std::nullopt;
  return endpoint_text(text.get());
}

class WasapiDevices final : public SoundDevices {
 public:
  explicit WasapiDevices(ComPtr<IMMDeviceEnumerator> e) : e_(std::move(e)) {}

  Result<std::unique_ptr<RenderEndpoint>> default_render() override {
    ComPtr<IMMDevice> device;
    ORVELLE_TRY(made(e_->GetDefaultAudioEndpoint(eRender, eConsole, device.put()), device));
    return std::unique_ptr<RenderEndpoint>(std::make_unique<WasapiRender>(std::move(device)));
  }
  Result<std::unique_ptr<CaptureEndpoint>> capture_endpoint(const std::optional<std::string>& id) override {
    ComPtr<IMMDevice> device;
    if (id) {
      const std::u16string wide = utf8_to_utf16(*id);
      ORVELLE_TRY(made(e_->GetDevice(reinterpret_cast<const wchar_t*>(wide.c_str()), device.put()), device));
    } else {
      ORVELLE_TRY(made(e_->GetDefaultAudioEndpoint(eCapture, eConsole, device.put()), device));
    }
    return std::unique_ptr<CaptureEndpoint>(std::make_unique<WasapiMicrophone>(std::move(device)));
  }
  std::optional<std::string> default_capture_endpoint_id() override {
    ComPtr<IMMDevice> device;
    if (FAILED(e_->GetDefaultAudioEndpoint(eCapture, eConsole, device.put())) || !device) return std::nullopt;
    auto id = device_id(device.get());
    if (!id) return std::nullopt;
    return *id;
  }
  Result<std::vector<ListedMicrophone>> active_microphones() override {
    ComPtr<IMMDeviceCollection> all;
    ORVELLE_TRY(made(e_->EnumAudioEndpoints(eCapture, DEVICE_STATE_ACTIVE, all.put()), all));
    UINT count = 0;
    ORVELLE_TRY(checked(all->GetCount(&count)));
    std::vector<ListedMicrophone> out;
    for (UINT i = 0; i < count; ++i) {
      ComPtr<IMMDevice> device;
      ORVELLE_TRY(made(all->Item(i, device.put()), device));
      ORVELLE_ASSIGN_OR_RETURN(std::string id, device_id(device.get()));
      out.push_back({std::move(id), friendly_name(device.get())});
    }
    return out;
  }

 private:
  ComPtr<IMMDeviceEnumerator> e_;
};

class WindowsSoundPlatform final : public SoundPlatform {
 public:
  ~WindowsSoundPlatform() override {
    if (joined_) CoUninitialize();
  }
  void join_apartment() override { joined_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)); }
  Result<std::unique_ptr<SoundDevices>> open_devices() override { return open_wasapi_devices(); }
  Result<std::unique_ptr<AacTransform>> find_aac_encoder() override { return find_aac_transform(); }
  Ticks now() override {
    return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch());
  }
  void sleep_for(Ticks wait) override { std::this_thread::sleep_for(wait); }

 private:
  bool joined_ = false;
};

}  // namespace

std::unique_ptr<CaptureStream> wasapi_capture_stream(ComPtr<IAudioClient> client,
                                                     ComPtr<IAudioCaptureClient> capture,
                                                     std::uint32_t block_align, std::uint32_t stream_flags) {
  return std::make_unique<WasapiStream>(std::move(client), std::move(capture), block_align,
                                        (stream_flags & kStreamLoopback) != 0);
}

Result<std::unique_ptr<SoundDevices>> open_wasapi_devices() {
  ComPtr<IMMDeviceEnumerator> e;
  ORVELLE_TRY(made(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, kAnyContext,
                                    __uuidof(IMMDeviceEnumerator), e.put_void()),
                   e));
  return std::unique_ptr<SoundDevices>(std::make_unique<WasapiDevices>(std::move(e)));
}

std::unique_ptr<SoundPlatform> windows_sound_platform() { return std::make_unique<WindowsSoundPlatform>(); }

int list_microphones_win() {
  // The list works in any apartment this thread may already be in.
  const bool joined = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  const int code = list_microphones(open_wasapi_devices);
  if (joined) CoUninitialize();
  return code;
}

}  // namespace orvelle::clips
