#pragma once
// The transactions the terminal ran, kept in memory for status, reprint and the totals of the
// open reconciliation period.
#include "SimText.h"

#include <nlohmann/json.hpp>

#include <deque>
#include <string>

namespace termsim {

using Json = nlohmann::ordered_json;

struct Transaction {
  int number = 0;        // 1, 2, ... in the order they ran
  std::string category;  // "Payment" or "Reversal"
  std::string saleId;
  std::string serviceId;
  std::string saleReference;     // SaleTransactionID.TransactionID of the request
  std::string poiTransactionId;  // the terminal's identifier, quoted by a later reversal
  std::string poiTimeStamp;
  std::string acquirerTransactionId;
  bool approved = false;
  std::string currency;
  Amount amount = 0;  // payment: authorised amount, tip included; reversal: reversed amount
  Amount tip = 0;
  std::string brand;
  std::string totalsGroup;
  int period = 0;               // the reconciliation period it counts in
  std::string originalId;       // reversal: poiTransactionId of the payment
  Amount reversed = 0;          // payment: amount reversed so far
  Json responseHeader;          // the answer as first sent, for status requests
  Json responseBody;
};

class Ledger {
 public:
  // Stores a copy and answers it; references stay valid until Clear.
  Transaction& Add(Transaction aTransaction);
  // The payment with this POI or acquirer transaction identifier; nullptr when none.
  Transaction* FindPayment(const std::string& aId);
  // The latest transaction of aSaleId; nullptr when none.
  const Transaction* Last(const std::string& aSaleId) const;
  // The latest transaction sent with this SaleID, ServiceID and category; nullptr when none.
  const Transaction* Find(const std::string& aSaleId, const std::string& aServiceId, const std::string& aCategory) const;
  // TransactionTotals of the approved transactions of aPeriod: one group per SaleID, totals
  // group, brand and currency (in order of first use), with Debit and ReverseDebit entries.
  Json Totals(int aPeriod) const;
  Json Describe() const;
  const std::deque<Transaction>& All() const { return fTransactions; }
  void Clear() { fTransactions.clear(); }

 private:
  std::deque<Transaction> fTransactions;
};

// An amount as a JSON number in its shortest form (12.5, 10).
Json AmountJson(Amount aAmount);

}  // namespace termsim
