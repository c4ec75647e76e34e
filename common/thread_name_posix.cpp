#include "common/thread_name.h"

#include <pthread.h>

namespace orvelle {

void name_this_thread(std::string_view name) {
  // The system keeps at most 15 bytes of a name.
  std::string cut(name.substr(0, 15));
  pthread_setname_np(pthread_self(), cut.c_str());
}

}  // namespace orvelle
