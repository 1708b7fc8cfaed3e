// Dates and date-times in their XML form.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/uVX_Base_XmlDates.h"
#include "base/uVX_Text.h"
#include "platform/Error.h"

namespace {

tDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  tDateTime value = 0;
  EXPECT_TRUE(vxdate::TryEncodeDateTime({y, mo, d, h, mi, s, ms}, value));
  return value;
}

std::u16string DateError(std::u16string_view aText, bool aWithTime) {
  try {
    aWithTime ? XmlStringToDateTime(aText) : XmlStringToDate(aText);
  } catch (const tVX_Error& e) {
    return e.Message();
  }
  return u"(read)";
}

TEST(XmlDatesTest, WritesFixedWidthFieldsWithoutZone) {
  EXPECT_EQ(DateTimeToXmlString(false, At(2024, 1, 8, 6, 45, 56, 123)), u"2024-01-08T06:45:56");
  EXPECT_EQ(DateTimeToXmlString(true, At(2024, 1, 8, 6, 45, 56, 123)), u"2024-01-08T06:45:56.123");
  EXPECT_EQ(DateTimeToXmlString(true, At(987, 12, 31, 23, 5, 9, 7)), u"0987-12-31T23:05:09.007");
  EXPECT_EQ(DateTimeToXmlString(false, 0), u"1899-12-30T00:00:00");
  EXPECT_EQ(DateTimeToXmlString(false, At(1899, 12, 29, 6)), u"1899-12-29T06:00:00");
  // Rounded to the millisecond, which may carry into the next second.
  EXPECT_EQ(DateTimeToXmlString(true, At(2024, 1, 8, 6, 45, 56, 999) + 0.6 / 86400000.0), u"2024-01-08T06:45:57.000");
  for (double odd : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e300, -1e7})
    EXPECT_EQ(DateTimeToXmlString(true, odd), u"1899-12-30T00:00:00.000") << odd;
}

TEST(XmlDatesTest, ReadsDatesByCharacterPosition) {
  EXPECT_EQ(XmlStringToDate(u"2024-01-08"), At(2024, 1, 8));
  EXPECT_EQ(XmlStringToDate(u"2024/01/08"), At(2024, 1, 8));  // separators are not examined
  EXPECT_EQ(XmlStringToDate(u"2024-01-08T23:59:59.999+02:00"), At(2024, 1, 8));
  EXPECT_EQ(XmlStringToDate(u"2024-01-8"), At(2024, 1, 8));  // the characters that exist
  EXPECT_EQ(DateError(u"2024-13-01", false), u"Date Format invalid: [2024-13-01]");
  for (std::u16string_view bad : {u"", u"2024", u"2024-01", u"2024-1-08", u"24-01-08", u"2023-02-29", u"0000-01-01",
                                  u"2024-01- 8", u"abcd-01-08", u"2024-00-10"})
    EXPECT_EQ(DateError(bad, false), u"Date Format invalid: [" + std::u16string(bad) + u"]") << vxtext::Utf8(bad);
}

TEST(XmlDatesTest, ReadsDateTimesWithTheMillisecondRule) {
  EXPECT_EQ(XmlStringToDateTime(u"2024-01-08T06:45:56"), At(2024, 1, 8, 6, 45, 56));
  EXPECT_EQ(XmlStringToDateTime(u"2024-01-08T06:45:56.5"), At(2024, 1, 8, 6, 45, 56, 5));
  EXPECT_EQ(XmlStringToDateTime(u"2024-01-08T06:45:56.12"), At(2024, 1, 8, 6, 45, 56, 12));
  EXPECT_EQ(XmlStringToDateTime(u"2024-01-08 06:45:56.123Z"), At(2024, 1, 8, 6, 45, 56, 123));
  EXPECT_EQ(XmlStringToDateTime(u"2024-01-08T06:45:56.1234567"), At(2024, 1, 8, 6, 45, 56, 123));
  EXPECT_EQ(XmlStringToDateTime(u"2024-01-08T06:45:56Z"), At(2024, 1, 8, 6, 45, 56));
  EXPECT_EQ(XmlStringToDateTime(u"2024-01-08T06:45:56+01:00"), At(2024, 1, 8, 6, 45, 56));
  EXPECT_EQ(XmlStringToDateTime(u"2024-01-08T23:59:59.999"), At(2024, 1, 8, 23, 59, 59, 999));
  EXPECT_EQ(DateError(u"2024-01-08", true), u"DateTime Format invalid: [2024-01-08]");
  for (std::u16string_view bad : {u"", u"2024-01-08T24:00:00", u"2024-01-08T06:60:00", u"2024-01-08T06:45:60",
                                  u"2024-02-30T06:45:56", u"2024-01-08T06:45", u"2024-01-08T6:45:56"})
    EXPECT_EQ(DateError(bad, true), u"DateTime Format invalid: [" + std::u16string(bad) + u"]") << vxtext::Utf8(bad);
}

TEST(XmlDatesTest, RoundTripsToTheMillisecond) {
  for (tDateTime value :
       {At(2024, 2, 29, 0, 0, 0, 1), At(1, 1, 1), At(9999, 12, 31, 23, 59, 59, 999), At(1850, 6, 1, 12)}) {
    std::u16string text = DateTimeToXmlString(true, value);
    EXPECT_EQ(DateTimeToXmlString(true, XmlStringToDateTime(text)), text);
    EXPECT_NEAR(XmlStringToDateTime(text), value, 1e-9) << vxtext::Utf8(text);
  }
}

}  // namespace
