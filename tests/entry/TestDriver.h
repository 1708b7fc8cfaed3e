#pragma once
// A payment driver that only the tests register ("VXPA_TEST"). It records which operation ran on
// which handle, and behaves by the request: the parameter "FailCreate" makes its constructor fail
// with that text; a payment Reference "throw" makes the operation fail with "Terminal
// unreachable", "ioerror" leaves "Connection refused" in the I/O handler; the operations otherwise fill a few fields that show the record came back whole.
#include <string>
#include <vector>

#include "payment/uVxPayment.h"

namespace vxtest {

inline constexpr char16_t kTestDriverName[] = u"VXPA_TEST";

// "DoPay@1", "create@2", "destroy@2", ... in the order they happened.
std::vector<std::string>& DriverCalls();

class kTestDevice final : public kPaymentDevice {
 public:
  explicit kTestDevice(const kPaymentHandler& aHandler);
  ~kTestDevice() override;

 protected:
  bool DoPay(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) override;
  bool DoRefund(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) override;
  bool DoVoid(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) override;
  bool DoReprint(kPaymentReceipt& aReceipt, _int_REPRINT_result& aResult) override;
  bool DoDayClose(kPaymentDayClose& aDayClose, _int_DAYCLOSE_result& aResult) override;
  bool DoGetTotals(kPaymentTotals& aTotals, _int_GETTOTALS_result& aResult) override;
  bool Reserved() override { return false; }
  bool DoVerifyTran(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) override;

 private:
  void Record(const std::string& aOperation) const;
  bool FillPayment(const std::string& aOperation, kPaymentReceipt& aReceipt, _int_PAY_result& aResult);
};

}  // namespace vxtest
