#include "platform/Clock.h"

#include <atomic>

namespace port {

LocalTime SystemNow();  // in the target's implementation

namespace {
std::atomic<NowFunction> gNowOverride{nullptr};
}

LocalTime Now() {
  NowFunction f = gNowOverride.load();
  return f ? f() : SystemNow();
}

void OverrideNowForTesting(NowFunction aNow) { gNowOverride.store(aNow); }

}  // namespace port
