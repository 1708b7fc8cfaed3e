// The 42-column reconciliation and totals reports and the sums the results carry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivers/adyen/uVXPA_ADYEN_10_Report.h"

using namespace adyen;

namespace {

tVX_Currency Amount(const char16_t* aText) {
  tVX_Currency value;
  EXPECT_TRUE(tVX_Currency::TryParseDecimal(aText, value));
  return value;
}

std::vector<std::u16string> SplitLines(const std::u16string& aText) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  for (size_t end; (end = aText.find(u"\r\n", start)) != std::u16string::npos; start = end + 2)
    lines.push_back(aText.substr(start, end - start));
  EXPECT_EQ(start, aText.size()) << "text after the last CR LF";
  return lines;
}

std::u16string Line(const char16_t* aLeft, const char16_t* aRight) {
  std::u16string left(aLeft), right(aRight);
  return left + std::u16string(42 - left.size() - right.size(), u' ') + right;
}

const tAdyenReportLocale kLocale{u"15/03/2024", u"14:07:09", u".", u","};

TEST(ReportLine, LabelLeftValueEndingAtColumn42) {
  kAdyenReport report;
  report.AddReportLine(u"Terminal:", u"P400-123");
  report.AddReportLine(u"", u"right");
  report.AddReportLine(u"left only");
  report.AddReportLine(u"");
  EXPECT_EQ(report.Lines(), (std::vector<std::u16string>{Line(u"Terminal:", u"P400-123"), Line(u"", u"right"),
                                                         u"left only", u""}));
  EXPECT_EQ(report.Text(), Line(u"Terminal:", u"P400-123") + u"\r\n" + Line(u"", u"right") + u"\r\nleft only\r\n\r\n");
}

TEST(ReportLine, CentredTextsAndTitles) {
  kAdyenReport report;
  report.AddReportLine({}, {}, kReconciliationReportTitle);
  report.AddReportLine({}, {}, kTotalsReportTitle);
  report.AddReportLine({}, {}, u"odd");              // (42 - 3) / 2 = 19
  report.AddReportLine(u"a label that is long", {}, u"mid");  // the label is cut before the centred text
  report.AddReportLine(u"ab", {}, u"mid");                    // a short label is padded up to it
  EXPECT_EQ(report.Lines()[0], std::u16string(8, u' ') + u"EFT RECONCILIATION REPORT");
  EXPECT_EQ(report.Lines()[1], std::u16string(13, u' ') + u"EFT TOTAL REPORT");
  EXPECT_EQ(report.Lines()[2], std::u16string(19, u' ') + u"odd");
  EXPECT_EQ(report.Lines()[3], u"a label that is lonmid");
  EXPECT_EQ(report.Lines()[4], u"ab" + std::u16string(17, u' ') + u"mid");
}

TEST(ReportLine, OverlongPartsAreCutToTheWidth) {
  const std::u16string label(50, u'L'), value43 = std::u16string(42, u'v') + u"X";
  kAdyenReport report;
  report.AddReportLine(label, u"12345");          // label cut so the value still ends at column 42
  report.AddReportLine(u"label", value43);        // a value longer than 42: its first 42 characters
  report.AddReportLine({}, {}, value43);          // centred text longer than 42: from column 1, cut
  report.AddReportLine(u"label", u"value", u"centred");  // the value cuts into the centred text
  EXPECT_EQ(report.Lines()[0], std::u16string(37, u'L') + u"12345");
  EXPECT_EQ(report.Lines()[1], std::u16string(42, u'v'));
  EXPECT_EQ(report.Lines()[2], std::u16string(42, u'v'));
  EXPECT_EQ(report.Lines()[3], u"label" + std::u16string(12, u' ') + u"centred" + std::u16string(13, u' ') + u"value");
}

TEST(TotalsSums, ReversalsSubtractAndTheLastGroupGivesTheCurrency) {
  tAdyenTotals totals;
  totals.TransactionTotals = {
      {u"S-1", u"Global", u"Card", u"mc", u"EUR",
       {{u"Debit", 3, Amount(u"25")}, {u"ReverseDebit", 1, Amount(u"5")}, {u"reversecredit", 2, Amount(u"1.25")}}},
      {u"S-1", u"Global", u"Card", u"visa", u"USD", {{u"Credit", 1, Amount(u"10")}, {u"Reverse", 1, Amount(u"1")}}},
  };
  const tAdyenTotalsSums sums = SumTotals(totals);
  EXPECT_EQ(sums.TransactionsCount, 8);
  EXPECT_EQ(sums.TotalAmount, Amount(u"29.75"));  // 25 - 5 - 1.25 + 10 + 1
  EXPECT_EQ(sums.Currency, u"USD");
  EXPECT_EQ(SignedAmount(totals.TransactionTotals[0].PaymentTotals[2]), Amount(u"-1.25"));

  const tAdyenTotalsSums none = SumTotals(tAdyenTotals{});
  EXPECT_EQ(none.TransactionsCount, 0);
  EXPECT_EQ(none.TotalAmount, tVX_Currency());
  EXPECT_EQ(none.Currency, u"");
}

TEST(TotalsSums, HostileCountsAndAmountsStopAtTheLimits) {
  const tVX_Currency huge = tVX_Currency::FromUnits(INT64_MAX - 1);
  tAdyenTotals totals;
  totals.TransactionTotals = {{u"", u"", u"", u"", u"EUR",
                               {{u"Debit", INT32_MAX, huge}, {u"Debit", INT32_MAX, huge}}}};
  tAdyenTotalsSums sums = SumTotals(totals);
  EXPECT_EQ(sums.TransactionsCount, INT32_MAX);
  EXPECT_EQ(sums.TotalAmount.Units(), INT64_MAX);

  totals.TransactionTotals[0].PaymentTotals = {{u"ReverseDebit", INT32_MIN, huge},
                                               {u"ReverseDebit", -5, huge},
                                               {u"ReverseDebit", 0, tVX_Currency::FromUnits(INT64_MIN)}};
  sums = SumTotals(totals);
  EXPECT_EQ(sums.TransactionsCount, INT32_MIN);
  EXPECT_EQ(sums.TotalAmount.Units(), INT64_MIN + INT64_MAX);  // min, then plus the largest amount
}

TEST(TotalsReport, OneGroupWithADebitAndAReversal) {
  tAdyenTotals totals{u"P400Plus-275008565", u"7",
                      {{u"STORE1-TILL1", u"Global", u"Card", u"mc", u"EUR",
                        {{u"Debit", 3, Amount(u"25")}, {u"ReverseDebit", 1, Amount(u"5")}}}}};
  const std::vector<std::u16string> expected = {
      std::u16string(8, u' ') + u"EFT RECONCILIATION REPORT",
      u"",
      Line(u"Date ", u"15/03/2024"),
      Line(u"Time ", u"14:07:09"),
      u"",
      Line(u"Terminal:", u"P400Plus-275008565"),
      u"",
      Line(u"Reconciliation ID:", u"7"),
      u"",
      std::u16string(42, u'-'),
      Line(u"Sale ID", u"STORE1-TILL1"),
      Line(u"Totals Group ID", u"Global"),
      Line(u"Instrument Type", u"Card"),
      Line(u"Card Brand", u"mc"),
      u"",
      Line(u"Transactions Type", u"Debit"),
      Line(u"Transactions Count", u"3"),
      Line(u"Amount", u"EUR 25.00"),
      Line(u"Transactions Type", u"ReverseDebit"),
      Line(u"Transactions Count", u"1"),
      Line(u"Amount", u"EUR -5.00"),
      u"",
      std::u16string(42, u'='),
      Line(u"Total Transactions Count", u"4"),
      Line(u"Total Transactions Amount", u"EUR 20.00"),
      u"",
      std::u16string(11, u' ') + u"15/03/2024 14:07:09",
      u"",
  };
  EXPECT_EQ(SplitLines(RenderTotalsReport(kReconciliationReportTitle, totals, kLocale)), expected);
}

TEST(TotalsReport, WithoutGroupsTheTotalsHaveNoCurrencyAndNoDigitBeforeTheSeparator) {
  const tAdyenReportLocale locale{u"2024-03-15", u"14.07.09", u",", u"."};
  const std::vector<std::u16string> lines =
      SplitLines(RenderTotalsReport(kTotalsReportTitle, tAdyenTotals{u"SIM-1", u"", {}}, locale));
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[0], std::u16string(13, u' ') + u"EFT TOTAL REPORT");
  EXPECT_EQ(lines[7], u"Reconciliation ID:");
  EXPECT_EQ(lines[8], u"");
  EXPECT_EQ(lines[9], std::u16string(42, u'='));
  EXPECT_EQ(lines[10], Line(u"Total Transactions Count", u"0"));
  EXPECT_EQ(lines[11], Line(u"Total Transactions Amount", u" ,00"));
  EXPECT_EQ(lines[13], std::u16string(11, u' ') + u"2024-03-15 14.07.09");
}

TEST(TotalsReport, GroupsAndEntriesInTheirOrderWithLocaleSeparators) {
  const tAdyenReportLocale locale{u"d", u"t", u",", u"."};
  tAdyenTotals totals{u"T", u"2",
                      {{u"A-1", u"G1", u"Card", u"visa", u"EUR", {{u"Debit", 2, Amount(u"1234.5")}}},
                       {u"A-2", u"G2", u"Card", u"mc", u"CHF", {}},
                       {u"A-1", u"G1", u"Card", u"mc", u"EUR", {{u"Debit", 0, Amount(u"0")}}}}};
  const std::vector<std::u16string> lines = SplitLines(RenderTotalsReport(kTotalsReportTitle, totals, locale));
  ASSERT_EQ(lines.size(), 8u + 3 * 7 + 2 * 3 + 7);
  EXPECT_EQ(lines[10], Line(u"Sale ID", u"A-1"));
  EXPECT_EQ(lines[17], Line(u"Amount", u"EUR 1.234,50"));
  EXPECT_EQ(lines[20], Line(u"Sale ID", u"A-2"));
  EXPECT_EQ(lines[23], Line(u"Card Brand", u"mc"));
  EXPECT_EQ(lines[24], u"");
  EXPECT_EQ(lines[25], u"");                    // the next group begins at once
  EXPECT_EQ(lines[26], std::u16string(42, u'-'));
  EXPECT_EQ(lines[34], Line(u"Amount", u"EUR ,00"));
  EXPECT_EQ(lines[37], Line(u"Total Transactions Count", u"2"));
  EXPECT_EQ(lines[38], Line(u"Total Transactions Amount", u"EUR 1.234,50"));  // currency of the last group
}

}  // namespace
