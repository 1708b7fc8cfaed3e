// The printed-report form of amounts, "#,###.#0", with the locale's separators given.
#include <gtest/gtest.h>

#include "base/uVX_Currency.h"

namespace {

std::u16string Report(const char16_t* aDecimal, std::u16string_view aDecimalSep = u".",
                      std::u16string_view aThousandSep = u",") {
  tVX_Currency value;
  EXPECT_TRUE(tVX_Currency::TryParseDecimal(aDecimal, value));
  return value.ToReportString(aDecimalSep, aThousandSep);
}

TEST(ReportAmount, TwoDecimalsGroupsAndNoLeadingZero) {
  EXPECT_EQ(Report(u"25"), u"25.00");
  EXPECT_EQ(Report(u"0.5"), u".50");
  EXPECT_EQ(Report(u"0"), u".00");
  EXPECT_EQ(Report(u"-5"), u"-5.00");
  EXPECT_EQ(Report(u"999.99"), u"999.99");
  EXPECT_EQ(Report(u"1000"), u"1,000.00");
  EXPECT_EQ(Report(u"-1234567.8"), u"-1,234,567.80");
  EXPECT_EQ(Report(u"123456"), u"123,456.00");
  EXPECT_EQ(Report(u"922337203685477.5807"), u"922,337,203,685,477.58");
  EXPECT_EQ(tVX_Currency::FromUnits(INT64_MIN).ToReportString(u".", u","), u"-922,337,203,685,477.58");
}

TEST(ReportAmount, RoundsHalfAwayFromZeroAndDropsTheSignOfZero) {
  EXPECT_EQ(Report(u"0.125"), u".13");
  EXPECT_EQ(Report(u"-0.125"), u"-.13");
  EXPECT_EQ(Report(u"0.1249"), u".12");
  EXPECT_EQ(Report(u"9.995"), u"10.00");
  EXPECT_EQ(Report(u"999.995"), u"1,000.00");
  EXPECT_EQ(Report(u"-0.0049"), u".00");
}

TEST(ReportAmount, UsesTheSeparatorsItIsGiven) {
  EXPECT_EQ(Report(u"1234.5", u",", u"."), u"1.234,50");
  EXPECT_EQ(Report(u"1234.5", u".", u""), u"1234.50");
  EXPECT_EQ(Report(u"1234567.5", u",", u"\u202F"), u"1\u202F234\u202F567,50");
  EXPECT_EQ(Report(u"0.5", u",", u"."), u",50");
}

}  // namespace
