#pragma once
// The module's date-time value: days since 1899-12-30 00:00 local time as a double, the time of
// day being the fraction; 0 is "no date". All calendar arithmetic lives here.
#include <string>

#include "platform/Clock.h"

using tDateTime = double;

struct tVX_DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

namespace vxdate {

constexpr tDateTime kZeroDateTime = 0.0;

bool IsValidDate(int aYear, int aMonth, int aDay);  // proleptic Gregorian, years 1..9999
bool IsLeapYear(int aYear);
int DaysInMonth(int aYear, int aMonth);

// False (and aResult untouched) for an impossible date or time.
bool TryEncodeDate(int aYear, int aMonth, int aDay, tDateTime& aResult);
bool TryEncodeTime(int aHour, int aMinute, int aSecond, int aMillisecond, tDateTime& aResult);
bool TryEncodeDateTime(const tVX_DateTimeParts& aParts, tDateTime& aResult);

// Calendar parts of a value, rounded to the nearest millisecond.
tVX_DateTimeParts Decode(tDateTime aValue);

tDateTime FromLocalTime(const port::LocalTime& aTime);
tDateTime Now();                      // the port's local clock
tDateTime DateOf(tDateTime aValue);   // the day without its time
// Milliseconds since midnight of the value's own day.
int TimeOfDayMs(tDateTime aValue);

}  // namespace vxdate
