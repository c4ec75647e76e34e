#include "support/thread_name.h"

#include <pthread.h>

namespace orvelle::clips {

void name_threads_as_the_program_does() {}

std::string current_thread_name() {
  char name[16] = {};
  pthread_getname_np(pthread_self(), name, sizeof name);
  return name;
}

}  // namespace orvelle::clips
