#pragma once
// WinRT classes by name: a class's statics, or a new instance asked for one
// of its interfaces. A class the system lacks is an error value, never a stop.

#include "common/try.h"
#include "common/win/checked.h"
#include "common/win/com_ptr.h"
#include "common/win/hstring.h"

#include <roapi.h>

namespace orvelle::media {

template <typename Interface>
Result<win::ComPtr<Interface>> activation_factory(const wchar_t* class_name) {
  ORVELLE_ASSIGN_OR_RETURN(win::HString name, win::HString::make(class_name));
  win::ComPtr<Interface> factory;
  ORVELLE_TRY(win::made(RoGetActivationFactory(name.get(), __uuidof(Interface), factory.put_void()),
                        factory));
  return factory;
}

template <typename Interface>
Result<win::ComPtr<Interface>> activate_instance(const wchar_t* class_name) {
  ORVELLE_ASSIGN_OR_RETURN(win::HString name, win::HString::make(class_name));
  win::ComPtr<IInspectable> object;
  ORVELLE_TRY(win::made(RoActivateInstance(name.get(), object.put()), object));
  win::ComPtr<Interface> out;
  ORVELLE_TRY(win::made(object.as(out), out));
  return out;
}

}  // namespace orvelle::media
