#pragma once
// Date and time text in the machine's locale, for version texts and printed reports.
#include <string>

namespace port {

// The date written in the locale's short date format (Windows: the user's default locale;
// POSIX: the LC_TIME locale of the environment, the C locale when that cannot be loaded).
// aMonth 1..12, aDay 1..31.
std::u16string ShortDateText(int aYear, int aMonth, int aDay);

// The time of day written in the locale's long time format (with seconds).
std::u16string LongTimeText(int aHour, int aMinute, int aSecond);

}  // namespace port
