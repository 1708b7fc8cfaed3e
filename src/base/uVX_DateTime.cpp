#include "base/uVX_DateTime.h"

#include <cmath>
#include <cstdint>

namespace vxdate {
namespace {

constexpr int64_t kMsPerDay = 86400000;

// Days from 0001-01-01 to the given date (0001-01-01 itself is day 0).
int64_t DaysFromCivilStart(int aYear, int aMonth, int aDay) {
  static const int kCumulative[2][13] = {
      {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
      {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335}};
  int64_t y = aYear - 1;
  return y * 365 + y / 4 - y / 100 + y / 400 + kCumulative[IsLeapYear(aYear)][aMonth] + aDay - 1;
}

// 1899-12-30 counted from 0001-01-01.
const int64_t kDelta = DaysFromCivilStart(1899, 12, 30);

void CivilFromDays(int64_t aDays, int& aYear, int& aMonth, int& aDay) {
  // aDays counted from 0001-01-01 (day 0).
  int64_t n400 = aDays / 146097, rest = aDays % 146097;
  int64_t n100 = rest / 36524;
  if (n100 == 4) n100 = 3;
  rest -= n100 * 36524;
  int64_t n4 = rest / 1461;
  rest %= 1461;
  int64_t n1 = rest / 365;
  if (n1 == 4) n1 = 3;
  rest -= n1 * 365;
  aYear = static_cast<int>(n400 * 400 + n100 * 100 + n4 * 4 + n1 + 1);
  aMonth = 1;
  while (rest >= DaysInMonth(aYear, aMonth)) rest -= DaysInMonth(aYear, aMonth++);
  aDay = static_cast<int>(rest + 1);
}

}  // namespace

bool IsLeapYear(int aYear) { return (aYear % 4 == 0 && aYear % 100 != 0) || aYear % 400 == 0; }

int DaysInMonth(int aYear, int aMonth) {
  static const int kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return aMonth == 2 && IsLeapYear(aYear) ? 29 : kDays[aMonth];
}

bool IsValidDate(int aYear, int aMonth, int aDay) {
  return aYear >= 1 && aYear <= 9999 && aMonth >= 1 && aMonth <= 12 && aDay >= 1 &&
         aDay <= DaysInMonth(aYear, aMonth);
}

bool TryEncodeDate(int aYear, int aMonth, int aDay, tDateTime& aResult) {
  if (!IsValidDate(aYear, aMonth, aDay)) return false;
  aResult = static_cast<double>(DaysFromCivilStart(aYear, aMonth, aDay) - kDelta);
  return true;
}

bool TryEncodeTime(int aHour, int aMinute, int aSecond, int aMillisecond, tDateTime& aResult) {
  if (aHour < 0 || aHour > 23 || aMinute < 0 || aMinute > 59 || aSecond < 0 || aSecond > 59 ||
      aMillisecond < 0 || aMillisecond > 999)
    return false;
  aResult = static_cast<double>(((aHour * 60 + aMinute) * 60 + aSecond) * 1000 + aMillisecond) / kMsPerDay;
  return true;
}

bool TryEncodeDateTime(const tVX_DateTimeParts& aParts, tDateTime& aResult) {
  tDateTime date = 0, time = 0;
  if (!TryEncodeDate(aParts.year, aParts.month, aParts.day, date) ||
      !TryEncodeTime(aParts.hour, aParts.minute, aParts.second, aParts.millisecond, time))
    return false;
  // Before 1899-12-30 the day count is negative while the time of day still counts forward.
  aResult = date < 0 ? date - time : date + time;
  return true;
}

tVX_DateTimeParts Decode(tDateTime aValue) {
  double scaled = aValue * kMsPerDay;
  int64_t totalMs = static_cast<int64_t>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
  int64_t days = totalMs / kMsPerDay;  // truncates toward zero
  int64_t timeMs = (totalMs < 0 ? -totalMs : totalMs) % kMsPerDay;
  tVX_DateTimeParts p;
  CivilFromDays(days + kDelta, p.year, p.month, p.day);
  p.hour = static_cast<int>(timeMs / 3600000);
  p.minute = static_cast<int>(timeMs / 60000 % 60);
  p.second = static_cast<int>(timeMs / 1000 % 60);
  p.millisecond = static_cast<int>(timeMs % 1000);
  return p;
}

tDateTime FromLocalTime(const port::LocalTime& aTime) {
  tDateTime result = 0;
  TryEncodeDateTime({aTime.year, aTime.month, aTime.day, aTime.hour, aTime.minute, aTime.second,
                     aTime.millisecond},
                    result);
  return result;
}

tDateTime Now() { return FromLocalTime(port::Now()); }

tDateTime DateOf(tDateTime aValue) { return std::trunc(aValue); }

int TimeOfDayMs(tDateTime aValue) {
  tVX_DateTimeParts p = Decode(aValue);
  return ((p.hour * 60 + p.minute) * 60 + p.second) * 1000 + p.millisecond;
}

}  // namespace vxdate
