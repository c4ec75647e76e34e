#pragma once
// The process's arguments after its name, as UTF-8.

#include <string>
#include <string_view>
#include <vector>

namespace orvelle::win {

// An argument that is not valid Unicode (an unpaired surrogate) ends the
// process with code 2 and the line "{prefix}argument N is not valid Unicode".
std::vector<std::string> utf8_arguments(std::string_view prefix = {});

}  // namespace orvelle::win
