// The Windows halves Wine can run: the polled wait for an asynchronous
// operation, and the agile event delegate, each against a COM fake of our own
// written from the documented behaviour.

#include "bridge/event_handler_win.h"
#include "bridge/volume.h"
#include "bridge/volume_win.h"
#include "bridge/wait_async_win.h"
#include "common/win/media_control.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace orvelle::media {
namespace {

using namespace std::chrono_literals;

// An IAsyncOperation<Boolean> that finishes after a number of status queries
// (never, when negative).
class FakeBoolOperation final : public win::ComObject<win::IBoolOperation, IAsyncInfo> {
 public:
  FakeBoolOperation(int polls, AsyncStatus end, HRESULT results, boolean value)
      : polls_(polls), end_(end), results_(results), value_(value) {}
  int cancels = 0, queries = 0;

  HRESULT STDMETHODCALLTYPE put_Completed(IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Completed(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetResults(boolean* value) override {
    *value = value_;
    return results_;
  }
  HRESULT STDMETHODCALLTYPE get_Id(unsigned* id) override {
    *id = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Status(AsyncStatus* status) override {
    ++queries;
    *status = polls_ >= 0 && queries > polls_ ? end_ : AsyncStatus::Started;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) override {
    *code = results_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Cancel() override {
    ++cancels;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }

 private:
  int polls_;
  AsyncStatus end_;
  HRESULT results_;
  boolean value_;
};

TEST(WaitAsync, TakesTheResultOnceFinished) {
  auto op = win::make_com<FakeBoolOperation>(5, AsyncStatus::Completed, S_OK, TRUE);
  boolean value = FALSE;
  ASSERT_TRUE(wait_async(static_cast<win::IBoolOperation*>(op.get()), &value));
  EXPECT_TRUE(value);
  EXPECT_EQ(op->queries, 6);
  EXPECT_EQ(op->cancels, 0);
}

TEST(WaitAsync, AFailedOperationGivesItsError) {
  auto op = win::make_com<FakeBoolOperation>(0, AsyncStatus::Error, E_ACCESSDENIED, FALSE);
  boolean value = FALSE;
  Status s = wait_async(static_cast<win::IBoolOperation*>(op.get()), &value);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error().code, static_cast<std::uint32_t>(E_ACCESSDENIED));
}

TEST(WaitAsync, GivesUpAfterThreeSecondsAndCancels) {
  auto op = win::make_com<FakeBoolOperation>(-1, AsyncStatus::Completed, S_OK, TRUE);
  boolean value = FALSE;
  auto start = std::chrono::steady_clock::now();
  Status s = wait_async(static_cast<win::IBoolOperation*>(op.get()), &value);
  auto took = std::chrono::steady_clock::now() - start;
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error().code, hresult::kAbort);
  EXPECT_EQ(op->cancels, 1);
  EXPECT_GE(took, 3s);
  EXPECT_LT(took, 5s);
  EXPECT_GT(op->queries, 100);  // polled every few milliseconds, not once
}

TEST(EventHandler, AgileFreeThreadedDelegate) {
  std::atomic<int> calls = 0;
  auto keep = std::make_shared<int>(0);
  std::weak_ptr<int> alive = keep;
  auto handler = win::make_com<EventHandler<win::ISessionsChangedHandler>>(
      [&calls, keep = std::move(keep)] { ++calls; });
  for (const IID& iid : {__uuidof(IUnknown), __uuidof(IAgileObject), __uuidof(IMarshal),
                         __uuidof(win::ISessionsChangedHandler)}) {
    win::ComPtr<IUnknown> out;
    EXPECT_EQ(handler->QueryInterface(iid, out.put_void()), S_OK);
    EXPECT_TRUE(out);
  }
  win::ComPtr<IUnknown> other;
  EXPECT_EQ(handler->QueryInterface(__uuidof(win::ICurrentSessionChangedHandler), other.put_void()),
            E_NOINTERFACE);
  EXPECT_EQ(handler->QueryInterface(__uuidof(IUnknown), nullptr), E_POINTER);
  EXPECT_EQ(handler->Invoke(nullptr, nullptr), S_OK);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(alive.expired());
  handler.reset();
  EXPECT_TRUE(alive.expired());  // the sink goes with the last reference
}

}  // namespace
}  // namespace orvelle::media

namespace orvelle::media {
namespace {

// Wine has no GetApplicationUserModelId: the query is found at run time,
// and a desktop process then has no app id, only its executable's path.
TEST(ProcessIdentity, OwnProcess) {
  auto who = process_identity(GetCurrentProcessId());
  ASSERT_TRUE(who);
  EXPECT_TRUE(who->image_path.ends_with("media_win_tests.exe")) << who->image_path;
  EXPECT_TRUE(process_matches("x.media_win_tests!App", *who));
  EXPECT_FALSE(process_identity(0));
}

}  // namespace
}  // namespace orvelle::media
