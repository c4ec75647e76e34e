#include "main/folder_listing.h"

namespace orvelle::setup {

std::string long_path_form(std::string_view path) {
  if (path.starts_with("\\\\?\\") || path.starts_with("\\\\.\\")) return std::string(path);
  if (path.starts_with("\\\\")) return "\\\\?\\UNC\\" + std::string(path.substr(2));
  return "\\\\?\\" + std::string(path);
}

}  // namespace orvelle::setup
