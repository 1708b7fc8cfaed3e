#include "Ledger.h"

#include <vector>

namespace termsim {

Json AmountJson(Amount aAmount) {
  if (aAmount % 10000 == 0) return Json(aAmount / 10000);
  return Json(static_cast<double>(aAmount) / 10000.0);
}

Transaction& Ledger::Add(Transaction aTransaction) {
  aTransaction.number = static_cast<int>(fTransactions.size()) + 1;
  fTransactions.push_back(std::move(aTransaction));
  return fTransactions.back();
}

Transaction* Ledger::FindPayment(const std::string& aId) {
  for (auto it = fTransactions.rbegin(); it != fTransactions.rend(); ++it) {
    if (it->category == "Payment" && (it->poiTransactionId == aId || it->acquirerTransactionId == aId)) return &*it;
  }
  return nullptr;
}

const Transaction* Ledger::Last(const std::string& aSaleId) const {
  for (auto it = fTransactions.rbegin(); it != fTransactions.rend(); ++it) {
    if (it->saleId == aSaleId) return &*it;
  }
  return nullptr;
}

const Transaction* Ledger::Find(const std::string& aSaleId, const std::string& aServiceId,
                                const std::string& aCategory) const {
  for (auto it = fTransactions.rbegin(); it != fTransactions.rend(); ++it) {
    if (it->saleId == aSaleId && it->serviceId == aServiceId && it->category == aCategory) return &*it;
  }
  return nullptr;
}

Json Ledger::Totals(int aPeriod) const {
  struct Group {
    std::string saleId, totalsGroup, brand, currency;
    int debitCount = 0, reverseCount = 0;
    Amount debitAmount = 0, reverseAmount = 0;
  };
  std::vector<Group> groups;
  for (const auto& transaction : fTransactions) {
    if (!transaction.approved || transaction.period != aPeriod) continue;
    Group* group = nullptr;
    for (auto& candidate : groups) {
      if (candidate.saleId == transaction.saleId && candidate.totalsGroup == transaction.totalsGroup &&
          candidate.brand == transaction.brand && candidate.currency == transaction.currency) {
        group = &candidate;
      }
    }
    if (group == nullptr) {
      group = &groups.emplace_back();
      group->saleId = transaction.saleId;
      group->totalsGroup = transaction.totalsGroup;
      group->brand = transaction.brand;
      group->currency = transaction.currency;
    }
    if (transaction.category == "Payment") {
      ++group->debitCount;
      group->debitAmount += transaction.amount;
    } else {
      ++group->reverseCount;
      group->reverseAmount += transaction.amount;
    }
  }
  Json totals = Json::array();
  for (const auto& group : groups) {
    Json entries = Json::array();
    if (group.debitCount > 0) {
      entries.push_back({{"TransactionType", "Debit"},
                         {"TransactionCount", group.debitCount},
                         {"TransactionAmount", AmountJson(group.debitAmount)}});
    }
    if (group.reverseCount > 0) {
      entries.push_back({{"TransactionType", "ReverseDebit"},
                         {"TransactionCount", group.reverseCount},
                         {"TransactionAmount", AmountJson(group.reverseAmount)}});
    }
    totals.push_back({{"PaymentInstrumentType", "Card"},
                      {"CardBrand", group.brand},
                      {"PaymentCurrency", group.currency},
                      {"SaleID", group.saleId},
                      {"TotalsGroupID", group.totalsGroup},
                      {"PaymentTotals", std::move(entries)}});
  }
  return totals;
}

Json Ledger::Describe() const {
  Json out = Json::array();
  for (const auto& transaction : fTransactions) {
    out.push_back({{"number", transaction.number},
                   {"category", transaction.category},
                   {"saleId", transaction.saleId},
                   {"serviceId", transaction.serviceId},
                   {"saleReference", transaction.saleReference},
                   {"poiTransactionId", transaction.poiTransactionId},
                   {"poiTimeStamp", transaction.poiTimeStamp},
                   {"approved", transaction.approved},
                   {"currency", transaction.currency},
                   {"amount", AmountJson(transaction.amount)},
                   {"tip", AmountJson(transaction.tip)},
                   {"brand", transaction.brand},
                   {"totalsGroup", transaction.totalsGroup},
                   {"period", transaction.period},
                   {"originalId", transaction.originalId},
                   {"reversed", AmountJson(transaction.reversed)}});
  }
  return out;
}

}  // namespace termsim
