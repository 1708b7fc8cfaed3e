#pragma once
// A driver built from a request document, with its protected operations opened for the tests,
// and the request documents the tests send.
#include <map>
#include <memory>
#include <string>

#include "drivers/adyen/uVXPA_ADYEN_10.h"
#include "payment/uVxPayment.h"

namespace vxtest {

// The driver with the operations the tests call directly.
class AdyenDevice : public kPayment_ADYEN {
 public:
  using kPayment_ADYEN::kPayment_ADYEN;
  using kPayment_ADYEN::DoDayClose;
  using kPayment_ADYEN::DoGetTotals;
  using kPayment_ADYEN::DoPay;
  using kPayment_ADYEN::DoRefund;
  using kPayment_ADYEN::DoReprint;
  using kPayment_ADYEN::DoVerifyTran;
  using kPayment_ADYEN::DoVoid;
  using kPayment_ADYEN::Exchange;
  using kPayment_ADYEN::Login;
  using kPayment_ADYEN::Logout;
  using kPayment_ADYEN::Reserved;
  using kPayment_ADYEN::RunInLoginBracket;
  using kPayment_ADYEN::SetInProgressMaxAttempts;
};

using ParameterMap = std::map<std::u16string, std::u16string>;

// A request for the driver: HTTP connection to aUrl, the parameters given (in name order), and
// aCommand (e.g. a Payment element) after them.
std::u16string AdyenRequest(const std::u16string& aUrl, const ParameterMap& aParameters,
                            const std::u16string& aCommand = u"", const std::u16string& aConnectionType = u"HTTP");

// The parameters a simulator or a test peer expects by default.
ParameterMap DefaultParameters(const std::u16string& aSecret = u"terminal-sim secret",
                               const std::u16string& aKeyIdentifier = u"SimKey", int aKeyVersion = 1,
                               const std::u16string& aPOIID = u"SIM-00000001");

// A Payment element from its inner elements.
std::u16string PaymentElement(const std::u16string& aInner);

// A handler read from aXml for the document type.
std::unique_ptr<kPaymentHandler> ReadRequest(const std::u16string& aXml, vxPaymentHandlerDocumentType aType);

// The whole log file as UTF-8 text ("" when there is none).
std::string ReadLog(const std::u16string& aFileName);

}  // namespace vxtest
