#pragma once
// One packet as a sample for the sink writer (Windows only). The sample's
// buffer is a copy: the sink writer may rewrite a buffer it was lent (an
// H.264 start code into a length of the same size), and the packet's bytes
// are shared with the ring and with every later save.

#include "common/win_error.h"
#include "common/win/com_ptr.h"
#include "ring/ring.h"

#include <mfobjects.h>

namespace orvelle::clips {

[[nodiscard]] Result<win::ComPtr<IMFSample>> make_media_sample(const Packet& packet);

}  // namespace orvelle::clips
