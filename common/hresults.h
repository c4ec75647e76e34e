#pragma once
// The system result codes the programs borrow for failures of their own,
// portable so the core can name them. The Windows build ties each to the
// platform's own name where it has one.

#include <cstdint>

namespace orvelle::hresult {

inline constexpr std::uint32_t kFail = 0x80004005u;          // E_FAIL
inline constexpr std::uint32_t kNotImplemented = 0x80004001u;  // E_NOTIMPL
inline constexpr std::uint32_t kAbort = 0x80004004u;         // E_ABORT
// E_POINTER: a call that succeeded without its object; every failed wait
// of the setup window's page set-up.
inline constexpr std::uint32_t kPointer = 0x80004003u;
inline constexpr std::uint32_t kOutOfMemory = 0x8007000Eu;   // E_OUTOFMEMORY
inline constexpr std::uint32_t kInvalidData = 0x8007000Du;   // HRESULT_FROM_WIN32(ERROR_INVALID_DATA)
// AUDCLNT_E_UNSUPPORTED_FORMAT: "mix format", "AAC wants 44.1 or 48 kHz",
// "the microphone's rate".
inline constexpr std::uint32_t kUnsupportedFormat = 0x88890008u;
// AUDCLNT_E_DEVICE_INVALIDATED: "audio thread ended".
inline constexpr std::uint32_t kDeviceInvalidated = 0x88890004u;
// MF_E_NOT_FOUND: "no hardware H.264 encoder", "no H.264 encoder works
// with {} ({})", "no AAC encoder".
inline constexpr std::uint32_t kNotFound = 0xC00D36D5u;
// MF_E_INVALIDMEDIATYPE: "encoder takes none of the wanted input formats".
inline constexpr std::uint32_t kInvalidMediaType = 0xC00D36B4u;
// MF_E_NO_SAMPLE_TIMESTAMP: "no video".
inline constexpr std::uint32_t kNoSampleTimestamp = 0xC00D36C8u;

// MF_E_SHUTDOWN: a transform asked after it was shut down.
inline constexpr std::uint32_t kShutdown = 0xC00D3E85u;
// E_INVALIDARG: a capture item for a window that is not there.
inline constexpr std::uint32_t kInvalidArg = 0x80070057u;
// MF_E_ATTRIBUTENOTFOUND: a media type without an attribute a reader needs.
inline constexpr std::uint32_t kAttributeNotFound = 0xC00D36E6u;

}  // namespace orvelle::hresult
