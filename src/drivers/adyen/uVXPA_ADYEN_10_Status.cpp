#include "drivers/adyen/uVXPA_ADYEN_10_Status.h"

#include <utility>

#include "drivers/adyen/uVXPA_ADYEN_10_Payment.h"
#include "platform/Clock.h"

namespace adyen {

std::u16string BuildTransactionStatusRequestMessage(std::u16string_view aPOIID, const kPaymentReceipt& aReceipt) {
  const std::u16string saleID = SaleIDOf(aReceipt.StoreCode(), aReceipt.TillCode());
  tJson body = tJson::object();
  body["ReceiptReprintFlag"] = true;
  body["DocumentQualifier"] = tJson::array({"CashierReceipt", "CustomerReceipt"});
  if (!aReceipt.ReceiptId().empty() && aReceipt.ReceiptId() != u"LAST") {
    const bool reversal = aReceipt.Action() == vxPaymentAction::Refund || aReceipt.Action() == vxPaymentAction::Void;
    tJson reference = tJson::object();
    reference["SaleID"] = JsonText(saleID);
    reference["ServiceID"] = JsonText(aReceipt.ReceiptId());
    reference["MessageCategory"] = reversal ? "Reversal" : "Payment";
    body["MessageReference"] = std::move(reference);
  }
  const tAdyenHeader header{u"TransactionStatus", saleID, aReceipt.Reference().substr(0, 10), std::u16string(aPOIID)};
  return BuildRequestMessage(header, u"TransactionStatusRequest", std::move(body));
}

vxAdyenStatusOutcome ReadTransactionStatusResponse(std::u16string_view aPlainResponse, kPaymentReceipt& aReceipt,
                                                  _int_PAY_result& aResult) {
  const kAdyenResponse response(aPlainResponse);
  const tJson* body = response.Body(u"TransactionStatusResponse");
  const tAdyenResponseStatus status = ReadResponseStatus(body);
  aResult.DeviceId = kJSONUtils::GetString(response.Header(), u"POIID");

  if (!status.Success) {
    if (status.ErrorCondition == kInProgressCondition) {
      aResult.ErrorText = kInProgressCondition;
      return vxAdyenStatusOutcome::so_InProgress;
    }
    aResult.ErrorText = StandardErrorText(status, {u"message", u"errors", u"refusalReason"});
    return vxAdyenStatusOutcome::so_Failure;
  }

  // The earlier answer, rebuilt as if it had just arrived, and read by the payment reader.
  const tJson* repeated = kJSONUtils::GetObject(body, u"RepeatedMessageResponse");
  const tJson* payment = kJSONUtils::GetObject(repeated, u"RepeatedResponseMessageBody.PaymentResponse");
  const tJson* reversal = kJSONUtils::GetObject(repeated, u"RepeatedResponseMessageBody.ReversalResponse");
  if (payment == nullptr && reversal == nullptr) {
    aResult.ErrorText.clear();
    return vxAdyenStatusOutcome::so_Failure;
  }
  aReceipt.SetAction(payment != nullptr ? vxPaymentAction::Pay : vxPaymentAction::Refund);
  const tJson* header = kJSONUtils::GetObject(repeated, u"MessageHeader");
  tJson answer = tJson::object();
  answer["MessageHeader"] = header != nullptr ? *header : tJson::object();
  answer[payment != nullptr ? "PaymentResponse" : "ReversalResponse"] = payment != nullptr ? *payment : *reversal;
  tJson document = tJson::object();
  document["SaleToPOIResponse"] = std::move(answer);
  return ReadPaymentResponse(JsonToText(document), aReceipt, aResult) ? vxAdyenStatusOutcome::so_Success
                                                                      : vxAdyenStatusOutcome::so_Failure;
}

vxAdyenStatusOutcome RepeatWhileInProgress(const std::function<vxAdyenStatusOutcome()>& aAttempt,
                                          int32_t aMaxAttempts, int32_t* aAttempts) {
  int32_t attempts = 1;
  vxAdyenStatusOutcome outcome = aAttempt();
  for (; outcome == vxAdyenStatusOutcome::so_InProgress && attempts < aMaxAttempts; ++attempts) {
    port::SleepMs(kInProgressPauseMs);
    outcome = aAttempt();
  }
  if (aAttempts != nullptr) *aAttempts = attempts;
  return outcome;
}

}  // namespace adyen
