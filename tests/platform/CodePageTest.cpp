#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/Error.h"

namespace {

TEST(CodePage, Latin1MapsEachUnitToOneByteAndBack) {
  EXPECT_EQ(port::EncodeCodePage(u"A\u00E9\u00FF\u0080", 0), std::string("A\xE9\xFF\x80"));
  // Above 255 there is no byte: '?' for each code unit.
  EXPECT_EQ(port::EncodeCodePage(u"x\u20ACy\U0001F600z", 0), "x?y??z");
  EXPECT_EQ(port::DecodeCodePage(std::string("\x01\x80\xFF", 3), 0), u"\u0001\u0080\u00FF");
}

TEST(CodePage, WindowsCodePagesEncodeAndDecode) {
  EXPECT_EQ(port::EncodeCodePage(u"A\u00E9\u20AC", 1252), "A\xE9\x80");
  EXPECT_EQ(port::DecodeCodePage("A\xE9\x80", 1252), u"A\u00E9\u20AC");
  EXPECT_EQ(port::EncodeCodePage(u"\u00E9\u00C7", 437), "\x82\x80");
  EXPECT_EQ(port::DecodeCodePage("\x82\x80", 437), u"\u00E9\u00C7");
  EXPECT_EQ(port::EncodeCodePage(u"\u00E9\u20AC", 65001), "\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(port::EncodeCodePage(u"\u0416", 1251), "\xC6");
  EXPECT_EQ(port::EncodeCodePage(u"", 1252), "");
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks) {
  // No best-fit look-alike ("O" for an omega, "A" for an A with a macron).
  EXPECT_EQ(port::EncodeCodePage(u"a\u03A9b", 1252), "a?b");
  EXPECT_EQ(port::EncodeCodePage(u"\u0100\u0416", 437), "??");
}

TEST(CodePage, UnknownCodePageIsRefused) {
  try {
    port::EncodeCodePage(u"abc", 12345);
    FAIL() << "no error";
  } catch (const tVX_Error& e) {
    EXPECT_EQ(e.Message(), u"Code page 12345 is not supported");
  }
  EXPECT_THROW(port::DecodeCodePage("", 12345), tVX_Error);
}

TEST(CodePage, AnsiCodePageIsAnEightBitCodePage) {
  uint32_t ansi = port::AnsiCodePage();
  EXPECT_NE(ansi, 0u);
  EXPECT_EQ(port::EncodeCodePage(u"Secret 123", ansi), "Secret 123");
}

}  // namespace
