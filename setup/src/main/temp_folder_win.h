#pragma once
// The user's temporary folder and the removal of the browser's data folder.

#include <string>

namespace orvelle::setup {

// GetTempPath2W where the system has it (taken at run time, so the program
// still starts on older systems and under Wine), else GetTempPathW; as
// UTF-8, an unpaired surrogate replaced. Empty when both fail.
std::string temp_folder();

// Removes the folder with everything in it: up to 30 tries 100 ms apart,
// ending as soon as it is gone. Nothing is reported.
void remove_folder_patiently(const std::string& folder);

}  // namespace orvelle::setup
