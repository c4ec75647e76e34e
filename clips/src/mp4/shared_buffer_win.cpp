#include "mp4/shared_buffer_win.h"

#include <atomic>

namespace orvelle::clips {
namespace {

// The sink writer calls it from its own work queue threads; the bytes are
// immutable, so Lock needs no lock.
class SharedBytesBuffer final : public IMFMediaBuffer {
 public:
  SharedBytesBuffer(PacketData data, DWORD length)
      : data_(std::move(data)), max_(length), current_(length) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IMFMediaBuffer)) {
      AddRef();
      *out = static_cast<IMFMediaBuffer*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE Lock(BYTE** buffer, DWORD* max_length, DWORD* current_length) override {
    if (!buffer) return E_POINTER;
    // The interface hands out a writable pointer; readers of a finished
    // sample never write through it.
    *buffer = const_cast<BYTE*>(data_.get());
    if (max_length) *max_length = max_;
    if (current_length) *current_length = current_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unlock() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetCurrentLength(DWORD* length) override {
    if (!length) return E_POINTER;
    *length = current_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetCurrentLength(DWORD length) override {
    if (length > max_) return E_INVALIDARG;
    current_ = length;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMaxLength(DWORD* length) override {
    if (!length) return E_POINTER;
    *length = max_;
    return S_OK;
  }

 private:
  ~SharedBytesBuffer() = default;

  std::atomic<ULONG> references_{1};
  PacketData data_;
  const DWORD max_;
  std::atomic<DWORD> current_;
};

}  // namespace

win::ComPtr<IMFMediaBuffer> shared_bytes_buffer(PacketData data, std::uint64_t length) {
  return win::ComPtr<IMFMediaBuffer>::attach(
      new SharedBytesBuffer(std::move(data), static_cast<DWORD>(length)));
}

}  // namespace orvelle::clips
