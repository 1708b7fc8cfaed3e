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

void SleepMs(int aMilliseconds) {
  if (aMilliseconds <= 0) return;
  timespec ts{aMilliseconds / 1000, static_cast<long>(aMilliseconds % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

}  // namespace port
