#pragma once
// Folder listings from the file system, at any depth.

#include "main/folder_listing.h"

#include <string>

namespace orvelle::setup {

// FindFirstFileExW's listing, with the attributes and sizes it gives.
class WindowsLister : public FolderLister {
 public:
  std::optional<std::vector<FolderEntry>> list(const std::string& folder) override;
};

// The folder made full (GetFullPathNameW) and put in the "\\?\" form, so a
// walk below it reaches folders deeper than MAX_PATH; empty stays empty,
// and a path the system cannot make full is kept as it is.
std::string long_folder_path(const std::string& folder);

}  // namespace orvelle::setup
