#pragma once
// COM in the multithreaded apartment and Media Foundation started, as the
// record session has them, for the tests' process.

#include <mfapi.h>
#include <objbase.h>

namespace orvelle::clips {

inline void start_media_foundation() {
  static const bool started = [] {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    return SUCCEEDED(MFStartup(MF_VERSION, MFSTARTUP_FULL));
  }();
  (void)started;
}

}  // namespace orvelle::clips
