#include "entry/uVXPaymentWrapper_Commands.h"

#include "entry/uVXPaymentWrapper_Registry.h"

namespace {

// The pattern of the commands that run a device operation: read the request, find or open the
// device, run the operation into a fresh record and take that record as the result. On a failure
// the result keeps its starting values and takes the failure's message; a partly filled record
// is dropped.
template <class TResult>
void RunDeviceCommand(kPaymentWrapper& aWrapper, kPaymentHandler& aHandler, TResult& aResult, std::u16string_view aXml,
                      vxPaymentHandlerDocumentType aDocumentType,
                      void (kPaymentDevice::*aOperation)(kPaymentHandler&, TResult&)) {
  try {
    aHandler.Deserialize(aXml, {aDocumentType});
    kPaymentDevice& device = aWrapper.GetDevice(true);
    TResult local{};
    (device.*aOperation)(aHandler, local);
    aResult = std::move(local);
  } catch (...) {
    aResult.ErrorText = CurrentFailureMessage();
  }
}

void ResetPaymentResult(_int_PAY_result& aResult) {
  aResult = _int_PAY_result{};
  aResult.TransactionType = vxPaymentTransactionType::ptt_Other;
  aResult.PaymentNetwork = vxPaymentNetwork::Other;
  aResult.Error = true;
}

}  // namespace

void kPaymentWrapper_PAY::ResetResult() { ResetPaymentResult(fResult); }

void kPaymentWrapper_PAY::Process(std::u16string_view aXml) {
  ResetResult();
  RunDeviceCommand(*this, *fHandler, fResult, aXml, vxPaymentHandlerDocumentType::dt_Pay, &kPaymentDevice::Pub_Pay);
}

void kPaymentWrapper_VERIFYTRAN::ResetResult() { ResetPaymentResult(fResult); }

void kPaymentWrapper_VERIFYTRAN::Process(std::u16string_view aXml) {
  ResetResult();
  RunDeviceCommand(*this, *fHandler, fResult, aXml, vxPaymentHandlerDocumentType::dt_VerifyTran,
                   &kPaymentDevice::Pub_VerifyTran);
}

void kPaymentWrapper_REPRINT::ResetResult() {
  fResult = _int_REPRINT_result{};
  fResult.Error = true;
}

void kPaymentWrapper_REPRINT::Process(std::u16string_view aXml) {
  ResetResult();
  RunDeviceCommand(*this, *fHandler, fResult, aXml, vxPaymentHandlerDocumentType::dt_PayReprint,
                   &kPaymentDevice::Pub_Reprint);
}

void kPaymentWrapper_DAYCLOSE::ResetResult() {
  fResult = _int_DAYCLOSE_result{};
  fResult.Error = true;
}

void kPaymentWrapper_DAYCLOSE::Process(std::u16string_view aXml) {
  ResetResult();
  RunDeviceCommand(*this, *fHandler, fResult, aXml, vxPaymentHandlerDocumentType::dt_DayClose,
                   &kPaymentDevice::Pub_DayClose);
}

void kPaymentWrapper_GETTOTALS::ResetResult() {
  fResult = _int_GETTOTALS_result{};
  fResult.Error = true;
}

void kPaymentWrapper_GETTOTALS::Process(std::u16string_view aXml) {
  ResetResult();
  RunDeviceCommand(*this, *fHandler, fResult, aXml, vxPaymentHandlerDocumentType::dt_GetTotals,
                   &kPaymentDevice::Pub_GetTotals);
}

void kPaymentWrapper_OPEN::ResetResult() {
  fResult = _int_OPEN_result{};
  fResult.Error = true;
}

// The result never names a log file, whatever the outcome.
void kPaymentWrapper_OPEN::Process(std::u16string_view aXml) {
  ResetResult();
  try {
    fHandler->Deserialize(aXml, {vxPaymentHandlerDocumentType::dt_Open});
    kPaymentDevice& device = GetDevice(true);
    fResult.Handle = device.Handle();
    fResult.Error = false;
  } catch (...) {
    fResult.Error = true;
    fResult.ErrorText = CurrentFailureMessage();
  }
}

void kPaymentWrapper_CLOSE::ResetResult() {
  fResult = _int_CLOSE_result{};
  fResult.Error = true;
}

// Reads the configuration only; the device is destroyed with its registry entry, without a call
// to the driver.
void kPaymentWrapper_CLOSE::Process(std::u16string_view aXml) {
  ResetResult();
  try {
    fHandler->Deserialize(aXml, vxPaymentHandlerDocumentTypes{});
    kPaymentDevice& device = GetDevice(false);
    PaymentDevices().Remove(device.Handle());
    fResult.Error = false;
  } catch (...) {
    fResult.ErrorText = CurrentFailureMessage();
  }
}

void kPaymentWrapper_GETSTATUS::ResetResult() {
  fResult = _int_GETSTATUS_result{};
  fResult.Error = true;
}

void kPaymentWrapper_GETSTATUS::Process(std::u16string_view) {
  ResetResult();
  fResult.Error = false;
}
