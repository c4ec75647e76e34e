#include "record/writer_threads.h"

#include "common/threads.h"

namespace orvelle::clips {

void WriterThreads::launch(SaveJob job) {
  spawn_detached(
      "writer", [body = body_, job = std::move(job)]() mutable { body(std::move(job)); },
      "writer thread");
}

}  // namespace orvelle::clips
