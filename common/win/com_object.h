#pragma once
// The body of every COM object the programs and their tests implement:
// reference counting, and QueryInterface over the interfaces it lists (the
// first answers for IUnknown). The IInspectable methods answer E_NOTIMPL for
// the WinRT interfaces among them.

#include "common/win/com_ptr.h"

#include <inspectable.h>

#include <atomic>
#include <tuple>
#include <utility>

namespace orvelle::win {

template <typename... Interfaces>
class ComObject : public Interfaces... {
  using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;

 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == __uuidof(IUnknown)) *object = static_cast<First*>(this);
    (offer<Interfaces>(iid, object) || ...);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetIids(ULONG*, IID**) { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING*) { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel*) { return E_NOTIMPL; }

  ULONG references() const { return references_; }

 protected:
  virtual ~ComObject() = default;

 private:
  template <typename I>
  bool offer(REFIID iid, void** object) {
    if (iid != __uuidof(I)) return false;
    *object = static_cast<I*>(this);
    return true;
  }

  std::atomic<ULONG> references_{1};
};

// A new object, its first reference held by the returned pointer.
template <typename T, typename... Args>
ComPtr<T> make_com(Args&&... args) {
  return ComPtr<T>::attach(new T(std::forward<Args>(args)...));
}

}  // namespace orvelle::win
