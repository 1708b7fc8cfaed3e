#include "drivers/adyen/uVXPA_ADYEN_10_Reconciliation.h"

#include <utility>

#include "base/uVX_Text.h"

namespace adyen {

std::u16string BuildReconciliationRequestMessage(const tAdyenHeader& aHeader) {
  tJson body = tJson::object();
  body["ReconciliationType"] = "SaleReconciliation";
  return BuildRequestMessage(aHeader, u"ReconciliationRequest", std::move(body));
}

std::u16string BuildGetTotalsRequestMessage(const tAdyenHeader& aHeader) {
  tJson filter = tJson::object();
  filter["POIID"] = JsonText(aHeader.POIID);
  tJson body = tJson::object();
  body["TotalFilter"] = std::move(filter);
  return BuildRequestMessage(aHeader, u"GetTotalsRequest", std::move(body));
}

tAdyenTotalsAnswer ReadTotalsResponse(std::u16string_view aPlainResponse, std::u16string_view aBodyName) {
  const kAdyenResponse response(aPlainResponse);
  const tJson* body = response.Body(aBodyName);
  const tAdyenResponseStatus status = ReadResponseStatus(body);

  tAdyenTotalsAnswer answer;
  answer.Success = status.Success;
  answer.Totals.POIID = kJSONUtils::GetString(response.Header(), u"POIID");
  answer.Totals.POIReconciliationID = kJSONUtils::GetString(body, u"POIReconciliationID");
  if (!status.Success) {
    answer.ErrorText = StandardErrorText(status, {u"message", u"errors"});
    return answer;
  }
  const tJson* groups = kJSONUtils::GetArray(body, u"TransactionTotals");
  if (groups == nullptr) return answer;
  for (const tJson& group : *groups) {
    tAdyenTotalsGroup& totals = answer.Totals.TransactionTotals.emplace_back();
    totals.SaleID = kJSONUtils::GetString(&group, u"SaleID");
    totals.TotalsGroupID = kJSONUtils::GetString(&group, u"TotalsGroupID");
    totals.PaymentInstrumentType = kJSONUtils::GetString(&group, u"PaymentInstrumentType");
    totals.CardBrand = kJSONUtils::GetString(&group, u"CardBrand");
    totals.PaymentCurrency = kJSONUtils::GetString(&group, u"PaymentCurrency");
    const tJson* entries = kJSONUtils::GetArray(&group, u"PaymentTotals");
    if (entries == nullptr) continue;
    for (const tJson& entry : *entries) {
      tAdyenTotalsEntry& line = totals.PaymentTotals.emplace_back();
      line.TransactionType = kJSONUtils::GetString(&entry, u"TransactionType");
      if (!vxtext::TryStrToInt(kJSONUtils::GetString(&entry, u"TransactionCount"), line.TransactionCount))
        line.TransactionCount = 0;
      line.TransactionAmount =
          tVX_Currency::FromJsonNumberString(kJSONUtils::GetString(&entry, u"TransactionAmount"));
    }
  }
  return answer;
}

}  // namespace adyen
