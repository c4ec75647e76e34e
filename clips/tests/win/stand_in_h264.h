#pragma once
// A stand-in for a hardware H.264 encoder: an asynchronous Media Foundation
// transform of our own, written from the documented protocol. It asks for
// input with METransformNeedInput, announces each picture with
// METransformHaveOutput, provides its own output samples, can ask once for
// a new output type (MF_E_TRANSFORM_STREAM_CHANGE), drains on
// MFT_MESSAGE_COMMAND_DRAIN, and ends its event queue on IMFShutdown. Its
// pictures are the access units of a real H.264 stream, in order, each
// timed like the input that produced it. It records what it is told, and
// can be made to stop answering.

#include "common/win/com_ptr.h"
#include "common/win/media_foundation.h"
#include "common/win/com_object.h"

#include <d3d11.h>
#include <mfidl.h>
#include <mftransform.h>
#include <strmif.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace orvelle::clips::fake {

struct AccessUnit {
  std::vector<std::uint8_t> bytes;
  bool key = false;  // holds an IDR picture
};

// An Annex B stream cut at its access unit delimiters.
std::vector<AccessUnit> access_units(const std::vector<std::uint8_t>& stream);
// The NAL units of an Annex B stream, without their start codes.
std::vector<std::vector<std::uint8_t>> nal_units(const std::vector<std::uint8_t>& stream);
std::vector<std::uint8_t> read_file(const std::wstring& path);

// An output buffer that counts how often its bytes are read.
class CountingBuffer final : public win::ComObject<IMFMediaBuffer> {
 public:
  explicit CountingBuffer(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  HRESULT STDMETHODCALLTYPE Lock(BYTE** data, DWORD* max, DWORD* current) override;
  HRESULT STDMETHODCALLTYPE Unlock() override;
  HRESULT STDMETHODCALLTYPE GetCurrentLength(DWORD* length) override;
  HRESULT STDMETHODCALLTYPE SetCurrentLength(DWORD length) override;
  HRESULT STDMETHODCALLTYPE GetMaxLength(DWORD* length) override;

  const std::uint8_t* data() const { return bytes_.data(); }
  int locks() const { return locks_; }
  int unlocks() const { return unlocks_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::atomic<int> locks_{0}, unlocks_{0};
};

class StandInEncoder final
    : public win::ComObject<IMFTransform, IMFMediaEventGenerator, IMFShutdown, ICodecAPI> {
 public:
  explicit StandInEncoder(std::vector<AccessUnit> pictures);

  // --- What the test sets ---
  std::vector<GUID> offered_inputs;  // default NV12, then ARGB32
  bool stream_change_first = false;  // the first output asks for a new output type
  // Stops announcing events (they queue up); with ignore_shut_down even a
  // shut down is not answered, like a transform stuck in its driver.
  void answer(bool answering);
  bool ignore_shut_down = false;

  // --- What it was told ---
  struct Input {
    bool on_gpu = false;                 // a DXGI surface buffer
    bool system_memory = false;          // a buffer in system memory
    D3D11_TEXTURE2D_DESC texture = {};   // the surface's texture
    ID3D11Texture2D* texture_object = nullptr;
    LONGLONG time = 0, duration = 0;
  };
  struct CodecSetting {
    GUID api;
    VARTYPE type;
    ULONG value;
  };
  struct Record {
    std::vector<std::string> messages;  // "set d3d manager", "flush", ...
    ULONG_PTR d3d_manager = 0;
    bool unlocked = false;  // MF_TRANSFORM_ASYNC_UNLOCK was set before streaming
    win::ComPtr<IMFMediaType> output_type, input_type;
    int output_types_set = 0;
    std::vector<CodecSetting> codec;
    std::vector<Input> inputs;
    std::vector<win::ComPtr<CountingBuffer>> outputs;  // every buffer handed out
    std::vector<std::wstring> event_threads;  // the name of each GetEvent caller
    bool shut_down = false;
  };
  Record record();

  // IMFTransform
  HRESULT STDMETHODCALLTYPE GetStreamLimits(DWORD*, DWORD*, DWORD*, DWORD*) override;
  HRESULT STDMETHODCALLTYPE GetStreamCount(DWORD*, DWORD*) override;
  HRESULT STDMETHODCALLTYPE GetStreamIDs(DWORD, DWORD*, DWORD, DWORD*) override;
  HRESULT STDMETHODCALLTYPE GetInputStreamInfo(DWORD, MFT_INPUT_STREAM_INFO*) override;
  HRESULT STDMETHODCALLTYPE GetOutputStreamInfo(DWORD, MFT_OUTPUT_STREAM_INFO*) override;
  HRESULT STDMETHODCALLTYPE GetAttributes(IMFAttributes**) override;
  HRESULT STDMETHODCALLTYPE GetInputStreamAttributes(DWORD, IMFAttributes**) override;
  HRESULT STDMETHODCALLTYPE GetOutputStreamAttributes(DWORD, IMFAttributes**) override;
  HRESULT STDMETHODCALLTYPE DeleteInputStream(DWORD) override;
  HRESULT STDMETHODCALLTYPE AddInputStreams(DWORD, DWORD*) override;
  HRESULT STDMETHODCALLTYPE GetInputAvailableType(DWORD, DWORD, IMFMediaType**) override;
  HRESULT STDMETHODCALLTYPE GetOutputAvailableType(DWORD, DWORD, IMFMediaType**) override;
  HRESULT STDMETHODCALLTYPE SetInputType(DWORD, IMFMediaType*, DWORD) override;
  HRESULT STDMETHODCALLTYPE SetOutputType(DWORD, IMFMediaType*, DWORD) override;
  HRESULT STDMETHODCALLTYPE GetInputCurrentType(DWORD, IMFMediaType**) override;
  HRESULT STDMETHODCALLTYPE GetOutputCurrentType(DWORD, IMFMediaType**) override;
  HRESULT STDMETHODCALLTYPE GetInputStatus(DWORD, DWORD*) override;
  HRESULT STDMETHODCALLTYPE GetOutputStatus(DWORD*) override;
  HRESULT STDMETHODCALLTYPE SetOutputBounds(LONGLONG, LONGLONG) override;
  HRESULT STDMETHODCALLTYPE ProcessEvent(DWORD, IMFMediaEvent*) override;
  HRESULT STDMETHODCALLTYPE ProcessMessage(MFT_MESSAGE_TYPE, ULONG_PTR) override;
  HRESULT STDMETHODCALLTYPE ProcessInput(DWORD, IMFSample*, DWORD) override;
  HRESULT STDMETHODCALLTYPE ProcessOutput(DWORD, DWORD, MFT_OUTPUT_DATA_BUFFER*, DWORD*) override;
  // IMFMediaEventGenerator
  HRESULT STDMETHODCALLTYPE GetEvent(DWORD, IMFMediaEvent**) override;
  HRESULT STDMETHODCALLTYPE BeginGetEvent(IMFAsyncCallback*, IUnknown*) override;
  HRESULT STDMETHODCALLTYPE EndGetEvent(IMFAsyncResult*, IMFMediaEvent**) override;
  HRESULT STDMETHODCALLTYPE QueueEvent(MediaEventType, REFGUID, HRESULT, const PROPVARIANT*) override;
  // IMFShutdown
  HRESULT STDMETHODCALLTYPE Shutdown() override;
  HRESULT STDMETHODCALLTYPE GetShutdownStatus(MFSHUTDOWN_STATUS*) override;
  // ICodecAPI: only SetValue does anything.
  HRESULT WINAPI IsSupported(const GUID*) override;
  HRESULT WINAPI IsModifiable(const GUID*) override;
  HRESULT WINAPI GetParameterRange(const GUID*, VARIANT*, VARIANT*, VARIANT*) override;
  HRESULT WINAPI GetParameterValues(const GUID*, VARIANT**, ULONG*) override;
  HRESULT WINAPI GetDefaultValue(const GUID*, VARIANT*) override;
  HRESULT WINAPI GetValue(const GUID*, VARIANT*) override;
  HRESULT WINAPI SetValue(const GUID*, VARIANT*) override;
  HRESULT WINAPI RegisterForEvent(const GUID*, LONG_PTR) override;
  HRESULT WINAPI UnregisterForEvent(const GUID*) override;
  HRESULT WINAPI SetAllDefaults() override;
  HRESULT WINAPI SetValueWithNotify(const GUID*, VARIANT*, GUID**, ULONG*) override;
  HRESULT WINAPI SetAllDefaultsWithNotify(GUID**, ULONG*) override;
  HRESULT WINAPI GetAllSettings(IStream*) override;
  HRESULT WINAPI SetAllSettings(IStream*) override;
  HRESULT WINAPI SetAllSettingsWithNotify(IStream*, GUID**, ULONG*) override;

 private:
  void announce(MediaEventType type, HRESULT status = S_OK);  // with mutex_ held

  std::mutex mutex_;
  std::condition_variable events_changed_;
  std::deque<win::ComPtr<IMFMediaEvent>> events_;
  bool answering_ = true;
  bool streaming_ = false, draining_ = false;
  bool stream_change_pending_ = false;
  std::vector<AccessUnit> pictures_;
  std::size_t next_picture_ = 0;
  struct Pending {
    LONGLONG time, duration;
  };
  std::deque<Pending> pending_;
  win::ComPtr<IMFAttributes> attributes_;
  Record record_;
};

// An activation object for the stand-in, with the attributes a listed
// hardware encoder carries (friendly name, vendor).
class StandInActivate final : public win::ComObject<IMFActivate> {
 public:
  StandInActivate(win::ComPtr<StandInEncoder> encoder, const wchar_t* friendly_name,
                  const wchar_t* vendor);
  int activations = 0, shutdowns = 0;

  HRESULT STDMETHODCALLTYPE ActivateObject(REFIID, void**) override;
  HRESULT STDMETHODCALLTYPE ShutdownObject() override;
  HRESULT STDMETHODCALLTYPE DetachObject() override;
  // IMFAttributes: the store of a real attribute object.
  HRESULT STDMETHODCALLTYPE GetItem(REFGUID k, PROPVARIANT* v) override { return a_->GetItem(k, v); }
  HRESULT STDMETHODCALLTYPE GetItemType(REFGUID k, MF_ATTRIBUTE_TYPE* t) override { return a_->GetItemType(k, t); }
  HRESULT STDMETHODCALLTYPE CompareItem(REFGUID k, REFPROPVARIANT v, WINBOOL* r) override { return a_->CompareItem(k, v, r); }
  HRESULT STDMETHODCALLTYPE Compare(IMFAttributes* o, MF_ATTRIBUTES_MATCH_TYPE m, WINBOOL* r) override { return a_->Compare(o, m, r); }
  HRESULT STDMETHODCALLTYPE GetUINT32(REFGUID k, UINT32* v) override { return a_->GetUINT32(k, v); }
  HRESULT STDMETHODCALLTYPE GetUINT64(REFGUID k, UINT64* v) override { return a_->GetUINT64(k, v); }
  HRESULT STDMETHODCALLTYPE GetDouble(REFGUID k, double* v) override { return a_->GetDouble(k, v); }
  HRESULT STDMETHODCALLTYPE GetGUID(REFGUID k, GUID* v) override { return a_->GetGUID(k, v); }
  HRESULT STDMETHODCALLTYPE GetStringLength(REFGUID k, UINT32* n) override { return a_->GetStringLength(k, n); }
  HRESULT STDMETHODCALLTYPE GetString(REFGUID k, LPWSTR v, UINT32 size, UINT32* n) override { return a_->GetString(k, v, size, n); }
  HRESULT STDMETHODCALLTYPE GetAllocatedString(REFGUID k, LPWSTR* v, UINT32* n) override { return a_->GetAllocatedString(k, v, n); }
  HRESULT STDMETHODCALLTYPE GetBlobSize(REFGUID k, UINT32* n) override { return a_->GetBlobSize(k, n); }
  HRESULT STDMETHODCALLTYPE GetBlob(REFGUID k, UINT8* b, UINT32 size, UINT32* n) override { return a_->GetBlob(k, b, size, n); }
  HRESULT STDMETHODCALLTYPE GetAllocatedBlob(REFGUID k, UINT8** b, UINT32* n) override { return a_->GetAllocatedBlob(k, b, n); }
  HRESULT STDMETHODCALLTYPE GetUnknown(REFGUID k, REFIID i, LPVOID* p) override { return a_->GetUnknown(k, i, p); }
  HRESULT STDMETHODCALLTYPE SetItem(REFGUID k, REFPROPVARIANT v) override { return a_->SetItem(k, v); }
  HRESULT STDMETHODCALLTYPE DeleteItem(REFGUID k) override { return a_->DeleteItem(k); }
  HRESULT STDMETHODCALLTYPE DeleteAllItems() override { return a_->DeleteAllItems(); }
  HRESULT STDMETHODCALLTYPE SetUINT32(REFGUID k, UINT32 v) override { return a_->SetUINT32(k, v); }
  HRESULT STDMETHODCALLTYPE SetUINT64(REFGUID k, UINT64 v) override { return a_->SetUINT64(k, v); }
  HRESULT STDMETHODCALLTYPE SetDouble(REFGUID k, double v) override { return a_->SetDouble(k, v); }
  HRESULT STDMETHODCALLTYPE SetGUID(REFGUID k, REFGUID v) override { return a_->SetGUID(k, v); }
  HRESULT STDMETHODCALLTYPE SetString(REFGUID k, LPCWSTR v) override { return a_->SetString(k, v); }
  HRESULT STDMETHODCALLTYPE SetBlob(REFGUID k, const UINT8* b, UINT32 n) override { return a_->SetBlob(k, b, n); }
  HRESULT STDMETHODCALLTYPE SetUnknown(REFGUID k, IUnknown* u) override { return a_->SetUnknown(k, u); }
  HRESULT STDMETHODCALLTYPE LockStore() override { return a_->LockStore(); }
  HRESULT STDMETHODCALLTYPE UnlockStore() override { return a_->UnlockStore(); }
  HRESULT STDMETHODCALLTYPE GetCount(UINT32* n) override { return a_->GetCount(n); }
  HRESULT STDMETHODCALLTYPE GetItemByIndex(UINT32 i, GUID* k, PROPVARIANT* v) override { return a_->GetItemByIndex(i, k, v); }
  HRESULT STDMETHODCALLTYPE CopyAllItems(IMFAttributes* to) override { return a_->CopyAllItems(to); }

 private:
  win::ComPtr<StandInEncoder> encoder_;
  win::ComPtr<IMFAttributes> a_;
};

}  // namespace orvelle::clips::fake
