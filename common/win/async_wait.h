#pragma once
// Waiting for a WinRT asynchronous operation from a thread that may block:
// a completion handler of our own (agile, so the platform may call it from
// any thread) sets an event the caller waits on.

#include "common/win/com_object.h"
#include "common/win/com_ptr.h"
#include "common/win/owner.h"

#include <asyncinfo.h>
#include <objidl.h>
#include <windows.h>

#include <type_traits>

namespace orvelle::win {

template <typename Operation, typename Handler>
class CompletionEvent final : public ComObject<Handler, IAgileObject> {
 public:
  CompletionEvent() : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  HANDLE event() const { return done_.get(); }

  HRESULT STDMETHODCALLTYPE Invoke(Operation*, AsyncStatus) override {
    SetEvent(done_.get());
    return S_OK;
  }

 private:
  Handle done_;
};

// Waits at most timeout_ms for operation to complete, whatever its outcome.
// False when it did not complete in time or no handler could be set.
template <typename Operation, typename Handler>
bool wait_for_completion(std::type_identity_t<Operation>* operation, DWORD timeout_ms) {
  auto completion = make_com<CompletionEvent<Operation, Handler>>();
  if (!completion->event() || FAILED(operation->put_Completed(completion.get()))) return false;
  return WaitForSingleObject(completion->event(), timeout_ms) == WAIT_OBJECT_0;
}

}  // namespace orvelle::win
