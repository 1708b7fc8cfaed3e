// The clock's zone conversions: offset in force at a local time, and UTC to local time.
#include <gtest/gtest.h>

#include "platform/Clock.h"

namespace {

long long MinutesOf(const port::LocalTime& t) {
  // Days from civil (proleptic Gregorian), enough for comparing two nearby times.
  int y = t.year - (t.month <= 2);
  int era = (y >= 0 ? y : y - 399) / 400;
  int yoe = y - era * 400;
  int doy = (153 * (t.month + (t.month > 2 ? -3 : 9)) + 2) / 5 + t.day - 1;
  int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  long long days = era * 146097LL + doe;
  return days * 1440 + t.hour * 60 + t.minute;
}

TEST(ClockZoneTest, UtcToLocalAppliesTheOffsetInForceThen) {
  for (port::LocalTime utc : {port::LocalTime{2024, 1, 15, 12, 0, 0, 250}, port::LocalTime{2024, 7, 15, 23, 59, 59, 999},
                              port::LocalTime{2023, 12, 31, 23, 30, 5, 0}}) {
    port::LocalTime local = port::UtcToLocal(utc);
    EXPECT_EQ(local.millisecond, utc.millisecond);
    EXPECT_EQ(local.second, utc.second);
    EXPECT_EQ(MinutesOf(local) - MinutesOf(utc), port::UtcOffsetMinutesAt(local));
  }
}

TEST(ClockZoneTest, OffsetNowMatchesTheOffsetAtTheCurrentTime) {
  port::LocalTime now = port::Now();
  // Away from a change of daylight saving the two agree (tests do not run in that hour).
  EXPECT_EQ(port::UtcOffsetMinutesAt(now), port::UtcOffsetMinutes());
}

TEST(ClockZoneTest, PlaceholderDatesUseTheCurrentOffset) {
  port::LocalTime epoch{1899, 12, 30, 0, 0, 0, 0};
  EXPECT_EQ(port::UtcOffsetMinutesAt(epoch), port::UtcOffsetMinutes());
  port::LocalTime local = port::UtcToLocal(epoch);
  EXPECT_EQ(MinutesOf(local) - MinutesOf(epoch), port::UtcOffsetMinutes());
}

}  // namespace
