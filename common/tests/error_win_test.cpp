// The error text against the real system message tables (under Wine here).

#include "common/win/error.h"

#include <gtest/gtest.h>

namespace orvelle::win {
namespace {

TEST(ErrorWin, SystemMessages) {
  install_system_messages();
  std::string file = hresult_error(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)).text();
  EXPECT_TRUE(file.ends_with(" (0x80070002)")) << file;
  EXPECT_GT(file.size(), 13u);
  EXPECT_FALSE(file.starts_with(" ")) << file;
  EXPECT_EQ(file.find('\r'), std::string::npos);
  EXPECT_EQ(file.find('\n'), std::string::npos);
  // A code with 0x10000000 set is an NT status, looked up in ntdll's table;
  // Wine's ntdll has none, so there the code stands alone.
  std::string nt = WinError{0xD0000022u, ""}.text();  // STATUS_ACCESS_DENIED
  EXPECT_TRUE(nt == "0xD0000022" || (nt.ends_with(" (0xD0000022)") && nt.size() > 13)) << nt;
  EXPECT_EQ(WinError({0x80004005u, "own"}).text(), "own (0x80004005)");
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(last_error().code, 0x80070005u);
}

}  // namespace
}  // namespace orvelle::win
