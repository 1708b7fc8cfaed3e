#pragma once
// The payment terminal's behaviour on checked, decrypted requests: login and logout, payment,
// reversal, transaction status, reconciliation and totals. It keeps the transactions it ran and
// its reconciliation period. Not thread-safe: the simulator calls it under its lock.
#include "Ledger.h"
#include "Scenarios.h"

#include <nlohmann/json.hpp>

#include <map>
#include <optional>
#include <string>

namespace termsim {

using Json = nlohmann::ordered_json;

struct TerminalSettings {
  std::string poiid = "SIM-00000001";
  std::optional<int> utcOffsetMinutes;  // time stamps of answers; nullopt: the local zone
  std::string defaultTotalsGroup = "Global";
  std::string merchantName = "Sim Café & Bar";
  std::string merchantAddress = "Hauptstraße 1, 8001 Zürich";
  std::string merchantId = "SimMerchantECOM";
};

class Terminal {
 public:
  explicit Terminal(TerminalSettings aSettings);
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  // The plain answer envelope {"SaleToPOIResponse":{...}} to a request that passed every check.
  Json Answer(const Json& aRequest, const AppliedScenarios& aScenarios);
  // The answer refusing a request whose header names a known category but whose content is
  // wrong: Result Failure, ErrorCondition MessageFormat, the reason as AdditionalResponse message.
  Json FormatFailure(const Json& aHeader, const std::string& aCategory, const std::string& aReason) const;

  Json DescribeTransactions() const { return fLedger.Describe(); }
  int ReconciliationPeriod() const { return fPeriod; }
  // Forgets transactions, sessions and totals; the period starts again at 1.
  void Reset();

 private:
  struct Session {
    std::string totalsGroup;
    bool loggedIn = false;
  };

  Json Header(const Json& aRequestHeader) const;
  std::string Now() const;
  std::string NextTransactionId();
  std::string NextAcquirerId();
  std::string TotalsGroupOf(const std::string& aSaleId) const;

  Json AnswerLogin(const Json& aHeader, const Json& aBody, const AppliedScenarios& aScenarios);
  Json AnswerLogout(const Json& aHeader);
  Json AnswerPayment(const Json& aHeader, const Json& aBody, const AppliedScenarios& aScenarios);
  Json AnswerReversal(const Json& aHeader, const Json& aBody, const AppliedScenarios& aScenarios);
  Json AnswerStatus(const Json& aHeader, const Json& aBody, const AppliedScenarios& aScenarios) const;
  Json AnswerTotals(const Json& aHeader, bool aReconcile, const AppliedScenarios& aScenarios);

  TerminalSettings fSettings;
  Ledger fLedger;
  std::map<std::string, Session> fSessions;  // by SaleID
  int fPeriod = 1;
  int fSequence = 0;
  std::string fIdPrefix;  // start time, so identifiers differ between runs
};

// {"Result":"Failure","ErrorCondition":...,"AdditionalResponse":...} (AdditionalResponse only
// when aAdditional holds items).
Json FailureResponse(const std::string& aCondition, const KeyList& aAdditional);

}  // namespace termsim
