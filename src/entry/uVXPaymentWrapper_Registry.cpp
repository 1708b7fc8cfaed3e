#include "entry/uVXPaymentWrapper_Registry.h"

#include <limits>

#include "platform/Error.h"

kPaymentDeviceMap::~kPaymentDeviceMap() { Clear(); }

kPaymentDevice* kPaymentDeviceMap::Find(int32_t aHandle) const {
  auto found = fDevices.find(aHandle);
  return found == fDevices.end() ? nullptr : found->second.get();
}

kPaymentDevice& kPaymentDeviceMap::Add(std::unique_ptr<kPaymentDevice> aDevice) {
  if (!aDevice) throw tVX_Error(u"Payment Device not created");
  if (fLastDeviceHandle == std::numeric_limits<int32_t>::max()) throw tVX_Error(u"No Device Handle left");
  int32_t handle = fLastDeviceHandle + 1;
  kPaymentDevice& device = *aDevice;
  fDevices.emplace(handle, std::move(aDevice));
  fLastDeviceHandle = handle;
  device.SetHandle(handle);
  return device;
}

void kPaymentDeviceMap::Remove(int32_t aHandle) {
  // Taken out of the map before it is destroyed, so the map never holds a dying device.
  auto node = fDevices.extract(aHandle);
}

void kPaymentDeviceMap::Clear() {
  while (!fDevices.empty()) Remove(fDevices.begin()->first);
}
