#pragma once
// WebView2 creates its environment and controller asynchronously and answers
// on this thread through its message loop. The wait pumps the thread's
// messages until the completion handler has answered over a channel.

#include "common/channel.h"
#include "common/hresults.h"
#include "common/win/com_object.h"
#include "common/win/error.h"

#include <windows.h>

#include <fmt/format.h>

#include <string>
#include <string_view>

namespace orvelle::setup {

template <typename T>
struct Answer {
  enum class Kind { object, no_object, failed } kind = Kind::failed;
  win::ComPtr<T> object;
  HRESULT result = S_OK;
};

// The completion handler of a creation that hands back a T: on a failed
// result it lets the object go and reports the failure; on success it sends
// the object, or the rule's E_POINTER when there is none. It runs on the
// user-interface thread, inside the wait's message pump.
template <typename Handler, typename T>
class CompletionHandler : public win::ComObject<Handler> {
 public:
  explicit CompletionHandler(Sender<Answer<T>> sender) : sender_(std::move(sender)) {}
  HRESULT STDMETHODCALLTYPE Invoke(HRESULT result, T* created) override {
    Answer<T> answer;
    answer.result = result;
    if (FAILED(result)) {
      answer.kind = Answer<T>::Kind::failed;
    } else if (!created) {
      answer.kind = Answer<T>::Kind::no_object;
    } else {
      answer.kind = Answer<T>::Kind::object;
      answer.object = win::ComPtr<T>::share(created);
    }
    sender_.send(std::move(answer));
    sender_.reset();
    return FAILED(result) ? result : S_OK;
  }

 private:
  Sender<Answer<T>> sender_;
};

// What ends a wait early, named by its kind.
inline WinError wait_failure(std::string_view what, const std::string& description) {
  // Every wrapped failure carries E_POINTER, whatever lay beneath it.
  return WinError{hresult::kPointer, fmt::format("{}: {}", what, description)};
}

// Pumps messages until the answer has come or its handler is gone. what is
// "WebView2 environment" or "WebView2 controller".
template <typename T>
Result<win::ComPtr<T>> wait_for_answer(std::string_view what, Receiver<Answer<T>>& answers) {
  std::optional<Answer<T>> answer;
  while (true) {
    RecvStatus status = answers.try_receive(answer);
    if (status != RecvStatus::timeout) break;
    MSG msg;
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return error(wait_failure(what, "the wait was cancelled (the window closed)"));
    if (got == -1)
      return error(wait_failure(what, "the message wait failed: " + win::last_error().text()));
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (!answer) return error(wait_failure(what, "no answer"));
  switch (answer->kind) {
    case Answer<T>::Kind::object:
      return answer->object;
    case Answer<T>::Kind::no_object:
      return error(WinError{hresult::kPointer, {}});
    case Answer<T>::Kind::failed:
      break;
  }
  return error(wait_failure(what, "the handler reported " +
                                      win::hresult_error(answer->result).text()));
}

}  // namespace orvelle::setup
