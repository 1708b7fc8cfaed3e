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

LocalTime ShiftMinutes(const LocalTime& aTime, int aMinutes);  // platform/Clock.cpp

namespace {
SYSTEMTIME ToSystemTime(const LocalTime& aTime) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(aTime.year);
  st.wMonth = static_cast<WORD>(aTime.month);
  st.wDay = static_cast<WORD>(aTime.day);
  st.wHour = static_cast<WORD>(aTime.hour);
  st.wMinute = static_cast<WORD>(aTime.minute);
  st.wSecond = static_cast<WORD>(aTime.second);
  st.wMilliseconds = static_cast<WORD>(aTime.millisecond);
  return st;
}

// Minutes from b to a, both converted to FILETIME; false when either is not representable.
bool MinutesBetween(const SYSTEMTIME& a, const SYSTEMTIME& b, int& aMinutes) {
  FILETIME fa, fb;
  if (!SystemTimeToFileTime(&a, &fa) || !SystemTimeToFileTime(&b, &fb)) return false;
  ULARGE_INTEGER ua, ub;
  ua.LowPart = fa.dwLowDateTime;
  ua.HighPart = fa.dwHighDateTime;
  ub.LowPart = fb.dwLowDateTime;
  ub.HighPart = fb.dwHighDateTime;
  long long diff = static_cast<long long>(ua.QuadPart) - static_cast<long long>(ub.QuadPart);
  aMinutes = static_cast<int>(diff / 600000000LL);
  return true;
}
}  // namespace

int UtcOffsetMinutesAt(const LocalTime& aLocal) {
  if (aLocal.year < 1970) return UtcOffsetMinutes();
  SYSTEMTIME local = ToSystemTime(aLocal), utc;
  int minutes = 0;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !MinutesBetween(local, utc, minutes))
    return UtcOffsetMinutes();
  return minutes;
}

LocalTime UtcToLocal(const LocalTime& aUtc) {
  if (aUtc.year < 1970) return ShiftMinutes(aUtc, UtcOffsetMinutes());
  SYSTEMTIME utc = ToSystemTime(aUtc), local;
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return ShiftMinutes(aUtc, UtcOffsetMinutes());
  LocalTime t;
  t.year = local.wYear;
  t.month = local.wMonth;
  t.day = local.wDay;
  t.hour = local.wHour;
  t.minute = local.wMinute;
  t.second = local.wSecond;
  t.millisecond = aUtc.millisecond;
  return t;
}

void SleepMs(int aMilliseconds) {
  if (aMilliseconds > 0) Sleep(static_cast<DWORD>(aMilliseconds));
}

}  // namespace port
