#pragma once
// A name joined to a Windows folder path given as UTF-8 text.

#include <string>
#include <string_view>

namespace orvelle {

inline std::string join_path(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty() && out.back() != '\\' && out.back() != '/') out += '\\';
  out += name;
  return out;
}

}  // namespace orvelle
