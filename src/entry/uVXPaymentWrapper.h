#pragma once
// The command wrappers: one short-lived object per exported call. A wrapper reads the request
// into its own kPaymentHandler, finds or opens the device, runs the command and keeps the outcome
// in its result record, which Format renders for the host.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "payment/uVxPayment_Device.h"
#include "payment/uVxPayment_Handler.h"

class kPaymentWrapper {
 public:
  kPaymentWrapper();
  virtual ~kPaymentWrapper();
  kPaymentWrapper(const kPaymentWrapper&) = delete;
  kPaymentWrapper& operator=(const kPaymentWrapper&) = delete;

  // Sets the result record to the command's starting values.
  virtual void ResetResult() = 0;
  // The result document, the plain error text and the result code (0, or -1 when the record's
  // Error is true). Pure rendering: never fails on any record content.
  virtual void Format(std::u16string& aOutput, std::u16string& aErrorMessage, int16_t& aResult) = 0;
  // Runs the command and leaves its outcome in the result record. Failures end in the record;
  // only what cannot be rendered there (out of memory) escapes.
  virtual void Process(std::u16string_view aXml) = 0;

  // The device the request addresses: by its positive Handle, or, without one and when aCreate
  // is true, a new device of the request's driver, registered under the next handle.
  kPaymentDevice& GetDevice(bool aCreate);

  const kPaymentHandler& Handler() const { return *fHandler; }

 protected:
  std::unique_ptr<kPaymentHandler> fHandler;
};

// The message of the failure being handled; call only inside a catch block. tVX_Error carries
// the module's own texts; anything else (the runtime's failures) gets a readable text.
std::u16string CurrentFailureMessage();
