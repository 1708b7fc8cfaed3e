#include "platform/Clock.h"

#include <atomic>
#include <cstdint>

namespace port {

LocalTime SystemNow();  // in the target's implementation

namespace {
std::atomic<NowFunction> gNowOverride{nullptr};

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's civil algorithms).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}
}  // namespace

LocalTime Now() {
  NowFunction f = gNowOverride.load();
  return f ? f() : SystemNow();
}

void OverrideNowForTesting(NowFunction aNow) { gNowOverride.store(aNow); }

// aTime moved by aMinutes on the calendar; used by the implementations where the zone database
// is not consulted.
LocalTime ShiftMinutes(const LocalTime& aTime, int aMinutes) {
  int64_t minutes = DaysFromCivil(aTime.year, static_cast<unsigned>(aTime.month), static_cast<unsigned>(aTime.day)) * 1440 +
                    aTime.hour * 60 + aTime.minute + aMinutes;
  int64_t days = minutes >= 0 ? minutes / 1440 : -((-minutes + 1439) / 1440);
  int64_t rest = minutes - days * 1440;
  LocalTime t = aTime;
  CivilFromDays(days, t.year, t.month, t.day);
  t.hour = static_cast<int>(rest / 60);
  t.minute = static_cast<int>(rest % 60);
  return t;
}

}  // namespace port
