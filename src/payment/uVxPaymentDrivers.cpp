#include "payment/uVxPaymentDrivers.h"

kPaymentDriverMap& PaymentDrivers() {
  static kPaymentDriverMap drivers;
  return drivers;
}

const kPaymentClass* FindPaymentDriver(std::u16string_view aName) {
  auto& drivers = PaymentDrivers();
  auto it = drivers.find(aName);
  return it == drivers.end() ? nullptr : &it->second;
}

kPaymentDriverRegistration::kPaymentDriverRegistration(std::u16string_view aName, kPaymentClass aClass)
    : fName(aName) {
  fRegistered = PaymentDrivers().try_emplace(fName, std::move(aClass)).second;
}

kPaymentDriverRegistration::~kPaymentDriverRegistration() {
  if (fRegistered) PaymentDrivers().erase(fName);
}
