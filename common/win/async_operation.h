#pragma once
// Windows.Foundation.IAsyncOperation<TResult>, declared once for every
// WinRT declaration of ours: only GetResults is called; the operation is
// polled through its IAsyncInfo, so the completion slots take any object.
// Each instance is its own type, tagged with its own (generated) id.

#include <inspectable.h>

namespace orvelle::win {

template <typename Result>
struct IAsyncOperationOf : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE put_Completed(IUnknown* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Completed(IUnknown** handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetResults(Result* results) = 0;
};

}  // namespace orvelle::win
