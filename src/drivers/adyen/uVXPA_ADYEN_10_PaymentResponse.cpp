// The payment and reversal response reader, with the brand and entry mode tables.
#include <utility>

#include "base/uVX_DateTime.h"
#include "base/uVX_Text.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Payment.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Receipt.h"
#include "platform/Error.h"

namespace adyen {

const char16_t kActionInvalidMessage[] = u"Action Invalid. Must be PAY, VOID or REFUND";

vxPaymentNetwork BrandToPaymentNetwork(std::u16string_view aBrand) {
  using N = vxPaymentNetwork;
  struct tRule {
    std::u16string_view text;
    bool exact;
    N network;
  };
  static constexpr tRule kRules[] = {
      {u"amex", false, N::Amex},
      {u"alipay", false, N::AliPay},
      {u"discover", false, N::Discover},
      {u"doku", false, N::Doku},
      {u"dragonpay", false, N::DragonPay},
      {u"maestro", false, N::Maestro},
      {u"mc", false, N::Mastercard},
      {u"molpay", false, N::MolPay},
      {u"visa", false, N::Visa},
      {u"vpay", true, N::VPay},
      {u"electron_amazonpay", true, N::AmazonPay},
      {u"electron_applepay", true, N::ApplePay},
      {u"electron_samsungpay", true, N::SamsungPay},
      {u"yandex", false, N::Yandex},
  };
  for (const tRule& rule : kRules)
    if (rule.exact ? aBrand == rule.text : aBrand.substr(0, rule.text.size()) == rule.text) return rule.network;
  return N::Other;
}

vxPaymentTransactionType EntryModeToTransactionType(std::u16string_view aEntryMode) {
  using T = vxPaymentTransactionType;
  if (aEntryMode == u"RFID") return T::ptt_RFID;
  if (aEntryMode == u"Keyed" || aEntryMode == u"Manual") return T::ptt_Manual;
  if (aEntryMode == u"MagStripe") return T::ptt_MagStripe;
  if (aEntryMode == u"ICC" || aEntryMode == u"SynchronousICC") return T::ptt_Chip;
  if (aEntryMode == u"Tapped" || aEntryMode == u"Contactless" || aEntryMode == u"Mobile") return T::ptt_Cless;
  return T::ptt_Other;  // "File", "Scanned" and anything unknown
}

bool ReadPaymentResponse(std::u16string_view aPlainResponse, const kPaymentReceipt& aReceipt, _int_PAY_result& aResult) {
  kAdyenResponse response(aPlainResponse);
  const bool isPayment = aReceipt.Action() == vxPaymentAction::Pay;
  if (!isPayment && aReceipt.Action() != vxPaymentAction::Refund && aReceipt.Action() != vxPaymentAction::Void)
    throw tVX_Error(kActionInvalidMessage);
  const tJson* body = response.Body(isPayment ? u"PaymentResponse" : u"ReversalResponse");
  const tJson* result = isPayment ? kJSONUtils::GetObject(body, u"PaymentResult") : body;

  tAdyenResponseStatus status = ReadResponseStatus(body);
  aResult.DeviceId = kJSONUtils::GetString(response.Header(), u"POIID");

  if (status.Success) {
    if (const tJson* card = kJSONUtils::GetObject(body, u"PaymentResult.PaymentInstrumentData.CardData")) {
      vxCountryMap country;
      FindCountryByNumber(kJSONUtils::GetString(card, u"CardCountryCode"), country);
      aResult.CustomerCountryCode = country.Code2;
      aResult.MaskedPAN = kJSONUtils::GetString(card, u"MaskedPan");
      aResult.PaymentNetwork = BrandToPaymentNetwork(kJSONUtils::GetString(card, u"PaymentBrand"));
      aResult.TransactionType = EntryModeToTransactionType(kJSONUtils::GetString(card, u"EntryMode[0]"));
    }
    aResult.CardToken = status.AdditionalResponse.Value(u"recurring.shopperReference");
  } else {
    aResult.ErrorText = StandardErrorText(status, {u"message", u"errors", u"refusalReason"});
  }

  // Identifiers, time and receipts whatever the outcome: a declined payment still has them.
  tDateTime paid = 0;
  if (!vxdate::TryIso8601ToLocal(kJSONUtils::GetString(body, u"POIData.POITransactionID.TimeStamp"), paid))
    paid = vxdate::Now();
  aResult.PaymentDateTime = paid;
  aResult.TraceAuditId = kJSONUtils::GetString(body, u"POIData.POITransactionID.TransactionID");
  if (const tJson* acquirer = kJSONUtils::GetObject(body, u"PaymentResult.PaymentAcquirerData")) {
    aResult.PaymentNumber = kJSONUtils::GetString(acquirer, u"AcquirerTransactionID.TransactionID");
    aResult.AuthCode = kJSONUtils::GetString(acquirer, u"ApprovalCode");
  }
  aResult.RefundReference = aResult.TraceAuditId;

  // The cardholder signs when any copy asks for it: the terminal may flag only the cashier's copy,
  // and a signature missed because the customer's copy came last would cost the shop a chargeback.
  if (const tJson* receipts = kJSONUtils::GetArray(body, u"PaymentReceipt")) {
    bool signature = false;
    for (const tJson& receipt : *receipts) {
      RenderPaymentReceipt(&receipt, aReceipt.ReceiptColCount(), aResult);
      signature = signature || aResult.SignatureRequested;
    }
    aResult.SignatureRequested = signature;
  }

  if (result != nullptr) {
    if (isPayment) {
      aResult.PaymentAmount = tVX_Currency::FromJsonNumberString(kJSONUtils::GetString(result, u"AmountsResp.AuthorizedAmount"));
      aResult.PaymentCurrency = kJSONUtils::GetString(result, u"AmountsResp.Currency");
      aResult.TippedAmount = tVX_Currency::FromJsonNumberString(kJSONUtils::GetString(result, u"AmountsResp.TipAmount"));
    } else {
      aResult.PaymentAmount = tVX_Currency::FromJsonNumberString(kJSONUtils::GetString(result, u"ReversedAmount"));
      aResult.PaymentCurrency = aReceipt.Currency();
      aResult.TippedAmount = tVX_Currency();
    }
  }
  aResult.ExchangeRate = tVX_Currency();
  aResult.PaymentAmountCurrency = tVX_Currency();
  aResult.RemainingBalance = tVX_Currency();
  aResult.PaymentCurrencyCurrency.clear();
  return status.Success;
}

}  // namespace adyen
