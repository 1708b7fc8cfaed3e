// Host strings (BSTR): the text goes in and comes back whole, NULs and all, and the length is
// what the host reads.
#include <gtest/gtest.h>

#include "platform/HostString.h"

namespace {

TEST(HostStringTest, KeepsTheWholeTextByItsStoredLength) {
  std::u16string text(u"a\0b\u00e9\U0001F600", 6);
  BSTR value = port::NewHostString(text);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(SysStringLen(value), 6u);
  EXPECT_EQ(port::HostStringText(value), text);
  EXPECT_EQ(value[6], u'\0');  // terminated for hosts that read up to the NUL
  port::FreeHostString(value);

  BSTR empty = port::NewHostString(u"");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringLen(empty), 0u);
  EXPECT_EQ(port::HostStringText(empty), u"");
  port::FreeHostString(empty);

  EXPECT_EQ(port::HostStringText(nullptr), u"");
  port::FreeHostString(nullptr);
}

// The BSTR functions a host calls: the module's own on Linux, oleaut32's on Windows.
TEST(HostStringTest, TheHostFunctionsReadLengthsAndAcceptNull) {
  BSTR value = port::NewHostString(u"abc");
  EXPECT_EQ(SysStringLen(value), 3u);
  EXPECT_EQ(SysStringByteLen(value), 6u);
  SysFreeString(value);

  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  BSTR sized = SysAllocStringLen(nullptr, 4);
  ASSERT_NE(sized, nullptr);
  EXPECT_EQ(SysStringLen(sized), 4u);
  EXPECT_EQ(sized[4], 0);
  SysFreeString(sized);

  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
}

}  // namespace
