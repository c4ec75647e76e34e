#pragma once
// The console programs' standard streams in binary mode (Windows only): a CR
// before each LF on standard output, or a 0x1A on standard input taken as
// its end, would break the client's lines.

namespace orvelle::win {

void binary_standard_streams();

}  // namespace orvelle::win
