#include "common/win_error.h"

#include <gtest/gtest.h>

namespace orvelle {
namespace {

class WinErrorText : public testing::Test {
 protected:
  void SetUp() override {
    set_message_lookup([](std::uint32_t code) -> std::string {
      return code == 0x80070002u ? "The system cannot find the file specified.\r\n" : "";
    });
  }
  void TearDown() override { set_message_lookup(nullptr); }
};

TEST_F(WinErrorText, MessageThenCode) {
  EXPECT_EQ(WinError({0x80004005u, "nothing recorded yet"}).text(),
            "nothing recorded yet (0x80004005)");
  // The looked-up text loses its trailing white space.
  EXPECT_EQ(WinError({0x80070002u, ""}).text(),
            "The system cannot find the file specified. (0x80070002)");
  EXPECT_EQ(WinError({0xC00D36D5u, ""}).text(), "0xC00D36D5");  // nothing known: the code alone
  EXPECT_EQ(WinError({0u, ""}).text(), "0x00000000");
  EXPECT_EQ(WinError({0x80004005u, "own text \n"}).text(), "own text (0x80004005)");
}

}  // namespace
}  // namespace orvelle
