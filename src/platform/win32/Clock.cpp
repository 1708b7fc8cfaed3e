#include "platform/Clock.h"

#include <windows.h>

namespace port {

LocalTime SystemNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  LocalTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  t.millisecond = st.wMilliseconds;
  return t;
}

int UtcOffsetMinutes() {
  TIME_ZONE_INFORMATION tz;
  DWORD mode = GetTimeZoneInformation(&tz);
  LONG bias = tz.Bias;
  if (mode == TIME_ZONE_ID_DAYLIGHT) bias += tz.DaylightBias;
  else if (mode == TIME_ZONE_ID_STANDARD) bias += tz.StandardBias;
  return static_cast<int>(-bias);
}

void SleepMs(int aMilliseconds) {
  if (aMilliseconds > 0) Sleep(static_cast<DWORD>(aMilliseconds));
}

}  // namespace port
