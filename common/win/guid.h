#pragma once
// The platform's GUID and the core's Guid are the same sixteen bytes.

#include "common/winrt_iid.h"

#include <guiddef.h>

namespace orvelle::win {

inline Guid portable_guid(const GUID& g) {
  return Guid{static_cast<std::uint32_t>(g.Data1), g.Data2, g.Data3,
              {g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
               g.Data4[7]}};
}

inline GUID platform_guid(const Guid& g) {
  return GUID{static_cast<unsigned long>(g.data1), g.data2, g.data3,
              {g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6],
               g.data4[7]}};
}

}  // namespace orvelle::win
