#pragma once
// The logo's picture as "overhang.png" in the screenshots folder, for the
// installer's checks.

#include "overhang/overhang_win.h"

#include <string>

namespace orvelle::setup {

// Any failure abandons the file silently; the folder is not created here.
void save_overhang_png(const Overhang& overhang, const std::string& folder);

}  // namespace orvelle::setup
