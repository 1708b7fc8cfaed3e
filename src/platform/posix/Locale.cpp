#include "platform/Locale.h"

#include <clocale>
#include <ctime>
#include <langinfo.h>
#include <locale.h>

#include "platform/Utf8.h"

namespace port {
namespace {

// The environment's LC_TIME locale (LC_ALL, LC_TIME, LANG), or the C locale when the named
// locale is not installed. The handle is freed by the caller.
locale_t TimeLocale() {
  locale_t locale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr))
    locale = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

std::u16string Format(nl_item aFormatItem, const tm& aParts) {
  locale_t locale = TimeLocale();
  if (locale == static_cast<locale_t>(nullptr)) return {};
  const char* format = nl_langinfo_l(aFormatItem, locale);
  if (format == nullptr || *format == '\0') format = aFormatItem == D_FMT ? "%m/%d/%y" : "%H:%M:%S";
  char buffer[128] = {};
  size_t length = strftime_l(buffer, sizeof buffer, format, &aParts, locale);
  freelocale(locale);
  return FromUtf8(std::string_view(buffer, length));
}

}  // namespace

std::u16string ShortDateText(int aYear, int aMonth, int aDay) {
  tm parts{};
  parts.tm_year = aYear - 1900;
  parts.tm_mon = aMonth - 1;
  parts.tm_mday = aDay;
  // Let the C library fill in the day of week and of year, which some formats print.
  tm normalised = parts;
  normalised.tm_hour = 12;
  normalised.tm_isdst = -1;
  if (timegm(&normalised) != -1) {
    parts.tm_wday = normalised.tm_wday;
    parts.tm_yday = normalised.tm_yday;
  }
  return Format(D_FMT, parts);
}

std::u16string LongTimeText(int aHour, int aMinute, int aSecond) {
  tm parts{};
  parts.tm_year = 100;
  parts.tm_mday = 1;
  parts.tm_hour = aHour;
  parts.tm_min = aMinute;
  parts.tm_sec = aSecond;
  return Format(T_FMT, parts);
}

}  // namespace port
