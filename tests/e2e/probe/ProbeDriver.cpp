// The driver of the unloading test's own module (VXPA_UNLOAD_PROBE, never shipped): opening a
// device queues the number of log lines that the request's parameter "Lines" asks for, so that
// unloading the module right after the OPEN finds them still waiting for the log thread.
#include "base/uVX_Text.h"
#include "io/uVXIOHandler.h"
#include "payment/uVxPayment.h"
#include "payment/uVxPaymentDrivers.h"

namespace {

class kProbeDevice final : public kPaymentDevice {
 public:
  explicit kProbeDevice(const kPaymentHandler& aHandler) : kPaymentDevice(aHandler) {
    int32_t lines = 0;
    vxtext::TryStrToInt(aHandler.GetParameter(u"Lines"), lines);
    for (int32_t i = 1; i <= lines; ++i) {
      fIOHandler->WriteLog(tVX_MessageType::let_info, u"probe",
                           u"line " + vxtext::IntToStr(i) + u" of " + vxtext::IntToStr(lines));
    }
  }

 protected:
  bool DoPay(kPaymentReceipt&, _int_PAY_result&) override { return false; }
  bool DoRefund(kPaymentReceipt&, _int_PAY_result&) override { return false; }
  bool DoVoid(kPaymentReceipt&, _int_PAY_result&) override { return false; }
  bool DoReprint(kPaymentReceipt&, _int_REPRINT_result&) override { return false; }
  bool DoDayClose(kPaymentDayClose&, _int_DAYCLOSE_result&) override { return false; }
  bool DoGetTotals(kPaymentTotals&, _int_GETTOTALS_result&) override { return false; }
  bool Reserved() override { return false; }
  bool DoVerifyTran(kPaymentReceipt&, _int_PAY_result&) override { return false; }
};

const kPaymentDriverRegistration gRegistration(u"VXPA_UNLOAD_PROBE", kPaymentClass::Of<kProbeDevice>());

}  // namespace
