#pragma once
// Where the progress bar stands without a word from the installer: the demo
// curve, and the install folder's size against the expected size.

#include "main/folder_listing.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvelle::setup {

// The built-in ten seconds: nothing once they are over (the installation is
// then done), else the bar's value at t milliseconds.
std::optional<double> demo_progress(double t_ms);

// The folder's bytes against the expected KiB, never past 0.98: only the
// installer's "done" completes the bar.
double disk_progress(std::uint64_t bytes, std::uint64_t expect_kib);

// The bytes below a folder. Links to folders are counted by their listed
// size and not entered, so a junction back up cannot loop the walk.
std::uint64_t folder_size(const std::string& root, FolderLister& lister);

// The screenshot times that are due at elapsed milliseconds, in list order;
// they and their equals leave pending.
std::vector<std::uint64_t> due_shots(std::vector<std::uint64_t>& pending,
                                     std::uint64_t elapsed_ms);

}  // namespace orvelle::setup
