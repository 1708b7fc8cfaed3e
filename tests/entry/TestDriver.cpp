#include "TestDriver.h"

#include "io/uVXIOHandler.h"
#include "payment/uVxPaymentDrivers.h"
#include "platform/Error.h"

namespace vxtest {
namespace {

const kPaymentDriverRegistration gRegistration(kTestDriverName, kPaymentClass::Of<kTestDevice>());

}  // namespace

std::vector<std::string>& DriverCalls() {
  static std::vector<std::string> calls;
  return calls;
}

kTestDevice::kTestDevice(const kPaymentHandler& aHandler) : kPaymentDevice(aHandler) {
  std::u16string failure = aHandler.GetParameter(u"FailCreate");
  if (!failure.empty()) throw tVX_Error(failure);
  Record("create");
}

kTestDevice::~kTestDevice() { Record("destroy"); }

void kTestDevice::Record(const std::string& aOperation) const {
  DriverCalls().push_back(aOperation + "@" + std::to_string(fHandle));
}

bool kTestDevice::FillPayment(const std::string& aOperation, kPaymentReceipt& aReceipt,
                              _int_PAY_result& aResult) {
  Record(aOperation);
  if (aReceipt.Reference() == u"throw") throw tVX_Error(u"Terminal unreachable");
  if (aReceipt.Reference() == u"ioerror") {
    // The way a driver reports a failed exchange: a message in the I/O handler, Error set.
    fIOHandler->SetCustomError(7, u"Connection refused");
    aResult.Error = true;
    return false;
  }
  aResult.DeviceId = u"TEST-" + std::u16string(aOperation.begin(), aOperation.end());
  aResult.PaymentAmount = aReceipt.Amount();
  aResult.PaymentCurrency = aReceipt.Currency();
  aResult.PaymentNetwork = vxPaymentNetwork::Visa;
  aResult.TransactionType = vxPaymentTransactionType::ptt_Cless;
  aResult.RawResponse = u"{}";
  aResult.Error = aReceipt.Reference() == u"declined";
  return !aResult.Error;
}

bool kTestDevice::DoPay(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) {
  return FillPayment("DoPay", aReceipt, aResult);
}

bool kTestDevice::DoRefund(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) {
  return FillPayment("DoRefund", aReceipt, aResult);
}

bool kTestDevice::DoVoid(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) {
  return FillPayment("DoVoid", aReceipt, aResult);
}

bool kTestDevice::DoVerifyTran(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) {
  return FillPayment("DoVerifyTran", aReceipt, aResult);
}

bool kTestDevice::DoReprint(kPaymentReceipt& aReceipt, _int_REPRINT_result& aResult) {
  Record("DoReprint");
  if (aReceipt.Reference() == u"throw") throw tVX_Error(u"Terminal unreachable");
  aResult.ReceiptText = u"copy of " + aReceipt.ReceiptId();
  return true;
}

bool kTestDevice::DoDayClose(kPaymentDayClose& aDayClose, _int_DAYCLOSE_result& aResult) {
  Record("DoDayClose");
  aResult.ClosureNumber = aDayClose.StoreCode();
  aResult.TransactionsCount = 4;
  return true;
}

bool kTestDevice::DoGetTotals(kPaymentTotals& aTotals, _int_GETTOTALS_result& aResult) {
  Record("DoGetTotals");
  aResult.DeviceId = aTotals.TillCode();
  aResult.TransactionsCount = 5;
  return true;
}

}  // namespace vxtest
