// The wait for a WebView2 completion, with completions of our own: it pumps
// the thread's messages until the handler answers, and names each way it
// can end.

#include "main/completion_wait_win.h"

#include <gtest/gtest.h>

#include <functional>

namespace orvelle::setup::testing {
// A completion that hands back an IUnknown, as the environment's does.
struct ICompleted : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT result, IUnknown* created) = 0;
};
}  // namespace orvelle::setup::testing
// An id of the test's own.
__CRT_UUID_DECL(orvelle::setup::testing::ICompleted, 0x5e7a1c00, 0x0001, 0x4000, 0x80, 0x00, 0x00,
                0x00, 0x00, 0x00, 0x00, 0x01)

namespace orvelle::setup {
namespace {

using testing::ICompleted;
using win::ComPtr;
using Handler = CompletionHandler<ICompleted, IUnknown>;

class Thing : public win::ComObject<IUnknown> {};

// Runs later, from the message loop, as the runtime answers.
std::function<void()> later;
void CALLBACK run_later(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto f = std::move(later);
  if (f) f();
}
void after_a_message(std::function<void()> f) {
  later = std::move(f);
  SetTimer(nullptr, 0, 10, run_later);
}

Result<ComPtr<IUnknown>> wait_with(std::function<void(ComPtr<Handler>)> answer) {
  auto [sender, answers] = make_channel<Answer<IUnknown>>();
  auto handler = win::make_com<Handler>(std::move(sender));
  after_a_message([handler, answer] { answer(handler); });
  handler.reset();
  return wait_for_answer("WebView2 environment", answers);
}

TEST(CompletionWait, DeliversTheObject) {
  auto thing = win::make_com<Thing>();
  auto got = wait_with([&](ComPtr<Handler> h) { EXPECT_EQ(h->Invoke(S_OK, thing.get()), S_OK); });
  ASSERT_TRUE(got);
  EXPECT_EQ(got->get(), static_cast<IUnknown*>(thing.get()));
}

TEST(CompletionWait, NamesEachFailure) {
  auto no_object = wait_with([](ComPtr<Handler> h) { (void)h->Invoke(S_OK, nullptr); });
  ASSERT_FALSE(no_object);
  EXPECT_EQ(no_object.error().code, 0x80004003u);
  EXPECT_EQ(no_object.error().message, "");  // unchanged, no prefix

  auto failed = wait_with([](ComPtr<Handler> h) {
    auto thing = win::make_com<Thing>();
    EXPECT_EQ(h->Invoke(E_ACCESSDENIED, thing.get()), E_ACCESSDENIED);
    EXPECT_EQ(thing->references(), 1u);  // let go of
  });
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error().code, 0x80004003u);
  EXPECT_TRUE(failed.error().message.starts_with("WebView2 environment: the handler reported "))
      << failed.error().message;
  EXPECT_NE(failed.error().message.find("0x80070005"), std::string::npos) << failed.error().message;

  auto dropped = wait_with([](ComPtr<Handler>) {});
  ASSERT_FALSE(dropped);
  EXPECT_EQ(dropped.error().code, 0x80004003u);
  EXPECT_EQ(dropped.error().message, "WebView2 environment: no answer");
  EXPECT_EQ(dropped.error().text(), "WebView2 environment: no answer (0x80004003)");

  ComPtr<Handler> kept;  // held, as the runtime holds it, and never answered
  auto cancelled = wait_with([&](ComPtr<Handler> h) {
    kept = h;
    PostQuitMessage(0);
  });
  ASSERT_FALSE(cancelled);
  EXPECT_EQ(cancelled.error().code, 0x80004003u);
  EXPECT_NE(cancelled.error().message.find("cancelled"), std::string::npos) << cancelled.error().message;
  later = nullptr;
}

}  // namespace
}  // namespace orvelle::setup
