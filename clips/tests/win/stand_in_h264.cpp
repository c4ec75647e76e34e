#include "win/stand_in_h264.h"

#include "common/win/media_foundation.h"

#include <mfapi.h>
#include <codecapi.h>
#include <mferror.h>

#include <cstdio>

namespace orvelle::clips::fake {
namespace {

using win::ComPtr;

using GetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE thread, PWSTR* description);

std::wstring calling_thread_name() {
  static const auto get = reinterpret_cast<GetThreadDescriptionFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription")));
  if (!get) return L"?";
  PWSTR name = nullptr;
  if (FAILED(get(GetCurrentThread(), &name)) || !name) return L"?";
  std::wstring out = name;
  LocalFree(name);
  return out;
}

// The offsets of every start code and its length.
struct StartCode {
  std::size_t at, length;
};
std::vector<StartCode> start_codes(const std::vector<std::uint8_t>& s) {
  std::vector<StartCode> codes;
  for (std::size_t i = 0; i + 3 <= s.size();) {
    if (s[i] == 0 && s[i + 1] == 0 && s[i + 2] == 1) {
      codes.push_back({i, 3});
      i += 3;
    } else if (i + 4 <= s.size() && s[i] == 0 && s[i + 1] == 0 && s[i + 2] == 0 && s[i + 3] == 1) {
      codes.push_back({i, 4});
      i += 4;
    } else {
      ++i;
    }
  }
  return codes;
}

}  // namespace

std::vector<AccessUnit> access_units(const std::vector<std::uint8_t>& stream) {
  std::vector<AccessUnit> units;
  std::size_t begin = 0;
  bool key = false;
  auto close_unit = [&](std::size_t end) {
    if (end > begin) units.push_back({{stream.begin() + begin, stream.begin() + end}, key});
    begin = end;
    key = false;
  };
  for (const StartCode& c : start_codes(stream)) {
    std::size_t nal = c.at + c.length;
    if (nal >= stream.size()) break;
    int type = stream[nal] & 0x1F;
    if (type == 9) close_unit(c.at);  // an access unit delimiter opens the next picture
    if (type == 5) key = true;
  }
  close_unit(stream.size());
  return units;
}

std::vector<std::vector<std::uint8_t>> nal_units(const std::vector<std::uint8_t>& stream) {
  std::vector<std::vector<std::uint8_t>> units;
  auto codes = start_codes(stream);
  for (std::size_t i = 0; i < codes.size(); ++i) {
    std::size_t begin = codes[i].at + codes[i].length;
    std::size_t end = i + 1 < codes.size() ? codes[i + 1].at : stream.size();
    if (end > begin) units.emplace_back(stream.begin() + begin, stream.begin() + end);
  }
  return units;
}

std::vector<std::uint8_t> read_file(const std::wstring& path) {
  std::vector<std::uint8_t> bytes;
  std::FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return bytes;
  std::uint8_t buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
    bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return bytes;
}

// --- CountingBuffer ---

HRESULT CountingBuffer::Lock(BYTE** data, DWORD* max, DWORD* current) {
  if (!data) return E_POINTER;
  ++locks_;
  *data = bytes_.data();
  if (max) *max = static_cast<DWORD>(bytes_.size());
  if (current) *current = static_cast<DWORD>(bytes_.size());
  return S_OK;
}
HRESULT CountingBuffer::Unlock() {
  ++unlocks_;
  return S_OK;
}
HRESULT CountingBuffer::GetCurrentLength(DWORD* length) {
  *length = static_cast<DWORD>(bytes_.size());
  return S_OK;
}
HRESULT CountingBuffer::SetCurrentLength(DWORD) { return E_NOTIMPL; }
HRESULT CountingBuffer::GetMaxLength(DWORD* length) { return GetCurrentLength(length); }

// --- StandInEncoder ---

StandInEncoder::StandInEncoder(std::vector<AccessUnit> pictures)
    : offered_inputs{MFVideoFormat_NV12, MFVideoFormat_ARGB32}, pictures_(std::move(pictures)) {
  MFCreateAttributes(attributes_.put(), 4);
}

void StandInEncoder::answer(bool answering) {
  {
    std::lock_guard lock(mutex_);
    answering_ = answering;
  }
  events_changed_.notify_all();
}

StandInEncoder::Record StandInEncoder::record() {
  std::lock_guard lock(mutex_);
  return record_;
}

void StandInEncoder::announce(MediaEventType type, HRESULT status) {
  ComPtr<IMFMediaEvent> event;
  if (SUCCEEDED(MFCreateMediaEvent(type, GUID_NULL, status, nullptr, event.put())))
    events_.push_back(std::move(event));
  events_changed_.notify_all();
}

HRESULT StandInEncoder::GetStreamLimits(DWORD* in_min, DWORD* in_max, DWORD* out_min,
                                        DWORD* out_max) {
  *in_min = *in_max = *out_min = *out_max = 1;
  return S_OK;
}
HRESULT StandInEncoder::GetStreamCount(DWORD* inputs, DWORD* outputs) {
  *inputs = *outputs = 1;
  return S_OK;
}
// Fixed streams numbered from 0, as the documentation allows.
HRESULT StandInEncoder::GetStreamIDs(DWORD, DWORD*, DWORD, DWORD*) { return E_NOTIMPL; }
HRESULT StandInEncoder::GetInputStreamInfo(DWORD, MFT_INPUT_STREAM_INFO* info) {
  *info = {};
  return S_OK;
}
HRESULT StandInEncoder::GetOutputStreamInfo(DWORD, MFT_OUTPUT_STREAM_INFO* info) {
  *info = {};
  info->dwFlags = MFT_OUTPUT_STREAM_PROVIDES_SAMPLES;
  return S_OK;
}
HRESULT StandInEncoder::GetAttributes(IMFAttributes** attributes) {
  *attributes = ComPtr<IMFAttributes>(attributes_).detach();
  return S_OK;
}
HRESULT StandInEncoder::GetInputStreamAttributes(DWORD, IMFAttributes**) { return E_NOTIMPL; }
HRESULT StandInEncoder::GetOutputStreamAttributes(DWORD, IMFAttributes**) { return E_NOTIMPL; }
HRESULT StandInEncoder::DeleteInputStream(DWORD) { return E_NOTIMPL; }
HRESULT StandInEncoder::AddInputStreams(DWORD, DWORD*) { return E_NOTIMPL; }

HRESULT StandInEncoder::GetInputAvailableType(DWORD stream, DWORD index, IMFMediaType** type) {
  if (stream != 0) return MF_E_INVALIDSTREAMNUMBER;
  if (index >= offered_inputs.size()) return MF_E_NO_MORE_TYPES;
  ComPtr<IMFMediaType> t;
  MFCreateMediaType(t.put());
  t->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Video);
  t->SetGUID(MF_MT_SUBTYPE, offered_inputs[index]);
  *type = t.detach();
  return S_OK;
}

HRESULT StandInEncoder::GetOutputAvailableType(DWORD stream, DWORD index, IMFMediaType** type) {
  std::lock_guard lock(mutex_);
  if (stream != 0) return MF_E_INVALIDSTREAMNUMBER;
  if (index != 0 || !record_.output_type) return MF_E_NO_MORE_TYPES;
  ComPtr<IMFMediaType> t;
  MFCreateMediaType(t.put());
  record_.output_type->CopyAllItems(t.get());
  *type = t.detach();
  return S_OK;
}

HRESULT StandInEncoder::SetInputType(DWORD stream, IMFMediaType* type, DWORD) {
  std::lock_guard lock(mutex_);
  if (stream != 0) return MF_E_INVALIDSTREAMNUMBER;
  if (!record_.output_type) return MF_E_TRANSFORM_TYPE_NOT_SET;  // an encoder wants its output first
  GUID subtype = GUID_NULL;
  type->GetGUID(MF_MT_SUBTYPE, &subtype);
  bool offered = false;
  for (const GUID& g : offered_inputs) offered = offered || g == subtype;
  if (!offered) return MF_E_INVALIDMEDIATYPE;
  record_.input_type = ComPtr<IMFMediaType>::share(type);
  return S_OK;
}

HRESULT StandInEncoder::SetOutputType(DWORD stream, IMFMediaType* type, DWORD) {
  std::lock_guard lock(mutex_);
  if (stream != 0) return MF_E_INVALIDSTREAMNUMBER;
  GUID subtype = GUID_NULL;
  type->GetGUID(MF_MT_SUBTYPE, &subtype);
  if (subtype != MFVideoFormat_H264) return MF_E_INVALIDMEDIATYPE;
  record_.output_type = ComPtr<IMFMediaType>::share(type);
  ++record_.output_types_set;
  // After a stream change the held picture is announced again.
  if (streaming_ && !pending_.empty()) announce(METransformHaveOutput);
  return S_OK;
}

HRESULT StandInEncoder::GetInputCurrentType(DWORD, IMFMediaType** type) {
  std::lock_guard lock(mutex_);
  if (!record_.input_type) return MF_E_TRANSFORM_TYPE_NOT_SET;
  *type = ComPtr<IMFMediaType>(record_.input_type).detach();
  return S_OK;
}
HRESULT StandInEncoder::GetOutputCurrentType(DWORD, IMFMediaType** type) {
  std::lock_guard lock(mutex_);
  if (!record_.output_type) return MF_E_TRANSFORM_TYPE_NOT_SET;
  *type = ComPtr<IMFMediaType>(record_.output_type).detach();
  return S_OK;
}
HRESULT StandInEncoder::GetInputStatus(DWORD, DWORD* flags) {
  *flags = MFT_INPUT_STATUS_ACCEPT_DATA;
  return S_OK;
}
HRESULT StandInEncoder::GetOutputStatus(DWORD*) { return E_NOTIMPL; }
HRESULT StandInEncoder::SetOutputBounds(LONGLONG, LONGLONG) { return E_NOTIMPL; }
HRESULT StandInEncoder::ProcessEvent(DWORD, IMFMediaEvent*) { return E_NOTIMPL; }

HRESULT StandInEncoder::ProcessMessage(MFT_MESSAGE_TYPE message, ULONG_PTR param) {
  std::lock_guard lock(mutex_);
  if (record_.shut_down) return MF_E_SHUTDOWN;
  switch (message) {
    case MFT_MESSAGE_SET_D3D_MANAGER:
      record_.messages.push_back("set d3d manager");
      record_.d3d_manager = param;
      return S_OK;
    case MFT_MESSAGE_COMMAND_FLUSH:
      record_.messages.push_back("flush");
      pending_.clear();
      return S_OK;
    case MFT_MESSAGE_NOTIFY_BEGIN_STREAMING:
      record_.messages.push_back("begin streaming");
      return S_OK;
    case MFT_MESSAGE_NOTIFY_START_OF_STREAM: {
      record_.messages.push_back("start of stream");
      UINT32 unlocked = 0;
      record_.unlocked =
          SUCCEEDED(attributes_->GetUINT32(MF_TRANSFORM_ASYNC_UNLOCK, &unlocked)) && unlocked;
      if (!record_.unlocked) return MF_E_TRANSFORM_ASYNC_LOCKED;
      streaming_ = true;
      stream_change_pending_ = stream_change_first;
      announce(METransformNeedInput);
      return S_OK;
    }
    case MFT_MESSAGE_COMMAND_DRAIN:
      record_.messages.push_back("drain");
      draining_ = true;
      for (std::size_t i = 0; i < pending_.size(); ++i) announce(METransformHaveOutput);
      if (pending_.empty()) announce(METransformDrainComplete);
      return S_OK;
    default:
      record_.messages.push_back("message " + std::to_string(message));
      return S_OK;
  }
}

HRESULT StandInEncoder::ProcessInput(DWORD stream, IMFSample* sample, DWORD) {
  std::lock_guard lock(mutex_);
  if (record_.shut_down) return MF_E_SHUTDOWN;
  if (!streaming_) return MF_E_TRANSFORM_ASYNC_LOCKED;
  if (stream != 0) return MF_E_INVALIDSTREAMNUMBER;
  if (draining_) return MF_E_NOTACCEPTING;
  Input input;
  ComPtr<IMFMediaBuffer> buffer;
  if (FAILED(sample->GetBufferByIndex(0, buffer.put())) || !buffer) return E_INVALIDARG;
  ComPtr<IMFDXGIBuffer> dxgi;
  ComPtr<ID3D11Texture2D> texture;
  if (SUCCEEDED(buffer.as(dxgi)) &&
      SUCCEEDED(dxgi->GetResource(__uuidof(ID3D11Texture2D), texture.put_void())) && texture) {
    input.on_gpu = true;
    input.texture_object = texture.get();
    texture->GetDesc(&input.texture);
  } else {
    input.system_memory = true;
  }
  sample->GetSampleTime(&input.time);
  sample->GetSampleDuration(&input.duration);
  record_.inputs.push_back(input);
  if (next_picture_ < pictures_.size()) {
    pending_.push_back({input.time, input.duration});
    announce(METransformHaveOutput);
  }
  announce(METransformNeedInput);
  return S_OK;
}

HRESULT StandInEncoder::ProcessOutput(DWORD, DWORD count, MFT_OUTPUT_DATA_BUFFER* buffers,
                                      DWORD* status) {
  std::lock_guard lock(mutex_);
  if (record_.shut_down) return MF_E_SHUTDOWN;
  if (count != 1 || !buffers || buffers->dwStreamID != 0 || buffers->pSample) return E_INVALIDARG;
  *status = 0;
  if (stream_change_pending_ && !pending_.empty()) {
    stream_change_pending_ = false;
    buffers->dwStatus = MFT_OUTPUT_DATA_BUFFER_FORMAT_CHANGE;
    return MF_E_TRANSFORM_STREAM_CHANGE;
  }
  if (pending_.empty()) return MF_E_TRANSFORM_NEED_MORE_INPUT;
  Pending p = pending_.front();
  pending_.pop_front();
  const AccessUnit& unit = pictures_[next_picture_++];
  auto buffer = win::make_com<CountingBuffer>(unit.bytes);
  ComPtr<IMFSample> sample;
  MFCreateSample(sample.put());
  sample->AddBuffer(buffer.get());
  sample->SetSampleTime(p.time);
  sample->SetSampleDuration(p.duration);
  if (unit.key) sample->SetUINT32(MFSampleExtension_CleanPoint, TRUE);
  record_.outputs.push_back(buffer);
  buffers->pSample = sample.detach();
  if (draining_ && pending_.empty()) announce(METransformDrainComplete);
  return S_OK;
}

HRESULT StandInEncoder::GetEvent(DWORD, IMFMediaEvent** event) {
  std::unique_lock lock(mutex_);
  record_.event_threads.push_back(calling_thread_name());
  events_changed_.wait(lock, [&] {
    return (answering_ && !events_.empty()) || (record_.shut_down && !ignore_shut_down);
  });
  if (record_.shut_down) return MF_E_SHUTDOWN;
  *event = events_.front().detach();
  events_.pop_front();
  return S_OK;
}
HRESULT StandInEncoder::BeginGetEvent(IMFAsyncCallback*, IUnknown*) { return E_NOTIMPL; }
HRESULT StandInEncoder::EndGetEvent(IMFAsyncResult*, IMFMediaEvent**) { return E_NOTIMPL; }
HRESULT StandInEncoder::QueueEvent(MediaEventType type, REFGUID, HRESULT status,
                                   const PROPVARIANT*) {
  std::lock_guard lock(mutex_);
  announce(type, status);
  return S_OK;
}

HRESULT StandInEncoder::Shutdown() {
  {
    std::lock_guard lock(mutex_);
    record_.shut_down = true;
    events_.clear();
  }
  events_changed_.notify_all();
  return S_OK;
}
HRESULT StandInEncoder::GetShutdownStatus(MFSHUTDOWN_STATUS* status) {
  std::lock_guard lock(mutex_);
  if (!record_.shut_down) return MF_E_INVALIDREQUEST;
  *status = MFSHUTDOWN_COMPLETED;
  return S_OK;
}

HRESULT StandInEncoder::IsSupported(const GUID*) { return S_OK; }
HRESULT StandInEncoder::IsModifiable(const GUID*) { return S_OK; }
HRESULT StandInEncoder::GetParameterRange(const GUID*, VARIANT*, VARIANT*, VARIANT*) { return E_NOTIMPL; }
HRESULT StandInEncoder::GetParameterValues(const GUID*, VARIANT**, ULONG*) { return E_NOTIMPL; }
HRESULT StandInEncoder::GetDefaultValue(const GUID*, VARIANT*) { return E_NOTIMPL; }
HRESULT StandInEncoder::GetValue(const GUID*, VARIANT*) { return E_NOTIMPL; }
HRESULT StandInEncoder::SetValue(const GUID* api, VARIANT* value) {
  std::lock_guard lock(mutex_);
  ULONG v = value->vt == VT_BOOL ? static_cast<ULONG>(value->boolVal == VARIANT_TRUE) : value->ulVal;
  record_.codec.push_back({*api, value->vt, v});
  // An encoder may refuse a setting; the capture goes on without it.
  return *api == CODECAPI_AVEncCommonQualityVsSpeed ? E_NOTIMPL : S_OK;
}
HRESULT StandInEncoder::RegisterForEvent(const GUID*, LONG_PTR) { return E_NOTIMPL; }
HRESULT StandInEncoder::UnregisterForEvent(const GUID*) { return E_NOTIMPL; }
HRESULT StandInEncoder::SetAllDefaults() { return E_NOTIMPL; }
HRESULT StandInEncoder::SetValueWithNotify(const GUID*, VARIANT*, GUID**, ULONG*) { return E_NOTIMPL; }
HRESULT StandInEncoder::SetAllDefaultsWithNotify(GUID**, ULONG*) { return E_NOTIMPL; }
HRESULT StandInEncoder::GetAllSettings(IStream*) { return E_NOTIMPL; }
HRESULT StandInEncoder::SetAllSettings(IStream*) { return E_NOTIMPL; }
HRESULT StandInEncoder::SetAllSettingsWithNotify(IStream*, GUID**, ULONG*) { return E_NOTIMPL; }

// --- StandInActivate ---

StandInActivate::StandInActivate(ComPtr<StandInEncoder> encoder, const wchar_t* friendly_name,
                                 const wchar_t* vendor)
    : encoder_(std::move(encoder)) {
  MFCreateAttributes(a_.put(), 4);
  if (friendly_name) a_->SetString(MFT_FRIENDLY_NAME_Attribute, friendly_name);
  if (vendor) a_->SetString(win::kHardwareVendorIdAttribute, vendor);
}

HRESULT StandInActivate::ActivateObject(REFIID iid, void** object) {
  ++activations;
  return encoder_->QueryInterface(iid, object);
}
HRESULT StandInActivate::ShutdownObject() {
  ++shutdowns;
  return encoder_->Shutdown();
}
HRESULT StandInActivate::DetachObject() { return E_NOTIMPL; }

}  // namespace orvelle::clips::fake
