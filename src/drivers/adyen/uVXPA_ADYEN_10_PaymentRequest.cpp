// The payment and reversal requests.
#include <utility>

#include "base/uVX_DateTime.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Payment.h"

namespace adyen {

namespace {

constexpr char16_t kApplicationName[] = u"Cassivo Adyen Zarvik Driver";
constexpr char16_t kIntegrator[] = u"Quarnby";

std::u16string SaleIDOf(const kPaymentReceipt& aReceipt) {
  return adyen::SaleIDOf(aReceipt.StoreCode(), aReceipt.TillCode());
}

tAdyenHeader HeaderFor(const tAdyenSaleContext& aContext, const kPaymentReceipt& aReceipt,
                       std::u16string_view aCategory) {
  return {std::u16string(aCategory), SaleIDOf(aReceipt), aReceipt.Reference().substr(0, 10), aContext.POIID};
}

// SaleData: SaleTransactionID (TransactionID, TimeStamp), then SaleToAcquirerData.
tJson SaleData(const kPaymentReceipt& aReceipt, std::u16string_view aTimeStamp, std::u16string_view aKeyList) {
  tJson transaction = tJson::object();
  transaction["TransactionID"] = JsonText(aReceipt.Reference());
  transaction["TimeStamp"] = JsonText(aTimeStamp);
  tJson saleData = tJson::object();
  saleData["SaleTransactionID"] = std::move(transaction);
  saleData["SaleToAcquirerData"] = JsonText(EncodeKeyList(aKeyList));
  return saleData;
}

}  // namespace

std::u16string PaymentKeyList(const tAdyenSaleContext& aContext, const kPaymentReceipt& aReceipt) {
  const std::u16string& version = aContext.DriverVersion;
  std::u16string list = std::u16string(u"applicationInfo.merchantApplication.name=") + kApplicationName +
                        u"&applicationInfo.merchantApplication.version=" + version +
                        u"&applicationInfo.externalPlatform.integrator=" + kIntegrator +
                        u"&applicationInfo.externalPlatform.name=" + kApplicationName +
                        u"&applicationInfo.externalPlatform.version=" + version +
                        u"&applicationInfo.merchantDevice.os=" + aContext.OsName +
                        u"&applicationInfo.merchantDevice.osVersion=" + aContext.OsVersion +
                        u"&applicationInfo.merchantDevice.reference=" + aContext.MachineName;
  std::u16string tenderOptions;
  if (aReceipt.PrintLocation() == VxPrintLocation::pl_ECR) tenderOptions = u"ReceiptHandler";
  if (aReceipt.RequestTipAmount()) tenderOptions += tenderOptions.empty() ? u"AskGratuity" : u",AskGratuity";
  if (!tenderOptions.empty()) list += u"&tenderOption=" + tenderOptions;
  if (aReceipt.TokenizeCard())
    list += u"&shopperReference=" + aReceipt.TokenReference() + u"&recurringContract=RECURRING";
  return list;
}

std::u16string ReversalKeyList(const tAdyenSaleContext& aContext, const kPaymentReceipt& aReceipt) {
  const std::u16string& version = aContext.DriverVersion;
  std::u16string list = u"currency=" + aReceipt.Currency();
  if (aReceipt.PrintLocation() == VxPrintLocation::pl_ECR) list += u"&tenderOption=ReceiptHandler";
  list += std::u16string(u"&applicationInfo.merchantApplication.name=") + kApplicationName +
          u"&applicationInfo.merchantApplication.version=" + version +
          u"&applicationInfo.externalPlatform.integrator=" + kIntegrator +
          u"&applicationInfo.externalPlatform.name=" + kApplicationName +
          u"&applicationInfo.externalPlatform.version=" + version +
          u"&applicationInfo.merchantDevice.reference=" + aContext.MachineName;
  return list;
}

std::u16string BuildPaymentRequestMessage(const tAdyenSaleContext& aContext, const kPaymentReceipt& aReceipt,
                                          std::u16string_view aTimeStamp) {
  tJson amounts = tJson::object();
  amounts["Currency"] = JsonText(aReceipt.Currency());
  amounts["RequestedAmount"] = JsonAmount(aReceipt.Amount());
  if (aReceipt.TipAmount() > tVX_Currency()) amounts["TipAmount"] = JsonAmount(aReceipt.TipAmount());
  tJson transaction = tJson::object();
  transaction["AmountsReq"] = std::move(amounts);

  tJson body = tJson::object();
  body["SaleData"] = SaleData(aReceipt, aTimeStamp, PaymentKeyList(aContext, aReceipt));
  body["PaymentTransaction"] = std::move(transaction);
  return BuildRequestMessage(HeaderFor(aContext, aReceipt, u"Payment"), u"PaymentRequest", std::move(body));
}

std::u16string BuildReversalRequestMessage(const tAdyenSaleContext& aContext, const kPaymentReceipt& aReceipt,
                                           std::u16string_view aTimeStamp) {
  tJson original = tJson::object();
  original["TransactionID"] = JsonText(aReceipt.RefundReference().PaymentNumber);
  original["TimeStamp"] = JsonText(vxdate::ToIso8601Local(aReceipt.RefundReference().PaymentDateTime));
  tJson originalTransaction = tJson::object();
  originalTransaction["POITransactionID"] = std::move(original);

  tJson body = tJson::object();
  body["OriginalPOITransaction"] = std::move(originalTransaction);
  body["ReversalReason"] = "MerchantCancel";
  body["ReversedAmount"] = JsonAmount(aReceipt.Amount() + aReceipt.TipAmount());
  body["SaleData"] = SaleData(aReceipt, aTimeStamp, ReversalKeyList(aContext, aReceipt));
  return BuildRequestMessage(HeaderFor(aContext, aReceipt, u"Reversal"), u"ReversalRequest", std::move(body));
}

}  // namespace adyen
