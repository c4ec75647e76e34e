#pragma once
// The browser's data folder of this process in the user's temporary folder:
// had at the start (the folders that ended runs left behind swept first) and
// removed on the way out.

#include "common/win_error.h"

#include <cstdint>
#include <string>

namespace orvelle::setup {

// GetTempPath2W where the system has it (taken at run time, so the program
// still starts on older systems and under Wine), else GetTempPathW; as
// UTF-8, an unpaired surrogate replaced.
Result<std::string> temp_folder();

// This process's data folder (user_data_folder) in the temporary folder as
// temp_folder gave it; its error, or a folder that is not a full path, is
// the error. The data folders of runs that were ended from outside or
// crashed are removed first (remove_folder_tree), one try each: a folder
// that will not go now goes at a later start.
Result<std::string> prepare_data_folder(const Result<std::string>& temp);

// Whether a process of that id may still be running; false only when the
// system says there is no such process or it has ended.
bool process_may_run(std::uint32_t process_id);

// Removes the folder with everything in it (remove_folder_tree, so links
// inside go as links): up to 30 tries 100 ms apart while something in it is
// still held, ending as soon as it is gone. Nothing is reported.
void remove_folder_patiently(const std::string& folder);

}  // namespace orvelle::setup
