#pragma once
// The wait for a WinRT asynchronous operation, polled on the calling thread.

#include "common/try.h"
#include "common/win/com_ptr.h"
#include "common/win/error.h"

#include <asyncinfo.h>

#include <chrono>
#include <thread>

namespace orvelle::media {

// Every asynchronous call is polled, never given a completion handler: at
// most 3 s, every 4 ms; one still running then is cancelled. The status is
// looked at before the deadline, so one that finished by the last poll is taken.
template <typename Operation, typename Value>
Status wait_async(Operation* operation, Value* value) {
  win::ComPtr<IAsyncInfo> info;
  ORVELLE_TRY(win::checked(operation->QueryInterface(__uuidof(IAsyncInfo), info.put_void())));
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  for (;;) {
    AsyncStatus status = AsyncStatus::Started;
    ORVELLE_TRY(win::checked(info->get_Status(&status)));
    if (status != AsyncStatus::Started) return win::checked(operation->GetResults(value));
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(4));
  }
  (void)info->Cancel();
  return error(WinError{hresult::kAbort, {}});
}

}  // namespace orvelle::media
