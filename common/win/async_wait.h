#pragma once
// Waiting for a WinRT asynchronous operation from a thread that may block:
// a completion handler of our own (agile, so the platform may call it from
// any thread) sets an event the caller waits on.

#include "common/win/com_ptr.h"
#include "common/win/owner.h"

#include <asyncinfo.h>
#include <objidl.h>
#include <windows.h>

#include <atomic>
#include <type_traits>

namespace orvelle::win {

template <typename Operation, typename Handler>
class CompletionEvent final : public Handler, public IAgileObject {
 public:
  static ComPtr<CompletionEvent> make() {
    return ComPtr<CompletionEvent>::attach(new CompletionEvent());
  }
  HANDLE event() const { return done_.get(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(Handler)) {
      *object = static_cast<Handler*>(this);
    } else if (iid == __uuidof(IAgileObject)) {
      *object = static_cast<IAgileObject*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE Invoke(Operation*, AsyncStatus) override {
    SetEvent(done_.get());
    return S_OK;
  }

 private:
  CompletionEvent() : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~CompletionEvent() = default;

  std::atomic<ULONG> references_{1};
  Handle done_;
};

// Waits at most timeout_ms for operation to complete, whatever its outcome.
// False when it did not complete in time or no handler could be set.
template <typename Operation, typename Handler>
bool wait_for_completion(std::type_identity_t<Operation>* operation, DWORD timeout_ms) {
  auto completion = CompletionEvent<Operation, Handler>::make();
  if (!completion->event() || FAILED(operation->put_Completed(completion.get()))) return false;
  return WaitForSingleObject(completion->event(), timeout_ms) == WAIT_OBJECT_0;
}

}  // namespace orvelle::win
