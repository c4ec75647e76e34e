#pragma once
// Media Foundation declarations that mingw-w64 lacks, from the platform's
// public documentation.

#include <mfapi.h>
#include <mftransform.h>

namespace orvelle::win {

// MFT_ENUM_HARDWARE_VENDOR_ID_Attribute (a string, "VEN_" and the PCI
// vendor id in hexadecimal): which vendor's hardware a transform runs on.
inline constexpr GUID kHardwareVendorIdAttribute = {
    0x3aecb0cc, 0x035b, 0x4bcc, {0x81, 0x85, 0x2b, 0x8d, 0x55, 0x1e, 0xf3, 0xaf}};

}  // namespace orvelle::win
