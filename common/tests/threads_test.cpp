#include "common/threads.h"

#include <gtest/gtest.h>

#include <pthread.h>

namespace orvelle {
namespace {

// A default stack no system can map makes every thread start fail; the
// process ends with the caller's name for the thread and the system's error.
TEST(ThreadsDeathTest, AFailedStartNamesTheThreadAndTheSystemsError) {
  EXPECT_DEATH(
      {
        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        pthread_attr_setstacksize(&attributes, std::size_t{1} << 46);
        pthread_setattr_default_np(&attributes);
        spawn_detached("video", [] {}, "video thread");
      },
      "video thread: (Resource temporarily unavailable|Cannot allocate memory)");
}

}  // namespace
}  // namespace orvelle
