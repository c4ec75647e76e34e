// The owners and the HSTRING wrapper against the real system calls.

#include "common/win/owner.h"
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

  Handle kept(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  HANDLE back = kept.release();
  EXPECT_FALSE(kept);
  EXPECT_TRUE(GetHandleInformation(back, &flags));  // released, not closed
  Handle(back).reset();
  EXPECT_FALSE(GetHandleInformation(back, &flags));
}

TEST(Owner, EachKindLetsGoItsOwnWay) {
  PropVariant v;
  EXPECT_FALSE(v);
  PROPVARIANT* slot = v.put();
  slot->vt = VT_BSTR;
  slot->bstrVal = SysAllocString(L"mic");
  EXPECT_TRUE(v);
  v.reset();  // PropVariantClear frees the string and empties the variant
  EXPECT_EQ(v.get().vt, VT_EMPTY);

  Bstr b(SysAllocString(L"text"));
  EXPECT_EQ(SysStringLen(b.get()), 4u);
  Bstr moved = std::move(b);
  EXPECT_FALSE(b);
  EXPECT_TRUE(moved);

  Module m(LoadLibraryW(L"ole32.dll"));
  EXPECT_TRUE(m);
  EXPECT_TRUE(GetProcAddress(m.get(), "CoTaskMemFree"));

  CoTaskMemory<wchar_t> task(static_cast<wchar_t*>(CoTaskMemAlloc(16)));
  EXPECT_TRUE(task);
  LocalMemory<wchar_t> local(static_cast<wchar_t*>(LocalAlloc(LMEM_FIXED, 16)));
  EXPECT_TRUE(local);
}

}  // namespace
}  // namespace orvelle::win
