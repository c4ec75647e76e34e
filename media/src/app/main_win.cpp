// The process entry of orvelle-media on Windows.

#include "app/run_media.h"
#include "bridge/platform_win.h"

#include "common/utf.h"
#include "common/win/error.h"
#include "common/win/owner.h"
#include "common/win/standard_streams.h"
#include "common/win/thread_name.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

namespace {

std::vector<std::string> utf8_arguments() {
  int count = 0;
  orvelle::win::LocalMemory<wchar_t*> owned(CommandLineToArgvW(GetCommandLineW(), &count));
  wchar_t** argv = owned.get();
  std::vector<std::string> args;
  for (int i = 1; argv && i < count; ++i)
    args.push_back(orvelle::utf16_to_utf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(argv[i]), wcslen(argv[i]))));
  return args;
}

}  // namespace

int main() {
  using namespace orvelle;
  win::binary_standard_streams();
  win::install_system_messages();
  win::install_thread_names();
  (void)SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
  media::WinMediaPlatform platform;
  media::SteadyLoopClock clock;
  int code = media::run_media(utf8_arguments(), platform, clock, stdin);
  // The stdin reader may still be blocked in a read that holds the stream's
  // lock, which the runtime's exit would wait for: every line is already
  // flushed, so the process ends here at once.
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
  return code;
}
