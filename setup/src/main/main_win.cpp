// The process entry of orvelle-setup on Windows: a windowed program, no
// console of its own; its one failure line goes to the standard error the
// installer gave it.

#include "common/win/arguments.h"
#include "common/win/error.h"
#include "main/run_setup_win.h"
#include "main/webview_page_win.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

int main() {
  using namespace orvelle;
  // A line end stays one byte in the installer's log.
  _setmode(_fileno(stderr), _O_BINARY);
  win::install_system_messages();
  return setup::run_setup(win::utf8_arguments("orvelle-setup: "), setup::start_webview_page);
}
