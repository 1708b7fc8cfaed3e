#include "drivers/adyen/uVXPA_ADYEN_10_Report.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "base/uVX_Base.h"
#include "base/uVX_DateTime.h"
#include "base/uVX_Text.h"
#include "platform/NumberFormat.h"

namespace adyen {
namespace {

// aLine cut or padded with blanks to exactly aWidth characters.
std::u16string Fit(std::u16string aLine, size_t aWidth) {
  aLine.resize(aWidth, u' ');
  return aLine;
}

tVX_Currency SaturatingAdd(tVX_Currency aSum, tVX_Currency aAmount) {
  int64_t units = 0;
  if (!__builtin_add_overflow(aSum.Units(), aAmount.Units(), &units)) return tVX_Currency::FromUnits(units);
  return tVX_Currency::FromUnits(aAmount.Units() < 0 ? std::numeric_limits<int64_t>::min()
                                                     : std::numeric_limits<int64_t>::max());
}

}  // namespace

void kAdyenReport::AddReportLine(std::u16string_view aLabel, std::u16string_view aValue,
                                 std::u16string_view aCentred) {
  std::u16string line(aLabel);
  if (!aCentred.empty()) {
    const int64_t start = std::max<int64_t>(0, (kReportWidth - static_cast<int64_t>(aCentred.size())) / 2);
    line = Fit(std::move(line), static_cast<size_t>(start)) + std::u16string(aCentred);
  }
  if (!aValue.empty()) {
    const int64_t start = std::max<int64_t>(0, kReportWidth - static_cast<int64_t>(aValue.size()));
    line = Fit(std::move(line), static_cast<size_t>(start)) + std::u16string(aValue);
  }
  if (line.size() > static_cast<size_t>(kReportWidth)) line.resize(kReportWidth);
  fLines.push_back(std::move(line));
}

std::u16string kAdyenReport::Text() const {
  std::u16string text;
  for (const std::u16string& line : fLines) text += line + u"\r\n";
  return text;
}

tVX_Currency SignedAmount(const tAdyenTotalsEntry& aEntry) {
  const bool reversal = vxtext::SameText(aEntry.TransactionType, u"ReverseDebit") ||
                        vxtext::SameText(aEntry.TransactionType, u"ReverseCredit");
  if (!reversal) return aEntry.TransactionAmount;
  // The most negative amount has no positive counterpart; keep it from wrapping.
  if (aEntry.TransactionAmount.Units() == std::numeric_limits<int64_t>::min())
    return tVX_Currency::FromUnits(std::numeric_limits<int64_t>::max());
  return -aEntry.TransactionAmount;
}

tAdyenTotalsSums SumTotals(const tAdyenTotals& aTotals) {
  tAdyenTotalsSums sums;
  int64_t count = 0;
  for (const tAdyenTotalsGroup& group : aTotals.TransactionTotals) {
    sums.Currency = group.PaymentCurrency;
    for (const tAdyenTotalsEntry& entry : group.PaymentTotals) {
      sums.TotalAmount = SaturatingAdd(sums.TotalAmount, SignedAmount(entry));
      count = std::clamp<int64_t>(count + entry.TransactionCount, std::numeric_limits<int32_t>::min(),
                                  std::numeric_limits<int32_t>::max());
    }
  }
  sums.TransactionsCount = static_cast<int32_t>(count);
  return sums;
}

tAdyenReportLocale CurrentReportLocale() {
  const tDateTime now = vxdate::Now();
  port::NumberSeparators separators = port::LocaleNumberSeparators();
  return {FormatShortDate(now), FormatLongTime(now), std::move(separators.decimal), std::move(separators.thousands)};
}

std::u16string FormatReportCount(int64_t aCount) { return vxtext::IntToStr(aCount); }

std::u16string FormatReportAmount(tVX_Currency aAmount, const tAdyenReportLocale& aLocale) {
  return aAmount.ToReportString(aLocale.DecimalSeparator, aLocale.ThousandSeparator);
}

std::u16string RenderTotalsReport(std::u16string_view aTitle, const tAdyenTotals& aTotals,
                                  const tAdyenReportLocale& aLocale) {
  kAdyenReport report;
  report.AddReportLine({}, {}, aTitle);
  report.AddReportLine({});
  report.AddReportLine(u"Date ", aLocale.Date);
  report.AddReportLine(u"Time ", aLocale.Time);
  report.AddReportLine({});
  report.AddReportLine(u"Terminal:", aTotals.POIID);
  report.AddReportLine({});
  report.AddReportLine(u"Reconciliation ID:", aTotals.POIReconciliationID);

  for (const tAdyenTotalsGroup& group : aTotals.TransactionTotals) {
    report.AddReportLine({});
    report.AddReportLine(std::u16string(kReportWidth, u'-'));
    report.AddReportLine(u"Sale ID", group.SaleID);
    report.AddReportLine(u"Totals Group ID", group.TotalsGroupID);
    report.AddReportLine(u"Instrument Type", group.PaymentInstrumentType);
    report.AddReportLine(u"Card Brand", group.CardBrand);
    report.AddReportLine({});
    for (const tAdyenTotalsEntry& entry : group.PaymentTotals) {
      report.AddReportLine(u"Transactions Type", entry.TransactionType);
      report.AddReportLine(u"Transactions Count", FormatReportCount(entry.TransactionCount));
      report.AddReportLine(u"Amount", group.PaymentCurrency + u" " + FormatReportAmount(SignedAmount(entry), aLocale));
    }
  }

  const tAdyenTotalsSums sums = SumTotals(aTotals);
  report.AddReportLine({});
  report.AddReportLine(std::u16string(kReportWidth, u'='));
  report.AddReportLine(u"Total Transactions Count", FormatReportCount(sums.TransactionsCount));
  report.AddReportLine(u"Total Transactions Amount", sums.Currency + u" " + FormatReportAmount(sums.TotalAmount, aLocale));
  report.AddReportLine({});
  report.AddReportLine({}, {}, aLocale.Date + u" " + aLocale.Time);
  report.AddReportLine({});
  return report.Text();
}

}  // namespace adyen
