#pragma once
// The device registry: the open devices by handle. It owns its devices: removing an entry
// destroys the device, and destroying the registry destroys every device still in it. Handles
// run 1, 2, 3, ... in the order of successful opens and are never reused while the module stays
// loaded. Not thread-safe: the host makes one call at a time.
#include <cstdint>
#include <map>
#include <memory>

#include "payment/uVxPayment_Device.h"

class kPaymentDeviceMap {
 public:
  kPaymentDeviceMap() = default;
  ~kPaymentDeviceMap();
  kPaymentDeviceMap(const kPaymentDeviceMap&) = delete;
  kPaymentDeviceMap& operator=(const kPaymentDeviceMap&) = delete;

  // The device registered under aHandle, or nullptr.
  kPaymentDevice* Find(int32_t aHandle) const;
  // Registers a newly built device under the next handle, which it also stores in the device.
  kPaymentDevice& Add(std::unique_ptr<kPaymentDevice> aDevice);
  // Unregisters and destroys the device; nothing happens for a handle that is not registered.
  void Remove(int32_t aHandle);
  // Destroys every device, in the order of their handles.
  void Clear();

  size_t Count() const { return fDevices.size(); }
  // The handle given last; 0 before the first open.
  int32_t LastDeviceHandle() const { return fLastDeviceHandle; }

 private:
  std::map<int32_t, std::unique_ptr<kPaymentDevice>> fDevices;
  int32_t fLastDeviceHandle = 0;
};

// The module's device registry. Throws tVX_Error when the module is not started.
kPaymentDeviceMap& PaymentDevices();
