#include "entry/uVXPaymentWrapper.h"

#include <exception>
#include <new>

#include "entry/uVXPaymentWrapper_Registry.h"
#include "payment/uVxPaymentDrivers.h"
#include "platform/Error.h"
#include "platform/Utf8.h"

kPaymentWrapper::kPaymentWrapper() : fHandler(std::make_unique<kPaymentHandler>()) {}

kPaymentWrapper::~kPaymentWrapper() = default;

kPaymentDevice& kPaymentWrapper::GetDevice(bool aCreate) {
  kPaymentDeviceMap& devices = PaymentDevices();
  int32_t handle = fHandler->DeviceHandle();
  // An open device is found by its handle alone: the request's driver and connection play no part.
  if (handle > 0) {
    if (kPaymentDevice* device = devices.Find(handle)) return *device;
    throw tVX_Error(u"Device Handle not found");
  }
  if (!aCreate) throw tVX_Error(u"Payment Device has not previously opened");
  const kPaymentClass* driver = FindPaymentDriver(fHandler->Driver());
  if (driver == nullptr) throw tVX_Error(u"Payment Driver [" + fHandler->Driver() + u"] not registered.");
  // A failing constructor registers nothing and consumes no handle.
  return devices.Add(driver->Create(*fHandler));
}

std::u16string CurrentFailureMessage() {
  try {
    throw;
  } catch (const tVX_Error& failure) {
    return failure.Message();
  } catch (const std::bad_alloc&) {
    return u"Out of memory";
  } catch (const std::exception& failure) {
    return port::FromUtf8(failure.what());
  } catch (...) {
    return u"Unknown failure";
  }
}
