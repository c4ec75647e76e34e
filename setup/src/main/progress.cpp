#include "main/progress.h"

#include "common/path_join.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orvelle::setup {

std::optional<double> demo_progress(double t_ms) {
  if (t_ms >= 10000) return std::nullopt;
  double p = t_ms / 10000;
  if (p < 0.85) return (1 - std::pow(1 - p / 0.85, 3)) * 0.86;
  return (p - 0.85) / 0.15 * 0.14 + 0.86;
}

double disk_progress(std::uint64_t bytes, std::uint64_t expect_kib) {
  return std::min(static_cast<double>(bytes) / (static_cast<double>(expect_kib) * 1024.0), 0.98);
}

std::uint64_t folder_size(const std::string& root, FolderLister& lister) {
  // No install folder is no bytes, not the listing of the current folder.
  if (root.empty()) return 0;
  std::vector<std::string> stack = {root};
  std::uint64_t total = 0;
  while (!stack.empty()) {
    std::string folder = std::move(stack.back());
    stack.pop_back();
    auto entries = lister.list(folder);
    if (!entries) continue;
    for (const auto& e : *entries) {
      if (e.name == "." || e.name == "..") continue;
      if (e.directory && !e.name_surrogate) {
        stack.push_back(join_path(folder, e.name));
      } else {
        total = e.size > UINT64_MAX - total ? UINT64_MAX : total + e.size;
      }
    }
  }
  return total;
}

std::vector<std::uint64_t> due_shots(std::vector<std::uint64_t>& pending,
                                     std::uint64_t elapsed_ms) {
  std::vector<std::uint64_t> due;
  for (std::uint64_t t : pending)
    if (t <= elapsed_ms) due.push_back(t);
  std::erase_if(pending, [&](std::uint64_t t) { return std::ranges::find(due, t) != due.end(); });
  return due;
}

}  // namespace orvelle::setup
