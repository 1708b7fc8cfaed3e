// Transaction status, reconciliation and totals.
#include "Receipts.h"
#include "Terminal.h"

namespace termsim {

Json Terminal::AnswerStatus(const Json& aHeader, const Json& aBody, const AppliedScenarios& aScenarios) const {
  if (aScenarios.Find(ScenarioKind::InProgress) != nullptr) {
    return {{"Response", FailureResponse("InProgress", {{"message", "Transaction in progress"}})}};
  }
  const Transaction* found = nullptr;
  if (aBody.contains("MessageReference")) {
    const Json& reference = aBody["MessageReference"];
    found = fLedger.Find(reference["SaleID"].get<std::string>(), reference["ServiceID"].get<std::string>(),
                         reference["MessageCategory"].get<std::string>());
  } else {
    found = fLedger.Last(aHeader["SaleID"].get<std::string>());
  }
  if (found == nullptr) {
    return {{"Response", FailureResponse("NotFound", {{"message", "Transaction not found"}})}};
  }

  Json repeated = found->responseBody;
  if (repeated.contains("PaymentReceipt")) {
    if (!aBody["ReceiptReprintFlag"].get<bool>()) {
      repeated.erase("PaymentReceipt");
    } else {
      repeated["PaymentReceipt"] = FilterReceipts(repeated["PaymentReceipt"], aBody["DocumentQualifier"]);
      if (const Scenario* receipts = aScenarios.Find(ScenarioKind::Receipts)) {
        repeated["PaymentReceipt"] = FilterReceipts(repeated["PaymentReceipt"], receipts->params["copies"]);
      }
    }
  }
  Json repeatedBody = Json::object();
  repeatedBody[found->category + "Response"] = std::move(repeated);
  return {{"Response", {{"Result", "Success"}}},
          {"MessageReference",
           {{"MessageCategory", found->category}, {"ServiceID", found->serviceId}, {"SaleID", found->saleId}}},
          {"RepeatedMessageResponse",
           {{"MessageHeader", found->responseHeader}, {"RepeatedResponseMessageBody", std::move(repeatedBody)}}}};
}

Json Terminal::AnswerTotals(const Json& aHeader, bool aReconcile, const AppliedScenarios& aScenarios) {
  // A refused report closes nothing.
  if (const Scenario* decline = aScenarios.Find(ScenarioKind::Decline)) {
    KeyList additional;
    for (const char* key : {"message", "errors", "refusalReason"}) {
      if (!decline->params.value(key, "").empty()) additional.push_back({key, decline->params.value(key, "")});
    }
    return {{"Response", FailureResponse(decline->params.value("condition", "Refusal"), additional)}};
  }
  Json totals = fLedger.Totals(fPeriod);
  Json body = {{"Response", {{"Result", "Success"}}}};
  if (aReconcile) body["ReconciliationType"] = "SaleReconciliation";
  body["POIReconciliationID"] = std::to_string(fPeriod);
  if (!totals.empty()) body["TransactionTotals"] = std::move(totals);
  // A sale reconciliation closes the period: later transactions count in the next one.
  if (aReconcile) ++fPeriod;
  return body;
}

}  // namespace termsim
