#pragma once
// One owner for every handle-like thing the platform hands out: a kernel
// handle, LocalAlloc'd or CoTaskMemAlloc'd memory, a BSTR, a loaded module,
// a mapped view, a PROPVARIANT. One body; each kind says in its traits what its empty value
// is and how it is let go. No program code frees any of them by hand. (COM
// interfaces have ComPtr, HSTRINGs HString.)

#include <windows.h>

#include <oleauto.h>
#include <propidl.h>

#include <utility>

namespace orvelle::win {

template <typename Traits>
class Owner {
 public:
  using Type = typename Traits::Type;

  Owner() = default;
  // Takes over a value the caller owns; a kind's other spellings of "none"
  // (INVALID_HANDLE_VALUE for a kernel handle) become the empty value.
  explicit Owner(Type value) : value_(Traits::is_valid(value) ? value : Traits::invalid()) {}
  Owner(Owner&& o) noexcept : value_(std::exchange(o.value_, Traits::invalid())) {}
  Owner& operator=(Owner o) noexcept {
    std::swap(value_, o.value_);
    return *this;
  }
  ~Owner() { reset(); }

  void reset() {
    if (Traits::is_valid(value_)) Traits::close(value_);
    value_ = Traits::invalid();
  }
  // Hands the value back to the caller, who must let it go.
  [[nodiscard]] Type release() { return std::exchange(value_, Traits::invalid()); }
  const Type& get() const { return value_; }
  explicit operator bool() const { return Traits::is_valid(value_); }
  // For out-parameters: lets go of what is held and hands the slot out.
  Type* put() {
    reset();
    return &value_;
  }

 private:
  Type value_ = Traits::invalid();
};

template <typename T>
struct PointerTraits {
  using Type = T;
  static constexpr Type invalid() { return nullptr; }
  static bool is_valid(Type p) { return p != nullptr; }
};

struct KernelHandleTraits : PointerTraits<HANDLE> {
  static bool is_valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { CloseHandle(h); }
};
using Handle = Owner<KernelHandleTraits>;

// FormatMessageW's buffer, CommandLineToArgvW's array.
template <typename T>
struct LocalMemoryTraits : PointerTraits<T*> {
  static void close(T* p) { LocalFree(p); }
};
template <typename T>
using LocalMemory = Owner<LocalMemoryTraits<T>>;

// Strings and arrays that COM and the property helpers allocate for the caller.
template <typename T>
struct CoTaskMemoryTraits : PointerTraits<T*> {
  static void close(T* p) { CoTaskMemFree(p); }
};
template <typename T>
using CoTaskMemory = Owner<CoTaskMemoryTraits<T>>;

struct BstrTraits : PointerTraits<BSTR> {
  static void close(BSTR s) { SysFreeString(s); }
};
using Bstr = Owner<BstrTraits>;

struct ModuleTraits : PointerTraits<HMODULE> {
  static void close(HMODULE m) { FreeLibrary(m); }
};
using Module = Owner<ModuleTraits>;

// A view of a file mapping.
struct MappedViewTraits : PointerTraits<void*> {
  static void close(void* view) { UnmapViewOfFile(view); }
};
using MappedView = Owner<MappedViewTraits>;

struct PropVariantTraits {
  using Type = PROPVARIANT;
  static Type invalid() { return Type{}; }  // VT_EMPTY
  static bool is_valid(const Type& v) { return v.vt != VT_EMPTY; }
  static void close(Type& v) { PropVariantClear(&v); }
};
using PropVariant = Owner<PropVariantTraits>;

}  // namespace orvelle::win
