#pragma once
// FFmpeg's failures as the programs' error values: its own text, and for a
// failure of the system beneath it the code system_error gives.

#include "common/win_error.h"

namespace orvelle::clips::sim {

WinError av_error(int code);

// FFmpeg says nothing on standard error: the simulation's lines there must
// be the program's own, byte for byte. Each engine calls this before its
// first use of the libraries.
void silence_ffmpeg();

}  // namespace orvelle::clips::sim
