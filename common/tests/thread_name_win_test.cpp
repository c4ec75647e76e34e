// SetThreadDescription is found at run time; where the system has it, the
// name reads back through its counterpart.

#include "common/thread_name.h"
#include "common/win/owner.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace orvelle {
namespace {

using GetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE thread, PWSTR* description);

TEST(ThreadName, ASpawnedThreadCarriesItsName) {
  auto get_description = reinterpret_cast<GetThreadDescriptionFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription")));
  std::wstring seen;
  spawn_named_thread("encoder", "encoder thread", [&] {
    if (!get_description) return;
    win::LocalMemory<wchar_t> description;
    if (SUCCEEDED(get_description(GetCurrentThread(), description.put())))
      seen = description.get();
  }).join();
  if (!get_description) GTEST_SKIP() << "this system names no threads";
  EXPECT_EQ(seen, L"encoder");
}

}  // namespace
}  // namespace orvelle
