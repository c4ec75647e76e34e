#pragma once
// The whole run of orvelle-setup on its one user-interface thread: the
// start-up, the message loop and the clean-up.

#include "main/data_folder_win.h"
#include "main/page_view_win.h"

#include <vector>

namespace orvelle::setup {

// The exit code: 0 once the window has closed, 2 when the start-up failed
// (its one line is then on standard error). The browser's data folder is
// removed either way; the folders of ended runs are swept at the start.
// temp gives the temporary folder: temp_folder, or a test's own.
int run_setup(const std::vector<std::string>& args, const PageSetUp& set_up_page,
              Result<std::string> (*temp)() = temp_folder);

}  // namespace orvelle::setup
