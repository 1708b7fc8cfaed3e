// The module's value types: amounts, date-times and text conversions.
#include <gtest/gtest.h>

#include "base/uVX_Currency.h"
#include "base/uVX_DateTime.h"
#include "base/uVX_Text.h"
#include "platform/Utf8.h"

namespace {

tVX_Currency Parse(std::u16string_view text) {
  tVX_Currency value = tVX_Currency::FromUnits(-777);
  EXPECT_TRUE(tVX_Currency::TryParseDecimal(text, value)) << vxtext::Utf8(text);
  return value;
}

TEST(CurrencyTest, ParsesDecimalTextWithPointWhateverTheLocale) {
  EXPECT_EQ(Parse(u"12.5").Units(), 125000);
  EXPECT_EQ(Parse(u"-0.0001").Units(), -1);
  EXPECT_EQ(Parse(u"+3").Units(), 30000);
  EXPECT_EQ(Parse(u"1e3").Units(), 10000000);
  EXPECT_EQ(Parse(u"1.5E-2").Units(), 150);
  EXPECT_EQ(Parse(u".5").Units(), 5000);
  EXPECT_EQ(Parse(u"7.").Units(), 70000);
  EXPECT_EQ(Parse(u"000012.30000").Units(), 123000);
  EXPECT_EQ(Parse(u"922337203685477.5807").Units(), INT64_MAX);
  EXPECT_EQ(Parse(u"-922337203685477.5808").Units(), INT64_MIN);
}

TEST(CurrencyTest, RoundsBeyondFourDecimalsHalfToEven) {
  EXPECT_EQ(Parse(u"0.00005").Units(), 0);
  EXPECT_EQ(Parse(u"0.00015").Units(), 2);
  EXPECT_EQ(Parse(u"0.000150001").Units(), 2);
  EXPECT_EQ(Parse(u"0.00006").Units(), 1);
  EXPECT_EQ(Parse(u"1e-30").Units(), 0);
}

TEST(CurrencyTest, RefusesGroupingWordsAndOverflow) {
  tVX_Currency value;
  for (auto text : {u"1,234.50", u"abc", u"", u"-", u".", u"1e", u"1.2.3", u"12 5", u"922337203685477.5808",
                    u"1e20", u"0x10", u"12,5"})
    EXPECT_FALSE(tVX_Currency::TryParseDecimal(text, value)) << vxtext::Utf8(text);
}

TEST(CurrencyTest, WritesPlainDecimalForm) {
  EXPECT_EQ(tVX_Currency::FromUnits(125000).ToPlainString(), u"12.5");
  EXPECT_EQ(tVX_Currency::FromUnits(1000000).ToPlainString(), u"100");
  EXPECT_EQ(tVX_Currency::FromUnits(0).ToPlainString(), u"0");
  EXPECT_EQ(tVX_Currency::FromUnits(-1).ToPlainString(), u"-0.0001");
  EXPECT_EQ(tVX_Currency::FromUnits(12345000).ToPlainString(), u"1234.5");
  EXPECT_EQ(tVX_Currency::FromUnits(INT64_MIN).ToPlainString(), u"-922337203685477.5808");
}

TEST(DateTimeTest, EncodesAndDecodesAroundTheEpoch) {
  tDateTime value = -1;
  ASSERT_TRUE(vxdate::TryEncodeDate(1899, 12, 30, value));
  EXPECT_EQ(value, 0);
  ASSERT_TRUE(vxdate::TryEncodeDate(2024, 1, 8, value));
  EXPECT_EQ(value, 45299);
  ASSERT_TRUE(vxdate::TryEncodeDateTime({2024, 1, 8, 6, 45, 56, 123}, value));
  tVX_DateTimeParts p = vxdate::Decode(value);
  EXPECT_EQ(p.year, 2024);
  EXPECT_EQ(p.month, 1);
  EXPECT_EQ(p.day, 8);
  EXPECT_EQ(p.hour, 6);
  EXPECT_EQ(p.minute, 45);
  EXPECT_EQ(p.second, 56);
  EXPECT_EQ(p.millisecond, 123);
  ASSERT_TRUE(vxdate::TryEncodeDateTime({1899, 12, 29, 6, 0, 0, 0}, value));
  EXPECT_DOUBLE_EQ(value, -1.25);
  p = vxdate::Decode(value);
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.hour, 6);
}

TEST(DateTimeTest, RoundTripsEveryDayOverCenturies) {
  for (int year : {1, 1600, 1899, 1900, 2000, 2024, 2100, 9999}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= vxdate::DaysInMonth(year, month); ++day) {
        tDateTime value = 0;
        ASSERT_TRUE(vxdate::TryEncodeDateTime({year, month, day, 23, 59, 59, 999}, value));
        tVX_DateTimeParts p = vxdate::Decode(value);
        ASSERT_EQ(p.year * 10000 + p.month * 100 + p.day, year * 10000 + month * 100 + day);
        ASSERT_EQ(p.hour * 10000000 + p.minute * 100000 + p.second * 1000 + p.millisecond, 235959999);
      }
    }
  }
}

TEST(DateTimeTest, RefusesImpossibleDatesAndTimes) {
  tDateTime value = 0;
  EXPECT_FALSE(vxdate::TryEncodeDate(2023, 2, 29, value));
  EXPECT_TRUE(vxdate::TryEncodeDate(2024, 2, 29, value));
  EXPECT_FALSE(vxdate::TryEncodeDate(1900, 2, 29, value));
  EXPECT_FALSE(vxdate::TryEncodeDate(2024, 13, 1, value));
  EXPECT_FALSE(vxdate::TryEncodeDate(0, 1, 1, value));
  EXPECT_FALSE(vxdate::TryEncodeTime(24, 0, 0, 0, value));
  EXPECT_FALSE(vxdate::TryEncodeTime(0, 60, 0, 0, value));
  EXPECT_FALSE(vxdate::TryEncodeTime(0, 0, 0, 1000, value));
}

TEST(Utf8Test, RoundTripsAndReplacesMalformedInput) {
  std::u16string text = u"caf\u00e9 \u20ac \U0001F600";
  EXPECT_EQ(port::FromUtf8(port::ToUtf8(text)), text);
  EXPECT_EQ(port::ToUtf8(u"\u20ac"), "\xE2\x82\xAC");
  EXPECT_EQ(port::FromUtf8("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(port::FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong "/"
  EXPECT_EQ(port::FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(port::ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_FALSE(port::IsValidUtf8("\xFF"));
  EXPECT_TRUE(port::IsValidUtf8(port::ToUtf8(text)));
}

TEST(TextTest, ConvertsIntegersStrictly) {
  int32_t v = 0;
  EXPECT_TRUE(vxtext::TryStrToInt(u"-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_FALSE(vxtext::TryStrToInt(u"2147483648", v));
  EXPECT_FALSE(vxtext::TryStrToInt(u" 1", v));
  EXPECT_FALSE(vxtext::TryStrToInt(u"1.0", v));
  EXPECT_FALSE(vxtext::TryStrToInt(u"", v));
  EXPECT_FALSE(vxtext::TryStrToInt(u"+", v));
  EXPECT_EQ(vxtext::FormatS(u"Error %s as %s", u"100%"), u"Error 100% as %s");
  EXPECT_EQ(vxtext::ZeroPad(7, 3), u"007");
}

}  // namespace
