#pragma once
// Media Foundation declarations that mingw-w64 lacks, from the platform's
// public documentation.

#include <mfapi.h>
#include <mftransform.h>
#include <strmif.h>

namespace orvelle::win {

// MFT_ENUM_HARDWARE_VENDOR_ID_Attribute (a string, "VEN_" and the PCI
// vendor id in hexadecimal): which vendor's hardware a transform runs on.
inline constexpr GUID kHardwareVendorIdAttribute = {
    0x3aecb0cc, 0x035b, 0x4bcc, {0x81, 0x85, 0x2b, 0x8d, 0x55, 0x1e, 0xf3, 0xaf}};

}  // namespace orvelle::win

// ICodecAPI's id for __uuidof: mingw-w64 gives it only beside a second
// declaration of the interface, which clashes with strmif.h's.
__CRT_UUID_DECL(ICodecAPI, 0x901db4c7, 0x31ce, 0x41a2, 0x85, 0xdc, 0x8f, 0xa0, 0xbf, 0x41, 0xb8, 0xda)
