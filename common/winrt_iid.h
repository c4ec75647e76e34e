#pragma once
// Interface ids of parameterised WinRT types (IAsyncOperation<T>,
// TypedEventHandler<S, A>, ...). They appear in no metadata: each is the
// name-based SHA-1 UUID of the instance's type signature, under the WinRT
// namespace id. Portable, so the rule is tested natively and ids can be
// computed without Windows.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace orvelle {

struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0, data3 = 0;
  std::array<std::uint8_t, 8> data4 = {};
  friend bool operator==(const Guid&, const Guid&) = default;
};

// Lower-case 8-4-4-4-12 hexadecimal, without braces.
std::string guid_text(const Guid& guid);

// The interface id for a complete type signature, e.g.
// "pinterface({9fc2b0bb-e446-44e2-aa61-9cab8f636af2};b1)" for IAsyncOperation<bool>.
Guid winrt_iid(std::string_view signature);

// The pieces of a type signature. Ids are given as 8-4-4-4-12 text in either
// case; signatures carry them in lower case.
namespace signature {

inline constexpr std::string_view kBoolean = "b1";
inline constexpr std::string_view kInt32 = "i4";
inline constexpr std::string_view kString = "string";
inline constexpr std::string_view kObject = "cinterface(IInspectable)";

// A non-parameterised interface: its id in braces.
std::string interface_type(std::string_view iid);
// A runtime class: its full name and its default interface's signature.
std::string runtime_class(std::string_view name, std::string_view default_interface);
// An enumeration: i4, or u4 for a flags enumeration.
std::string enumeration(std::string_view name, bool flags = false);
// A non-parameterised delegate.
std::string delegate_type(std::string_view iid);
// An instance of a parameterised interface or delegate: the generic type's
// own id and the signatures of its arguments.
std::string pinterface(std::string_view generic_iid, std::initializer_list<std::string_view> args);

}  // namespace signature

// The ids of the generic types themselves, as published with each type.
namespace generic_iid {

inline constexpr std::string_view kAsyncOperation = "9fc2b0bb-e446-44e2-aa61-9cab8f636af2";
inline constexpr std::string_view kAsyncOperationCompletedHandler =
    "fcdcf02c-e5d8-4478-915a-4d90b74b83a5";
inline constexpr std::string_view kTypedEventHandler = "9de1c534-6ae1-11e0-84e1-18a905bcc53f";
inline constexpr std::string_view kIterable = "faa585ea-6214-4217-afda-7f46de5869b3";
inline constexpr std::string_view kIterator = "6a79e863-4300-459a-9966-cbb660963ee1";
inline constexpr std::string_view kVectorView = "bbe1fa4c-b0e3-4583-baef-1f1b2e483e56";

}  // namespace generic_iid

}  // namespace orvelle
