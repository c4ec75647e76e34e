#pragma once
// A folder taken down with everything in it, links inside removed as links
// and never entered.

#include "main/folder_removal.h"

#include <string>

namespace orvelle::setup {

// One try at removing the folder (a full path). Every entry is opened as
// itself and checked through its handle to be the entry of its name in the
// folder being emptied before anything is done to it; each folder being
// emptied is held open meanwhile, so it cannot be renamed and replaced.
// The folder itself goes only when it is a plain folder.
RemovalOutcome remove_folder_tree(const std::string& folder);

}  // namespace orvelle::setup
