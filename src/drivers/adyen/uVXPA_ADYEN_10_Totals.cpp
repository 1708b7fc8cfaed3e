// Day close and totals: a reconciliation or totals request between a login and a logout, read
// into the counters, the sums and the printed report.
#include "drivers/adyen/uVXPA_ADYEN_10.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Reconciliation.h"

namespace {

adyen::tAdyenHeader HeaderOf(std::u16string_view aCategory, const kPaymentStoreRequest& aRequest,
                             const std::u16string& aPOIID) {
  return {std::u16string(aCategory), adyen::SaleIDOf(aRequest.StoreCode(), aRequest.TillCode()),
          aRequest.Reference().substr(0, 10), aPOIID};
}

}  // namespace

void kPayment_ADYEN::BuildReconciliationRequest(const kPaymentDayClose& aDayClose) {
  fSecurity.fInputMessage = adyen::BuildReconciliationRequestMessage(HeaderOf(u"Reconciliation", aDayClose, fPOIID));
}

void kPayment_ADYEN::BuildGetTotalsRequest(const kPaymentTotals& aTotals) {
  fSecurity.fInputMessage = adyen::BuildGetTotalsRequestMessage(HeaderOf(u"GetTotals", aTotals, fPOIID));
}

bool kPayment_ADYEN::ParseReconciliationResponse(_int_DAYCLOSE_result& aResult) {
  const adyen::tAdyenTotalsAnswer answer =
      adyen::ReadTotalsResponse(fSecurity.fJSONResponseDecrypted, u"ReconciliationResponse");
  adyen::FillTotalsResult(answer, adyen::kReconciliationReportTitle, adyen::CurrentReportLocale(), aResult);
  return answer.Success;
}

bool kPayment_ADYEN::ParseGetTotalsResponse(_int_GETTOTALS_result& aResult) {
  const adyen::tAdyenTotalsAnswer answer = adyen::ReadTotalsResponse(fSecurity.fJSONResponseDecrypted, u"GetTotalsResponse");
  adyen::FillTotalsResult(answer, adyen::kTotalsReportTitle, adyen::CurrentReportLocale(), aResult);
  return answer.Success;
}

bool kPayment_ADYEN::DoDayClose(kPaymentDayClose& aDayClose, _int_DAYCLOSE_result& aResult) {
  return RunInLoginBracket(aDayClose, aResult.Error, aResult.ErrorText, [&] {
    BuildReconciliationRequest(aDayClose);
    return Exchange(u"kAdyen.DayClose") && ParseReconciliationResponse(aResult);
  });
}

bool kPayment_ADYEN::DoGetTotals(kPaymentTotals& aTotals, _int_GETTOTALS_result& aResult) {
  return RunInLoginBracket(aTotals, aResult.Error, aResult.ErrorText, [&] {
    BuildGetTotalsRequest(aTotals);
    return Exchange(u"kAdyen.GetTotals") && ParseGetTotalsResponse(aResult);
  });
}
