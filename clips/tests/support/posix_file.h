#pragma once
// RandomAccessFile over a POSIX descriptor for the native tests and the
// benchmarks: the simulation's own, which counts what passes through it.

#include "sim/posix_file.h"

namespace orvelle::clips {

using sim::PosixFile;

}  // namespace orvelle::clips
