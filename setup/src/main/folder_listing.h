#pragma once
// A folder's listing as the core sees it, and the path form that lists
// folders at any depth.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::setup {

// One entry of a folder listing.
struct FolderEntry {
  std::string name;
  bool directory = false;
  bool name_surrogate = false;  // a symbolic link or junction
  std::uint64_t size = 0;
  bool reparse_point = false;  // of any kind, a link whatever its tag says
  bool read_only = false;
};

// Lists a folder; nothing when it cannot be listed.
class FolderLister {
 public:
  virtual ~FolderLister() = default;
  virtual std::optional<std::vector<FolderEntry>> list(const std::string& folder) = 0;
};

// A full Windows path in the "\\?\" form, which is not held to MAX_PATH:
// "C:\x" becomes "\\?\C:\x", "\\server\share" becomes "\\?\UNC\server\share",
// and a path already in a device form is kept. The path must already be
// full and use backslashes: the form turns off the system's own clean-up of
// the path.
std::string long_path_form(std::string_view full_path);

}  // namespace orvelle::setup
