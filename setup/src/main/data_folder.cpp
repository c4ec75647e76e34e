#include "main/data_folder.h"

#include "common/numbers.h"
#include "common/path_join.h"

#include <fmt/format.h>

namespace orvelle::setup {
namespace {

constexpr std::string_view kPrefix = "orvelle-setup-webview-";

bool full_path(std::string_view p) {
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  auto slash = [](char c) { return c == '\\' || c == '/'; };
  if (p.size() >= 3 && letter(p[0]) && p[1] == ':' && slash(p[2])) return true;
  return p.size() >= 3 && slash(p[0]) && slash(p[1]) && !slash(p[2]);
}

}  // namespace

std::optional<std::string> user_data_folder(std::string_view temp_folder,
                                            std::uint32_t process_id) {
  if (!full_path(temp_folder)) return std::nullopt;
  return join_path(temp_folder, fmt::format("{}{}", kPrefix, process_id));
}

std::optional<std::uint32_t> data_folder_process(std::string_view name) {
  if (!name.starts_with(kPrefix)) return std::nullopt;
  std::string_view digits = name.substr(kPrefix.size());
  // Only the digits fmt writes: no sign, no leading zero.
  if (digits.empty() || digits.front() < '0' || digits.front() > '9' ||
      (digits.size() > 1 && digits.front() == '0'))
    return std::nullopt;
  return parse_u32(digits);
}

std::vector<std::string> stale_data_folders(
    std::span<const FolderEntry> entries,
    const std::function<bool(std::uint32_t process_id)>& may_run) {
  std::vector<std::string> stale;
  for (const FolderEntry& e : entries) {
    if (!e.directory || e.name_surrogate || e.reparse_point) continue;
    auto id = data_folder_process(e.name);
    if (id && !may_run(*id)) stale.push_back(e.name);
  }
  return stale;
}

}  // namespace orvelle::setup
