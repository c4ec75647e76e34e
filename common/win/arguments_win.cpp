#include "common/win/arguments.h"

#include "common/console.h"
#include "common/utf.h"
#include "common/win/owner.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cwchar>
#include <fmt/format.h>

namespace orvelle::win {

std::vector<std::string> utf8_arguments(std::string_view prefix) {
  int count = 0;
  LocalMemory<wchar_t*> owned(CommandLineToArgvW(GetCommandLineW(), &count));
  wchar_t** argv = owned.get();
  std::vector<std::string> args;
  for (int i = 1; argv && i < count; ++i) {
    std::u16string_view arg(reinterpret_cast<const char16_t*>(argv[i]), std::wcslen(argv[i]));
    std::string utf8 = utf16_to_utf8(arg);
    if (utf8_to_utf16(utf8) != arg) {
      write_line(Stream::err, fmt::format("{}argument {} is not valid Unicode", prefix, i));
      std::exit(2);
    }
    args.push_back(std::move(utf8));
  }
  return args;
}

}  // namespace orvelle::win
