#pragma once
// The driver registry: payment driver classes by name. A driver adds itself when the module is
// loaded (a kPaymentDriverRegistration at namespace scope in its unit); the command wrappers look
// the request's driver name up here. The map is a function-local static, so it exists before the
// first registration whatever the order of static initialisation across units, and outlives
// every registration object.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "payment/uVxPayment_Device.h"

// A class reference to a kPaymentDevice descendant: builds a device (the virtual constructor)
// and answers the class's driver version without an instance.
class kPaymentClass {
 public:
  using Factory = std::function<std::unique_ptr<kPaymentDevice>(const kPaymentHandler&)>;
  using VersionFunction = std::function<std::u16string()>;

  kPaymentClass(Factory aCreate, VersionFunction aGetDriverVersion)
      : fCreate(std::move(aCreate)), fGetDriverVersion(std::move(aGetDriverVersion)) {}

  // The class reference of T, which derives from kPaymentDevice and is constructible from a
  // const kPaymentHandler&. Its version is T::GetDriverVersion (the base's unless T hides it).
  template <class T>
  static kPaymentClass Of() {
    return kPaymentClass([](const kPaymentHandler& aHandler) -> std::unique_ptr<kPaymentDevice> {
                           return std::make_unique<T>(aHandler);
                         },
                         [] { return T::GetDriverVersion(); });
  }

  // Builds a device from the request; the driver's constructor failures propagate.
  std::unique_ptr<kPaymentDevice> Create(const kPaymentHandler& aHandler) const { return fCreate(aHandler); }
  std::u16string GetDriverVersion() const { return fGetDriverVersion(); }

 private:
  Factory fCreate;
  VersionFunction fGetDriverVersion;
};

// Driver name -> class. Keys compare exactly and case-sensitively. Not thread-safe: it is filled
// during loading and read by one command at a time.
using kPaymentDriverMap = std::map<std::u16string, kPaymentClass, std::less<>>;
kPaymentDriverMap& PaymentDrivers();

// The class registered under exactly aName, or nullptr.
const kPaymentClass* FindPaymentDriver(std::u16string_view aName);

// Adds a driver class for its lifetime: the entry is removed again when the object dies. A name
// that is already registered keeps its first class (Registered() then answers false).
class kPaymentDriverRegistration {
 public:
  kPaymentDriverRegistration(std::u16string_view aName, kPaymentClass aClass);
  ~kPaymentDriverRegistration();
  kPaymentDriverRegistration(const kPaymentDriverRegistration&) = delete;
  kPaymentDriverRegistration& operator=(const kPaymentDriverRegistration&) = delete;

  bool Registered() const { return fRegistered; }

 private:
  std::u16string fName;
  bool fRegistered = false;
};
