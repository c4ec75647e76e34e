#pragma once
// A media buffer over a packet's shared bytes: the sample handed to the sink
// writer holds a reference to the bytes the ring and the snapshot hold, so
// a save copies no payload, however many samples the writer queues
// (Windows only).

#include "common/win/com_ptr.h"
#include "ring/ring.h"

#include <mfobjects.h>

namespace orvelle::clips {

// The buffer's length is the packet's; its bytes are never written.
win::ComPtr<IMFMediaBuffer> shared_bytes_buffer(PacketData data, std::uint64_t length);

}  // namespace orvelle::clips
