// The module-wide state behind the exports and its lifetime. The driver registry is the payment
// floor's (drivers add themselves while the module loads); the device registry lives here.
#include <memory>

#include "base/uVX_Base.h"
#include "entry/uVXPaymentWrapper_Registry.h"
#include "platform/Error.h"
#include "platform/ModuleEntry.h"

namespace {

std::unique_ptr<kPaymentDeviceMap> gPaymentDevices;

}  // namespace

kPaymentDeviceMap& PaymentDevices() {
  if (!gPaymentDevices) throw tVX_Error(u"Payment module not loaded");
  return *gPaymentDevices;
}

namespace vxmodule {

void Start() {
  if (gPaymentDevices) return;
  try {
    if (TheApplication == nullptr) CreateTheApplication();
    gPaymentDevices = std::make_unique<kPaymentDeviceMap>();
  } catch (...) {
    Stop();
    throw;
  }
}

void Stop() noexcept {
  try {
    // The devices first: each one's I/O handler and log writer end with it.
    if (gPaymentDevices) {
      gPaymentDevices->Clear();
      gPaymentDevices.reset();
    }
  } catch (...) {
    // A device that fails while it is destroyed must not stop the others' teardown.
  }
  try {
    if (TheApplication != nullptr) FreeTheApplication();
  } catch (...) {
  }
}

bool Started() { return gPaymentDevices != nullptr; }

}  // namespace vxmodule
