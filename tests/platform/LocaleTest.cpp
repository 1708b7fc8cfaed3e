// Date and time texts in the machine's locale: whatever the locale, the parts must show.
#include <gtest/gtest.h>

#include "base/uVX_Text.h"
#include "platform/Locale.h"

namespace {

bool Contains(const std::u16string& aText, std::u16string_view aPart) {
  return aText.find(aPart) != std::u16string::npos;
}

TEST(LocaleTest, ShortDateShowsDayMonthAndYear) {
  std::u16string date = port::ShortDateText(2024, 12, 31);
  EXPECT_TRUE(Contains(date, u"31") && Contains(date, u"12") && Contains(date, u"24")) << vxtext::Utf8(date);
  EXPECT_LE(date.size(), 12u) << vxtext::Utf8(date);  // short: no month or day names
  // Day and month are told apart by their position.
  std::u16string january8 = port::ShortDateText(2024, 1, 8);
  std::u16string august1 = port::ShortDateText(2024, 8, 1);
  EXPECT_TRUE(Contains(january8, u"8") && Contains(january8, u"24")) << vxtext::Utf8(january8);
  EXPECT_NE(january8, august1);
  EXPECT_NE(port::ShortDateText(2023, 1, 8), january8);
}

TEST(LocaleTest, LongTimeShowsHoursMinutesAndSeconds) {
  std::u16string morning = port::LongTimeText(6, 45, 56);
  EXPECT_TRUE(Contains(morning, u"6") && Contains(morning, u"45") && Contains(morning, u"56"))
      << vxtext::Utf8(morning);
  std::u16string evening = port::LongTimeText(18, 45, 56);
  EXPECT_NE(morning, evening);  // a 12-hour clock marks the half of the day
  std::u16string padded = port::LongTimeText(9, 5, 7);
  EXPECT_TRUE(Contains(padded, u"05") && Contains(padded, u"07")) << vxtext::Utf8(padded);
}

}  // namespace
