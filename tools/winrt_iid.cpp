// Prints the interface id of each WinRT type signature given as an argument,
// for writing the ids of parameterised interfaces into our declarations:
//   build/native/winrt-iid 'pinterface({9fc2b0bb-e446-44e2-aa61-9cab8f636af2};b1)'

#include "common/winrt_iid.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: winrt-iid <type signature>...\n", stderr);
    return 2;
  }
  for (int i = 1; i < argc; ++i)
    std::printf("%s  %s\n", orvelle::guid_text(orvelle::winrt_iid(argv[i])).c_str(), argv[i]);
  return 0;
}
