#pragma once
// Reconciliation and totals messages: the day close request (a sale reconciliation, which starts
// a new accounting period on the terminal), the totals request (which leaves it open), and the
// reader of their answers into totals, sums and the printed report.
#include <string>
#include <string_view>

#include "drivers/adyen/uVXPA_ADYEN_10_Envelope.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Report.h"

namespace adyen {

// Category "Reconciliation", body ReconciliationRequest {"ReconciliationType":"SaleReconciliation"}.
std::u16string BuildReconciliationRequestMessage(const tAdyenHeader& aHeader);
// Category "GetTotals", body GetTotalsRequest {"TotalFilter":{"POIID":aHeader.POIID}}.
std::u16string BuildGetTotalsRequestMessage(const tAdyenHeader& aHeader);

// What a reconciliation or totals answer says.
struct tAdyenTotalsAnswer {
  bool Success = false;     // Result is exactly "Success"
  std::u16string ErrorText;  // on failure: the standard error text with "message" and "errors"
  tAdyenTotals Totals;       // the header's POIID, the reconciliation id and the groups as reported
};

// Reads the body aBodyName ("ReconciliationResponse" or "GetTotalsResponse") of the plain answer.
// Counts that are not integers and amounts that do not convert read as 0; a group without
// PaymentTotals has no entries.
tAdyenTotalsAnswer ReadTotalsResponse(std::u16string_view aPlainResponse, std::u16string_view aBodyName);

// Fills a day close or totals result from an answer: DeviceId (and a day close's ClosureNumber,
// the reconciliation id) always; on success the count, the signed total, the currency of the last
// group and the report under aTitle; on failure the error text, with no report. Count, total and
// report are reset first.
template <typename tResult>
void FillTotalsResult(const tAdyenTotalsAnswer& aAnswer, std::u16string_view aTitle,
                      const tAdyenReportLocale& aLocale, tResult& aResult) {
  aResult.TransactionsCount = 0;
  aResult.TotalAmount = tVX_Currency();
  aResult.ReceiptText.clear();
  aResult.DeviceId = aAnswer.Totals.POIID;
  if constexpr (requires { aResult.ClosureNumber; }) aResult.ClosureNumber = aAnswer.Totals.POIReconciliationID;
  if (!aAnswer.Success) {
    aResult.ErrorText = aAnswer.ErrorText;
    return;
  }
  const tAdyenTotalsSums sums = SumTotals(aAnswer.Totals);
  aResult.TransactionsCount = sums.TransactionsCount;
  aResult.TotalAmount = sums.TotalAmount;
  if (!aAnswer.Totals.TransactionTotals.empty()) aResult.Currency = sums.Currency;
  aResult.ReceiptText = RenderTotalsReport(aTitle, aAnswer.Totals, aLocale);
}

}  // namespace adyen
