#pragma once
// Dates and date-times as they travel in XML: YYYY-MM-DD and YYYY-MM-DDTHH:MM:SS with optional
// ".zzz" milliseconds; no time zone is written, and one that is read is ignored.
#include <string>
#include <string_view>

#include "base/uVX_DateTime.h"

// 2024-01-08T06:45:56, or 2024-01-08T06:45:56.123 with aWithMilliseconds. A value that is not a
// date-time of the years 1 to 9999 (not finite, or out of range) is written as the zero date-time.
std::u16string DateTimeToXmlString(bool aWithMilliseconds, tDateTime aValue);

// Year from characters 1-4, month 6-7, day 9-10 (counted from 1); the separators and anything
// after the day are not examined. Throws tVX_Error "Date Format invalid: [<text>]".
tDateTime XmlStringToDate(std::u16string_view aText);

// As XmlStringToDate, then hour 12-13, minute 15-16, second 18-19 and milliseconds from the
// characters 21-23 that exist (0 when absent or not a number: ".5" is 5 ms, a zone suffix right
// after the seconds gives 0 ms). Throws tVX_Error "DateTime Format invalid: [<text>]".
tDateTime XmlStringToDateTime(std::u16string_view aText);
