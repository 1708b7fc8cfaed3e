#include "platform/Clock.h"

#include <ctime>
#include <sys/time.h>

namespace port {

LocalTime SystemNow() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm parts{};
  localtime_r(&ts.tv_sec, &parts);
  LocalTime t;
  t.year = parts.tm_year + 1900;
  t.month = parts.tm_mon + 1;
  t.day = parts.tm_mday;
  t.hour = parts.tm_hour;
  t.minute = parts.tm_min;
  t.second = parts.tm_sec > 59 ? 59 : parts.tm_sec;
  t.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
  return t;
}

int UtcOffsetMinutes() {
  time_t now = time(nullptr);
  tm parts{};
  localtime_r(&now, &parts);
  return static_cast<int>(parts.tm_gmtoff / 60);
}

LocalTime ShiftMinutes(const LocalTime& aTime, int aMinutes);  // platform/Clock.cpp

namespace {
tm ToTm(const LocalTime& aTime) {
  tm parts{};
  parts.tm_year = aTime.year - 1900;
  parts.tm_mon = aTime.month - 1;
  parts.tm_mday = aTime.day;
  parts.tm_hour = aTime.hour;
  parts.tm_min = aTime.minute;
  parts.tm_sec = aTime.second;
  parts.tm_isdst = -1;
  return parts;
}
}  // namespace

int UtcOffsetMinutesAt(const LocalTime& aLocal) {
  if (aLocal.year < 1970) return UtcOffsetMinutes();
  tm parts = ToTm(aLocal);
  if (mktime(&parts) == static_cast<time_t>(-1)) return UtcOffsetMinutes();
  return static_cast<int>(parts.tm_gmtoff / 60);
}

LocalTime UtcToLocal(const LocalTime& aUtc) {
  if (aUtc.year < 1970) return ShiftMinutes(aUtc, UtcOffsetMinutes());
  tm parts = ToTm(aUtc);
  parts.tm_isdst = 0;
  time_t seconds = timegm(&parts);
  tm local{};
  if (seconds == static_cast<time_t>(-1) || localtime_r(&seconds, &local) == nullptr)
    return ShiftMinutes(aUtc, UtcOffsetMinutes());
  LocalTime t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  t.second = local.tm_sec > 59 ? 59 : local.tm_sec;
  t.millisecond = aUtc.millisecond;
  return t;
}

void SleepMs(int aMilliseconds) {
  if (aMilliseconds <= 0) return;
  timespec ts{aMilliseconds / 1000, static_cast<long>(aMilliseconds % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

}  // namespace port
