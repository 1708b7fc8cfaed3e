// Sale, refund and void: a payment request or a reversal request, and the reading of the answer.
#include "base/uVX_DateTime.h"
#include "drivers/adyen/uVXPA_ADYEN_10.h"
#include "platform/Error.h"

void kPayment_ADYEN::EnsureSaleReference(kPaymentReceipt& aReceipt) {
  if (aReceipt.Reference().empty() || aReceipt.Reference().size() > 10) aReceipt.SetReference(NewServiceReference());
}

void kPayment_ADYEN::BuildPaymentRequest(const kPaymentReceipt& aReceipt) {
  fSecurity.fInputMessage = adyen::BuildPaymentRequestMessage(fSaleContext, aReceipt, vxdate::NowIso8601());
}

void kPayment_ADYEN::BuildReversalRequest(const kPaymentReceipt& aReceipt) {
  fSecurity.fInputMessage = adyen::BuildReversalRequestMessage(fSaleContext, aReceipt, vxdate::NowIso8601());
}

bool kPayment_ADYEN::ParsePaymentResponse(const kPaymentReceipt& aReceipt, _int_PAY_result& aResult) {
  return adyen::ReadPaymentResponse(fSecurity.fJSONResponseDecrypted, aReceipt, aResult);
}

bool kPayment_ADYEN::DoPay(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) {
  EnsureSaleReference(aReceipt);
  switch (aReceipt.Action()) {
    case vxPaymentAction::Pay:
      BuildPaymentRequest(aReceipt);
      break;
    case vxPaymentAction::Refund:
    case vxPaymentAction::Void:
      BuildReversalRequest(aReceipt);
      break;
    default:
      throw tVX_Error(adyen::kActionInvalidMessage);
  }
  bool ok = Exchange(u"kAdyen.Pay") && ParsePaymentResponse(aReceipt, aResult);
  aResult.Error = !ok;
  return ok;
}

bool kPayment_ADYEN::DoRefund(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) {
  bool ok = DoPay(aReceipt, aResult);
  aResult.TippedAmount = aReceipt.TipAmount();
  return ok;
}

bool kPayment_ADYEN::DoVoid(kPaymentReceipt& aReceipt, _int_PAY_result& aResult) { return DoRefund(aReceipt, aResult); }
