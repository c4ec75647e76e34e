#pragma once
// The event delegates the bridge hands the session manager and its sessions.

#include "bridge/platform.h"
#include "common/win/com_object.h"

#include <objbase.h>

namespace orvelle::media {

// The delegate of one event: agile and free-threaded, since the platform
// calls it on threads of its own choosing; it only hands the event to the
// run loop's channel. The sink is dropped with the last reference.
template <typename Handler>
class EventHandler final : public win::ComObject<Handler, IAgileObject> {
 public:
  explicit EventHandler(EventSink sink) : sink_(std::move(sink)) {
    (void)CoCreateFreeThreadedMarshaler(static_cast<Handler*>(this), marshaler_.put());
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object && iid == __uuidof(IMarshal) && marshaler_) return marshaler_->QueryInterface(iid, object);
    return win::ComObject<Handler, IAgileObject>::QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE Invoke(IInspectable*, IInspectable*) override {
    try {
      sink_();
    } catch (...) {  // nothing crosses back into the platform
    }
    return S_OK;
  }

 private:
  EventSink sink_;
  win::ComPtr<IUnknown> marshaler_;
};

}  // namespace orvelle::media
