// Day close and totals through the exports against the terminal simulator: the login, report
// request and logout the terminal received, the sums, the printed reports (compared line by line
// with the files in data/, the locale's date and time lines checked for their form only), and
// the failures that leave no report.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "E2EFixture.h"

namespace vxtest {
namespace {

constexpr size_t kWidth = 42;

std::vector<std::string> DataLines(const std::string& aName) {
  std::ifstream file(std::filesystem::path(VXPA_E2E_DATA_DIR) / aName, std::ios::binary);
  EXPECT_TRUE(file.good()) << aName;
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

// The report's lines with its date and time lines checked for their form (the value, made of
// the locale's date or time, ends at the last column; the closing stamp is centred) and replaced
// by markers, so that everything else can be compared exactly.
std::vector<std::string> Masked(const std::u16string& aReport) {
  std::vector<std::string> lines;
  for (const std::u16string& line : ReceiptLines(aReport)) lines.push_back(Narrow(line));
  if (lines.size() < 15) {
    ADD_FAILURE() << "too few lines:\n" << Narrow(aReport);
    return lines;
  }
  auto labelled = [](std::string& aLine, const std::string& aLabel, const char* aMarker) {
    EXPECT_EQ(aLine.substr(0, aLabel.size()), aLabel) << aLine;
    EXPECT_EQ(aLine.size(), kWidth) << aLine;
    EXPECT_NE(aLine.back(), ' ') << aLine;
    EXPECT_NE(aLine.find_first_of("0123456789", aLabel.size()), std::string::npos) << aLine;
    aLine = aMarker;
  };
  const std::string date = lines[2].substr(lines[2].find_last_of(' ') + 1);
  labelled(lines[2], "Date ", "{date line}");
  labelled(lines[3], "Time ", "{time line}");
  std::string& stamp = lines[lines.size() - 2];
  const size_t lead = stamp.find_first_not_of(' ');
  EXPECT_NE(lead, std::string::npos);
  if (lead != std::string::npos) {
    EXPECT_EQ(lead, (kWidth - (stamp.size() - lead)) / 2) << stamp;
    EXPECT_EQ(stamp.substr(lead, date.size()), date) << stamp;
  }
  stamp = "{date and time line}";
  return lines;
}

// A report line: aLabel at the left, aValue ending in the last column.
std::string Row(const std::string& aLabel, const std::string& aValue) {
  return aLabel + std::string(kWidth - aLabel.size() - aValue.size(), ' ') + aValue;
}

// The categories of the logged requests, in order.
std::vector<std::string> Categories(const std::vector<Json>& aEntries) {
  std::vector<std::string> categories;
  for (const Json& entry : aEntries) categories.push_back(entry["category"].get<std::string>());
  return categories;
}

class ReportsE2ETest : public E2ETest {
 protected:
  // Every test counts from an empty first period of its own.
  void SetUp() override {
    E2ETest::SetUp();
    fSim.Arrange({{"reset", "transactions"}});
  }

  // The requests logged since aMark (default: since SetUp).
  std::vector<Json> RequestsAfter(int64_t aMark) const { return fSim.RequestsSince(aMark); }
};

TEST_F(ReportsE2ETest, TotalsAndDayCloseInsideLoginAndLogoutThenANewPeriod) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  const ResultDoc sale = till.Sale(u"10.00");
  ASSERT_EQ(sale.Code(), 0) << Narrow(sale.Document());
  const ResultDoc visa = till.Sale(u"5.61");
  ASSERT_EQ(visa.Code(), 0) << Narrow(visa.Document());
  ASSERT_EQ(till.Reverse(u"REFUND", visa, u"2.00").Code(), 0);

  int64_t mark = fSim.LastSeq();
  const ResultDoc totals = till.GetTotals();
  EXPECT_EQ(totals.Code(), 0) << Narrow(totals.Document());
  std::vector<Json> sent = RequestsAfter(mark);
  EXPECT_EQ(Categories(sent), (std::vector<std::string>{"Login", "GetTotals", "Logout"}));
  ASSERT_EQ(sent.size(), 3u);
  for (const Json& entry : sent) EXPECT_EQ(entry["saleId"], "SHOP1-TILL1");
  EXPECT_EQ(sent[1]["request"]["SaleToPOIRequest"]["GetTotalsRequest"],
            Json({{"TotalFilter", {{"POIID", "SIM-00000001"}}}}));
  EXPECT_EQ(sent[0]["request"]["SaleToPOIRequest"]["LoginRequest"]["SaleTerminalData"]["TotalsGroupID"], "Global");
  EXPECT_EQ(sent[1]["serviceId"].get<std::string>().size(), 10u);
  EXPECT_NE(sent[0]["serviceId"], sent[1]["serviceId"]);
  EXPECT_EQ(totals.Text("DeviceId"), "SIM-00000001");
  EXPECT_EQ(totals.Text("TransactionsCount"), "3");
  EXPECT_EQ(totals.Text("TotalAmount"), "13.61");  // the refund subtracted
  EXPECT_EQ(totals.Text("Currency"), "EUR");
  EXPECT_FALSE(totals.Has("ClosureNumber"));
  EXPECT_NE(totals.Text("LogFileName"), "");
  EXPECT_NE(totals.Text("ReceiptText").find("EFT TOTAL REPORT"), std::string::npos);

  mark = fSim.LastSeq();
  const ResultDoc closed = till.DayClose();
  EXPECT_EQ(closed.Code(), 0) << Narrow(closed.Document());
  sent = RequestsAfter(mark);
  EXPECT_EQ(Categories(sent), (std::vector<std::string>{"Login", "Reconciliation", "Logout"}));
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[1]["request"]["SaleToPOIRequest"]["ReconciliationRequest"],
            Json({{"ReconciliationType", "SaleReconciliation"}}));
  EXPECT_EQ(closed.Text("ClosureNumber"), "1");
  EXPECT_EQ(closed.Text("TransactionsCount"), "3");
  EXPECT_EQ(closed.Text("TotalAmount"), "13.61");
  EXPECT_EQ(closed.Text("Currency"), "EUR");
  // The same period, read and then closed: the reports differ only in their titles (and clocks).
  std::vector<std::string> totalsLines = Masked(totals["ReceiptText"]);
  std::vector<std::string> closedLines = Masked(closed["ReceiptText"]);
  ASSERT_FALSE(totalsLines.empty());
  ASSERT_FALSE(closedLines.empty());
  EXPECT_EQ(totalsLines[0], std::string(13, ' ') + "EFT TOTAL REPORT");
  EXPECT_EQ(closedLines[0], std::string(8, ' ') + "EFT RECONCILIATION REPORT");
  totalsLines.erase(totalsLines.begin());
  closedLines.erase(closedLines.begin());
  EXPECT_EQ(totalsLines, closedLines);

  // The day close began a new period: nothing counted yet, no group, no currency.
  const ResultDoc next = till.GetTotals();
  EXPECT_EQ(next.Code(), 0) << Narrow(next.Document());
  EXPECT_EQ(next.Text("TransactionsCount"), "0");
  EXPECT_EQ(next.Text("TotalAmount"), "0");
  EXPECT_EQ(next.Text("Currency"), "");
  const std::vector<std::string> expected = {std::string(13, ' ') + "EFT TOTAL REPORT",
                                             "",
                                             "{date line}",
                                             "{time line}",
                                             "",
                                             Row("Terminal:", "SIM-00000001"),
                                             "",
                                             Row("Reconciliation ID:", "2"),
                                             "",
                                             std::string(kWidth, '='),
                                             Row("Total Transactions Count", "0"),
                                             Row("Total Transactions Amount", " .00"),
                                             "",
                                             "{date and time line}",
                                             ""};
  EXPECT_EQ(Masked(next["ReceiptText"]), expected);
}

TEST_F(ReportsE2ETest, AFailedReconciliationLeavesNoReport) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  ASSERT_EQ(till.Sale(u"4.00").Code(), 0);
  fSim.Arrange({{"scenario", "decline"},
                {"category", "Reconciliation"},
                {"condition", "Refusal"},
                {"message", "Batch locked"},
                {"errors", "Try later"}});
  const int64_t mark = fSim.LastSeq();
  const ResultDoc closed = till.DayClose();
  EXPECT_EQ(closed.Code(), -1);
  EXPECT_EQ(closed.Text("Error"), "True");
  EXPECT_EQ(closed.Text("ErrorText"), "Refusal - Batch locked - Try later");
  EXPECT_EQ(closed.Text("ReceiptText"), "");
  EXPECT_EQ(closed.Text("TransactionsCount"), "0");
  EXPECT_EQ(closed.Text("TotalAmount"), "0");
  EXPECT_EQ(closed.Text("DeviceId"), "SIM-00000001");
  // The logout follows the refused report all the same.
  EXPECT_EQ(Categories(RequestsAfter(mark)), (std::vector<std::string>{"Login", "Reconciliation", "Logout"}));

  // Nothing was closed: the next day close reports the sale in the first period.
  const ResultDoc retried = till.DayClose();
  EXPECT_EQ(retried.Code(), 0) << Narrow(retried.Document());
  EXPECT_EQ(retried.Text("ClosureNumber"), "1");
  EXPECT_EQ(retried.Text("TransactionsCount"), "1");
}

TEST_F(ReportsE2ETest, ARefusedLoginSendsNoReportRequestAndNoLogout) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  for (const char* command : {"DAYCLOSE", "GETTOTALS"}) {
    fSim.Arrange({{"scenario", "login-refusal"}, {"message", "Operator unknown"}});
    const int64_t mark = fSim.LastSeq();
    const ResultDoc result = std::string(command) == "DAYCLOSE" ? till.DayClose() : till.GetTotals();
    EXPECT_EQ(result.Code(), -1) << command;
    EXPECT_EQ(result.Text("Error"), "True");
    EXPECT_EQ(result.Text("ErrorText"), "NotAllowed - Operator unknown");
    EXPECT_EQ(result.Text("ReceiptText"), "");
    EXPECT_EQ(Categories(RequestsAfter(mark)), std::vector<std::string>{"Login"}) << command;
  }
}

// The shop day of the demonstration (scripts/demo.sh): three sales (the second declined), a
// verification and a reprint of the last, a refund of part of it, the totals and the day close.
// Its two reports are kept printed in data/.
TEST_F(ReportsE2ETest, ShopDayReportsAsPrinted) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  ASSERT_EQ(till.Sale(u"12.50").Code(), 0);
  ASSERT_EQ(till.Sale(u"20.51").Text("ErrorText"), "Refusal - Not enough balance");
  const ResultDoc visa = till.Sale(u"7.61");
  ASSERT_EQ(visa.Code(), 0);
  ASSERT_EQ(till.VerifyTran().Code(), 0);
  ASSERT_EQ(till.Reprint().Code(), 0);
  ASSERT_EQ(till.Reverse(u"REFUND", visa, u"2.00").Code(), 0);

  const ResultDoc totals = till.GetTotals();
  ASSERT_EQ(totals.Code(), 0) << Narrow(totals.Document());
  EXPECT_EQ(totals.Text("TransactionsCount"), "3");
  EXPECT_EQ(totals.Text("TotalAmount"), "18.11");
  EXPECT_EQ(Masked(totals["ReceiptText"]), DataLines("shop-day-totals.txt"));

  const ResultDoc closed = till.DayClose();
  ASSERT_EQ(closed.Code(), 0) << Narrow(closed.Document());
  EXPECT_EQ(closed.Text("ClosureNumber"), "1");
  EXPECT_EQ(closed.Text("TotalAmount"), "18.11");
  EXPECT_EQ(Masked(closed["ReceiptText"]), DataLines("shop-day-dayclose.txt"));
  EXPECT_EQ(till.Close().Code(), 0);
}

}  // namespace
}  // namespace vxtest
