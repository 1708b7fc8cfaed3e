#pragma once
// The printed reconciliation and totals reports: 42 columns, whatever receipt width the request
// asks for, laid out from the totals the terminal reports per sale, totals group, card brand and
// currency. Also the sums that the result records carry (reversals subtracted).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/uVX_Currency.h"

namespace adyen {

inline constexpr int32_t kReportWidth = 42;

inline constexpr char16_t kReconciliationReportTitle[] = u"EFT RECONCILIATION REPORT";
inline constexpr char16_t kTotalsReportTitle[] = u"EFT TOTAL REPORT";

// A report built line by line.
class kAdyenReport {
 public:
  // One line: aLabel at the left; aCentred, when not empty, centred (the label cut before it);
  // aValue, when not empty, ending at the last column (what stands before it cut or padded with
  // blanks); the whole cut to the report width. All three empty give an empty line.
  void AddReportLine(std::u16string_view aLabel, std::u16string_view aValue = {}, std::u16string_view aCentred = {});

  const std::vector<std::u16string>& Lines() const { return fLines; }
  // The lines joined, each followed by CR LF.
  std::u16string Text() const;

 private:
  std::vector<std::u16string> fLines;
};

// One entry of a totals group: the count and amount of one kind of transaction.
struct tAdyenTotalsEntry {
  std::u16string TransactionType;  // "Debit", "ReverseDebit", ...
  int32_t TransactionCount = 0;
  tVX_Currency TransactionAmount;  // as reported: positive for reversals too
};

struct tAdyenTotalsGroup {
  std::u16string SaleID;
  std::u16string TotalsGroupID;
  std::u16string PaymentInstrumentType;
  std::u16string CardBrand;
  std::u16string PaymentCurrency;
  std::vector<tAdyenTotalsEntry> PaymentTotals;
};

// What a reconciliation or totals answer reports.
struct tAdyenTotals {
  std::u16string POIID;                // of the answer's header
  std::u16string POIReconciliationID;
  std::vector<tAdyenTotalsGroup> TransactionTotals;
};

// The entry's amount with the sign it counts with: reversals ("ReverseDebit", "ReverseCredit",
// letter case ignored) subtract.
tVX_Currency SignedAmount(const tAdyenTotalsEntry& aEntry);

// The sums the result records carry: counts and signed amounts over every entry of every group,
// and the currency of the last group (empty without groups). Sums beyond the range of their type
// stop at its limit rather than wrap.
struct tAdyenTotalsSums {
  int32_t TransactionsCount = 0;
  tVX_Currency TotalAmount;
  std::u16string Currency;
};
tAdyenTotalsSums SumTotals(const tAdyenTotals& aTotals);

// The texts a report takes from the machine's locale and clock.
struct tAdyenReportLocale {
  std::u16string Date;               // today in the short date format
  std::u16string Time;               // now in the long time format
  std::u16string DecimalSeparator;
  std::u16string ThousandSeparator;  // empty: no digit groups
};

// The machine's texts for a report made now.
tAdyenReportLocale CurrentReportLocale();

// "#####0": the count without digit groups, at least one digit.
std::u16string FormatReportCount(int64_t aCount);
// "#,###.#0" with the locale's separators.
std::u16string FormatReportAmount(tVX_Currency aAmount, const tAdyenReportLocale& aLocale);

// The whole report under aTitle: header block, one block per group with its entries, the totals
// and the closing date and time.
std::u16string RenderTotalsReport(std::u16string_view aTitle, const tAdyenTotals& aTotals,
                                  const tAdyenReportLocale& aLocale);

}  // namespace adyen
