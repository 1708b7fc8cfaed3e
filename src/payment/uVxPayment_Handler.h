#pragma once
// kPaymentHandler: a whole request document. The device configuration (kDeviceHandler) plus the
// command part that the calling command asks for.
#include <memory>
#include <string_view>

#include "payment/uVXPaymentDefs.h"
#include "payment/uVxDeviceHandler.h"
#include "payment/uVxPayment_Request.h"

class kPaymentHandler : public kDeviceHandler {
 public:
  kPaymentHandler();
  ~kPaymentHandler() override;

  // Reads the configuration, then the payment element when the set holds dt_Pay, dt_PayReprint
  // or dt_VerifyTran, else the DayClose element for dt_DayClose, else the GetTotals element for
  // dt_GetTotals; dt_Open or the empty set read the configuration only. Throws tVX_Error with
  // the first rejected field's message.
  void Deserialize(std::u16string_view aXml, vxPaymentHandlerDocumentTypes aDocumentTypes);
  using kDeviceHandler::Deserialize;

  kPaymentReceipt& PaymentReceipt() { return *fPaymentReceipt; }
  const kPaymentReceipt& PaymentReceipt() const { return *fPaymentReceipt; }
  kPaymentDayClose& DayClose() { return *fDayClose; }
  const kPaymentDayClose& DayClose() const { return *fDayClose; }
  kPaymentTotals& Totals() { return *fTotals; }
  const kPaymentTotals& Totals() const { return *fTotals; }

 private:
  std::unique_ptr<kPaymentReceipt> fPaymentReceipt;
  std::unique_ptr<kPaymentDayClose> fDayClose;
  std::unique_ptr<kPaymentTotals> fTotals;
};
