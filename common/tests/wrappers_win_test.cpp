// The handle and HSTRING owners against the real system calls.

#include "common/win/handle.h"
#include "common/win/hstring.h"

#include <gtest/gtest.h>

namespace orvelle::win {
namespace {

TEST(HString, MakesReadsAndDeletes) {
  auto s = HString::make(L"Windows.Graphics.Capture.GraphicsCaptureItem");
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->utf8(), "Windows.Graphics.Capture.GraphicsCaptureItem");

  HString copy;
  ASSERT_EQ(WindowsDuplicateString(s->get(), copy.put()), S_OK);
  EXPECT_EQ(copy.view(), s->view());
  HString moved = std::move(copy);
  EXPECT_EQ(copy.get(), nullptr);
  EXPECT_EQ(moved.view(), u"Windows.Graphics.Capture.GraphicsCaptureItem");

  auto empty = HString::make(L"");
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(empty->get(), nullptr);
  EXPECT_EQ(empty->utf8(), "");

  std::wstring lone = {L'a', wchar_t(0xD800)};
  EXPECT_EQ(HString::make(lone)->utf8(), "a\xEF\xBF\xBD");
}

TEST(Handle, ClosesWhatItOwns) {
  HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(raw, nullptr);
  {
    Handle h(raw);
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(h.get(), &flags));
  }
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(raw, &flags));
  EXPECT_FALSE(Handle(INVALID_HANDLE_VALUE));
}

}  // namespace
}  // namespace orvelle::win
