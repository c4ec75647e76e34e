// Waiting for a WinRT operation through a completion handler of our own,
// on an operation that completes on another thread, or never.

#include "common/win/async_wait.h"
#include "common/win/capture.h"

#include <gtest/gtest.h>

#include <thread>

namespace orvelle::win {
namespace {

class Operation final : public IAccessStatusOperation {
 public:
  HRESULT put_result = S_OK;
  bool completes = true;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetIids(ULONG*, IID**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Completed(IAccessStatusCompletedHandler* handler) override {
    if (FAILED(put_result)) return put_result;
    held = ComPtr<IAccessStatusCompletedHandler>::share(handler);
    if (completes)
      finisher = std::thread([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        held->Invoke(this, AsyncStatus::Completed);
      });
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Completed(IAccessStatusCompletedHandler**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetResults(AppCapabilityAccessStatus*) override { return E_NOTIMPL; }

  ~Operation() {
    if (finisher.joinable()) finisher.join();
  }
  ComPtr<IAccessStatusCompletedHandler> held;
  std::thread finisher;
};

bool wait(IAccessStatusOperation* operation, DWORD timeout_ms) {
  return wait_for_completion<IAccessStatusOperation, IAccessStatusCompletedHandler>(operation,
                                                                                   timeout_ms);
}

TEST(AsyncWait, WaitsForCompletionOnAnotherThreadWithinItsLimit) {
  Operation done;
  EXPECT_TRUE(wait(&done, 10'000));
  ComPtr<IAgileObject> agile;
  EXPECT_EQ(done.held.as(agile), S_OK) << "the platform may call it from any thread";

  Operation never;
  never.completes = false;
  EXPECT_FALSE(wait(&never, 50));

  Operation refused;
  refused.put_result = E_FAIL;
  EXPECT_FALSE(wait(&refused, 10'000));
}

}  // namespace
}  // namespace orvelle::win
