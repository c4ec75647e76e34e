#include "bridge/volume_win.h"

#include "common/try.h"
#include "common/utf.h"
#include "common/win/checked.h"
#include "common/win/owner.h"

#include <audioclient.h>
#include <audiopolicy.h>
#include <mmdeviceapi.h>
#include <windows.h>

namespace orvelle::media {
namespace {

using win::ComPtr;

// kernel32's GetApplicationUserModelId, found at run time: older systems and
// Wine lack it, and a process then simply has no app id.
using GetAppIdFunction = LONG(WINAPI*)(HANDLE process, UINT32* length, PWSTR id);

GetAppIdFunction get_app_id_function() {
  static GetAppIdFunction f = [] {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<GetAppIdFunction>(
                        reinterpret_cast<void*>(GetProcAddress(kernel, "GetApplicationUserModelId")))
                  : nullptr;
  }();
  return f;
}

std::string text_of(const wchar_t* p, std::size_t n) {
  return utf16_to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(p), n));
}

class WinAudioSession final : public AudioSession {
 public:
  WinAudioSession(ComPtr<IAudioSessionControl2> control, DWORD pid)
      : control_(std::move(control)), pid_(pid) {}

  std::uint32_t process_id() override { return pid_; }

  std::optional<ProcessIdentity> identity() override { return process_identity(pid_); }

  bool has_volume() override {
    return SUCCEEDED(control_->QueryInterface(__uuidof(ISimpleAudioVolume), volume_.put_void())) && volume_;
  }
  std::optional<float> level() override {
    float v = 0;
    if (!volume_ || FAILED(volume_->GetMasterVolume(&v))) return std::nullopt;
    return v;
  }
  Status set_level(float level) override { return win::checked(volume_->SetMasterVolume(level, nullptr)); }
  Status unmute() override { return win::checked(volume_->SetMute(FALSE, nullptr)); }

 private:
  ComPtr<IAudioSessionControl2> control_;
  ComPtr<ISimpleAudioVolume> volume_;
  DWORD pid_;
};

// A device's sessions; a device that cannot be read gives none.
void sessions_of(IMMDevice* device, std::vector<std::unique_ptr<AudioSession>>& out) {
  ComPtr<IAudioSessionManager2> manager;
  ComPtr<IAudioSessionEnumerator> list;
  if (FAILED(device->Activate(__uuidof(IAudioSessionManager2), CLSCTX_ALL, nullptr, manager.put_void())) ||
      !manager || FAILED(manager->GetSessionEnumerator(list.put())) || !list)
    return;
  int count = 0;
  if (FAILED(list->GetCount(&count))) count = 0;
  for (int i = 0; i < count; ++i) {
    ComPtr<IAudioSessionControl> control;
    ComPtr<IAudioSessionControl2> control2;
    DWORD pid = 0;
    if (FAILED(list->GetSession(i, control.put())) || !control ||
        FAILED(control.as(control2)) || !control2 || FAILED(control2->GetProcessId(&pid)))
      continue;
    out.push_back(std::make_unique<WinAudioSession>(std::move(control2), pid));
  }
}

}  // namespace

std::optional<ProcessIdentity> process_identity(std::uint32_t pid) {
  win::Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process.get()) return std::nullopt;
  ProcessIdentity who;
  wchar_t buffer[1024];
  if (GetAppIdFunction get_id = get_app_id_function()) {
    UINT32 length = 1024;
    // The length counts the terminating zero.
    if (get_id(process.get(), &length, buffer) == ERROR_SUCCESS && length > 0)
      who.app_id = text_of(buffer, length - 1);
  }
  DWORD size = 1024;
  if (QueryFullProcessImageNameW(process.get(), 0, buffer, &size)) who.image_path = text_of(buffer, size);
  return who;
}

Result<std::vector<std::unique_ptr<AudioSession>>> audio_sessions_win() {
  ComPtr<IMMDeviceEnumerator> enumerator;
  ORVELLE_TRY(win::made(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                         __uuidof(IMMDeviceEnumerator), enumerator.put_void()),
                        enumerator));
  ComPtr<IMMDeviceCollection> devices;
  ORVELLE_TRY(win::made(enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, devices.put()), devices));
  UINT count = 0;
  ORVELLE_TRY(win::checked(devices->GetCount(&count)));
  std::vector<std::unique_ptr<AudioSession>> out;
  for (UINT i = 0; i < count; ++i) {
    ComPtr<IMMDevice> device;
    if (SUCCEEDED(devices->Item(i, device.put())) && device) sessions_of(device.get(), out);
  }
  return out;
}

}  // namespace orvelle::media
