#include "common/fatal.h"

#include "common/console.h"

#include <cstdlib>

namespace orvelle {

void fatal(std::string_view message) {
  write_line(Stream::err, message);
  std::abort();
}

}  // namespace orvelle
