#pragma once
// The module's date-time value: days since 1899-12-30 00:00 local time as a double, the time of
// day being the fraction; 0 is "no date". All calendar arithmetic lives here.
#include <string>
#include <string_view>

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

// ---- ISO 8601 with milliseconds and UTC offset (the terminal's date-time form) ----

// "2024-03-15T14:07:09.123+01:00": aValue's calendar parts, then "Z" when aOffsetMinutes (east
// of UTC) is 0, else the sign and the offset as hh:mm.
std::u16string ToIso8601(tDateTime aValue, int aOffsetMinutes);
// aValue taken as local time, with the local zone's offset in force at that moment.
std::u16string ToIso8601Local(tDateTime aValue);
// The current local time in that form.
std::u16string NowIso8601();

// Reads YYYY-MM-DDTHH:MM[:SS[.fraction]] followed by nothing, "Z", or an offset written
// +hh:mm, +hhmm or +hh (either sign); fractions beyond milliseconds are cut. aParts gets the
// wall-clock parts as written; aOffsetMinutes the offset (0 for "Z"); aHasOffset whether one was
// given. False for anything else, an impossible date or time included.
bool TryParseIso8601(std::u16string_view aText, tVX_DateTimeParts& aParts, int& aOffsetMinutes, bool& aHasOffset);
// The text converted to local time: a given offset or "Z" is honoured; text without one is taken
// as local time already. False when the text does not parse.
bool TryIso8601ToLocal(std::u16string_view aText, tDateTime& aResult);

}  // namespace vxdate
