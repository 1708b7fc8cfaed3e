// The ISO 8601 date-time form with milliseconds and UTC offset, and its reading back into local
// time through the platform's zone conversion.
#include <gtest/gtest.h>

#include <string>

#include "base/uVX_Currency.h"
#include "base/uVX_DateTime.h"
#include "base/uVX_Text.h"
#include "platform/Clock.h"

namespace {

tDateTime At(int y, int mo, int d, int h, int mi, int s, int ms) {
  tDateTime value = 0;
  EXPECT_TRUE(vxdate::TryEncodeDateTime({y, mo, d, h, mi, s, ms}, value));
  return value;
}

TEST(DateTimeIso8601Test, WritesMillisecondsAndOffsetOrZ) {
  tDateTime t = At(2024, 3, 15, 14, 7, 9, 123);
  EXPECT_EQ(vxdate::ToIso8601(t, 60), u"2024-03-15T14:07:09.123+01:00");
  EXPECT_EQ(vxdate::ToIso8601(t, 0), u"2024-03-15T14:07:09.123Z");
  EXPECT_EQ(vxdate::ToIso8601(t, 330), u"2024-03-15T14:07:09.123+05:30");
  EXPECT_EQ(vxdate::ToIso8601(t, -180), u"2024-03-15T14:07:09.123-03:00");
  EXPECT_EQ(vxdate::ToIso8601(At(7, 1, 2, 3, 4, 5, 6), -570), u"0007-01-02T03:04:05.006-09:30");
  // The placeholder "no date" still writes a well-formed text.
  EXPECT_EQ(vxdate::ToIso8601(0, 0), u"1899-12-30T00:00:00.000Z");
}

TEST(DateTimeIso8601Test, ParsesTheFormsTheTerminalMaySend) {
  struct tCase {
    std::u16string text;
    tVX_DateTimeParts parts;
    int offset;
    bool hasOffset;
  };
  const tCase cases[] = {
      {u"2024-03-15T14:07:09.123+01:00", {2024, 3, 15, 14, 7, 9, 123}, 60, true},
      {u"2024-03-15T14:07:09Z", {2024, 3, 15, 14, 7, 9, 0}, 0, true},
      {u"2024-03-15T14:07:09.1-0330", {2024, 3, 15, 14, 7, 9, 100}, -210, true},
      {u"2024-03-15T14:07:09.123456+05", {2024, 3, 15, 14, 7, 9, 123}, 300, true},
      {u"2024-03-15T14:07", {2024, 3, 15, 14, 7, 0, 0}, 0, false},
      {u"2024-02-29T23:59:59.999", {2024, 2, 29, 23, 59, 59, 999}, 0, false},
  };
  for (const tCase& c : cases) {
    tVX_DateTimeParts p;
    int offset = 99;
    bool hasOffset = !c.hasOffset;
    ASSERT_TRUE(vxdate::TryParseIso8601(c.text, p, offset, hasOffset)) << vxtext::Utf8(c.text);
    EXPECT_EQ(p.year * 10000 + p.month * 100 + p.day, c.parts.year * 10000 + c.parts.month * 100 + c.parts.day);
    EXPECT_EQ(((p.hour * 60 + p.minute) * 60 + p.second) * 1000 + p.millisecond,
              ((c.parts.hour * 60 + c.parts.minute) * 60 + c.parts.second) * 1000 + c.parts.millisecond)
        << vxtext::Utf8(c.text);
    EXPECT_EQ(offset, c.offset) << vxtext::Utf8(c.text);
    EXPECT_EQ(hasOffset, c.hasOffset) << vxtext::Utf8(c.text);
  }
}

TEST(DateTimeIso8601Test, RefusesMalformedAndImpossibleTexts) {
  for (auto text : {u"", u"2024-03-15", u"2024-03-15 14:07:09", u"2024-02-30T10:00:00", u"2024-03-15T24:00:00",
                    u"2024-03-15T14:07:09.", u"2024-03-15T14:07:09+1", u"2024-03-15T14:07:09+01:00x",
                    u"2024-3-15T14:07:09", u"2024-03-15T14:07:09+25:00", u"garbage"}) {
    tVX_DateTimeParts p;
    int offset = 0;
    bool hasOffset = false;
    EXPECT_FALSE(vxdate::TryParseIso8601(text, p, offset, hasOffset)) << vxtext::Utf8(text);
    tDateTime local = 0;
    EXPECT_FALSE(vxdate::TryIso8601ToLocal(text, local)) << vxtext::Utf8(text);
  }
}

// Whatever the machine's zone: an instant written with any offset reads back as the local time
// that writes itself, with the local offset, as the same instant.
TEST(DateTimeIso8601Test, ReadsAnInstantIntoLocalTimeAndWritesItBack) {
  for (auto text : {u"2024-03-15T14:07:09.123Z", u"2024-07-01T23:30:00.500+05:30", u"2023-12-31T22:15:00.000-03:00"}) {
    tDateTime local = 0;
    ASSERT_TRUE(vxdate::TryIso8601ToLocal(text, local));
    tVX_DateTimeParts written, back;
    int offsetWritten = 0, offsetBack = 0;
    bool has = false;
    ASSERT_TRUE(vxdate::TryParseIso8601(text, written, offsetWritten, has));
    ASSERT_TRUE(vxdate::TryParseIso8601(vxdate::ToIso8601Local(local), back, offsetBack, has));
    tDateTime a = 0, b = 0;
    ASSERT_TRUE(vxdate::TryEncodeDateTime(written, a));
    ASSERT_TRUE(vxdate::TryEncodeDateTime(back, b));
    double instantA = a - offsetWritten / 1440.0, instantB = b - offsetBack / 1440.0;
    EXPECT_NEAR(instantA, instantB, 0.5 / 86400000.0) << vxtext::Utf8(text);
    EXPECT_EQ(back.millisecond, written.millisecond);
  }
  // Without an offset the text already is local time.
  tDateTime local = 0;
  ASSERT_TRUE(vxdate::TryIso8601ToLocal(u"2024-03-15T14:07:09.123", local));
  EXPECT_EQ(local, At(2024, 3, 15, 14, 7, 9, 123));
}

TEST(DateTimeIso8601Test, NowFollowsTheClock) {
  port::OverrideNowForTesting([] { return port::LocalTime{2024, 3, 15, 14, 7, 9, 123}; });
  std::u16string now = vxdate::NowIso8601();
  port::OverrideNowForTesting(nullptr);
  EXPECT_EQ(now.substr(0, 23), u"2024-03-15T14:07:09.123");
  EXPECT_EQ(now, vxdate::ToIso8601Local(At(2024, 3, 15, 14, 7, 9, 123)));
}

TEST(CurrencyJsonTest, JsonNumberTextBothWays) {
  EXPECT_EQ(tVX_Currency::FromUnits(125000).ToJsonNumberString(), u"12.5");
  EXPECT_EQ(tVX_Currency::FromJsonNumberString(u"12.50").Units(), 125000);
  EXPECT_EQ(tVX_Currency::FromJsonNumberString(u"1e2").Units(), 1000000);
  EXPECT_EQ(tVX_Currency::FromJsonNumberString(u"12,5").Units(), 0);
  EXPECT_EQ(tVX_Currency::FromJsonNumberString(u"").Units(), 0);
}

}  // namespace
