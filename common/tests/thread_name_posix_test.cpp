#include "common/thread_name.h"

#include <gtest/gtest.h>

#include <pthread.h>

namespace orvelle {
namespace {

std::string this_thread_name() {
  char name[64] = {};
  pthread_getname_np(pthread_self(), name, sizeof name);
  return name;
}

TEST(ThreadName, ASpawnedThreadCarriesItsName) {
  std::string seen, cut;
  spawn_named_thread("encoder", "encoder thread", [&] { seen = this_thread_name(); }).join();
  spawn_named_thread("a name longer than the system keeps", "thread", [&] {
    cut = this_thread_name();
  }).join();
  EXPECT_EQ(seen, "encoder");
  EXPECT_EQ(cut, "a name longer t");
}

}  // namespace
}  // namespace orvelle
