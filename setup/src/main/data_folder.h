#pragma once
// The browser's data folders: one per process in the temporary folder,
// named after its process id, so that a second window (the installer's
// retry starts one) never loses its data when the first one closes.

#include "main/folder_listing.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvelle::setup {

// "{temp}\orvelle-setup-webview-{id}"; nothing when the temporary folder is
// not a full path, so the browser's data never lands in whatever folder the
// process was started in.
std::optional<std::string> user_data_folder(std::string_view temp_folder,
                                            std::uint32_t process_id);

// The process id in a folder name, when the name is exactly one that
// user_data_folder makes.
std::optional<std::uint32_t> data_folder_process(std::string_view name);

// The names of the listed data folders whose process has ended. may_run
// tells whether a process may still exist; a folder whose process may, and
// anything that is not a plain folder of ours (a reparse point of any
// kind included), is left alone.
std::vector<std::string> stale_data_folders(
    std::span<const FolderEntry> entries,
    const std::function<bool(std::uint32_t process_id)>& may_run);

}  // namespace orvelle::setup
