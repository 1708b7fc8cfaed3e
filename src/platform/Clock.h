#pragma once
// Local wall-clock time and sleeping.
#include <cstdint>

namespace port {

struct LocalTime {
  int year = 0, month = 0, day = 0;  // month 1..12, day 1..31
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The local date and time now, to the millisecond (or the test override, below).
LocalTime Now();

// Minutes east of UTC of the local time zone at this moment (+60 for Central European Time),
// daylight saving included.
int UtcOffsetMinutes();

// Minutes east of UTC in force at the local wall-clock time aLocal (that date's daylight saving
// included). Before 1970 the zone's historic local mean times are not used: the current offset
// stands in, so both targets agree on placeholder dates such as 1899-12-30.
int UtcOffsetMinutesAt(const LocalTime& aLocal);

// The local wall-clock time of the UTC time aUtc (milliseconds kept). Before 1970, as above, the
// current offset is applied.
LocalTime UtcToLocal(const LocalTime& aUtc);

// Blocks the calling thread for at least aMilliseconds.
void SleepMs(int aMilliseconds);

// Lets a test fix the clock (a time just before midnight, a given day). nullptr restores the
// system clock. Not thread-safe against concurrent Now() calls: set it before the work starts.
using NowFunction = LocalTime (*)();
void OverrideNowForTesting(NowFunction aNow);

}  // namespace port
