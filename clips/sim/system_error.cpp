#include "sim/system_error.h"

#include <cerrno>
#include <cstring>

namespace orvelle::clips::sim {
namespace {

// The platform's codes for its own errors: 0x8007 and the error number.
constexpr std::uint32_t from_platform(std::uint32_t number) { return 0x80070000u | number; }

std::uint32_t platform_code(int err) {
  switch (err) {
    case ENOENT: return from_platform(3);    // ERROR_PATH_NOT_FOUND
    case ENOTDIR: return from_platform(3);
    case EACCES: return from_platform(5);    // ERROR_ACCESS_DENIED
    case EPERM: return from_platform(5);
    case EROFS: return from_platform(19);    // ERROR_WRITE_PROTECT
    case EBUSY: return from_platform(32);    // ERROR_SHARING_VIOLATION
    case EEXIST: return from_platform(80);   // ERROR_FILE_EXISTS
    case ENOSPC: return from_platform(112);  // ERROR_DISK_FULL
    case EDQUOT: return from_platform(112);
    case EINVAL: return from_platform(87);   // ERROR_INVALID_PARAMETER
    case ENAMETOOLONG: return from_platform(206);  // ERROR_FILENAME_EXCED_RANGE
    case EISDIR: return from_platform(5);
    case ENOMEM: return hresult::kOutOfMemory;
    default: return hresult::kFail;
  }
}

}  // namespace

WinError system_error(int err) { return WinError{platform_code(err), std::strerror(err)}; }

}  // namespace orvelle::clips::sim
