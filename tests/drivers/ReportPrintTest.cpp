// The reports of a shop day as they come out of the printer: the terminal's answers in data/ are
// read and laid out with the machine's locale, and the text is compared with the printed form
// kept beside them. Only the lines that carry the locale's date and time are masked.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/uVX_Base.h"
#include "base/uVX_DateTime.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Reconciliation.h"
#include "payment/uVxPayment_Results.h"
#include "platform/Clock.h"
#include "platform/Utf8.h"

using namespace adyen;

namespace {

std::string ReadData(const std::string& aName) {
  std::ifstream file(std::string(VX_DRIVERS_TEST_DATA) + "/" + aName, std::ios::binary);
  EXPECT_TRUE(file.good()) << aName;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> Split(const std::string& aText, const std::string& aEnd) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = aText.find(aEnd, start)) != std::string::npos; start = end + aEnd.size())
    lines.push_back(aText.substr(start, end - start));
  EXPECT_EQ(start, aText.size()) << "text after the last line end";
  return lines;
}

constexpr port::LocalTime kPrinted{2024, 3, 15, 18, 5, 9, 0};

class ReportPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port::OverrideNowForTesting([] { return kPrinted; });
  }
  void TearDown() override { port::OverrideNowForTesting(nullptr); }

  // The report's lines with the date and time lines checked and replaced by markers.
  static std::vector<std::string> Masked(const std::u16string& aReport) {
    std::vector<std::string> lines = Split(port::ToUtf8(aReport), "\r\n");
    const tDateTime printed = vxdate::FromLocalTime(kPrinted);
    const std::string date = port::ToUtf8(FormatShortDate(printed)), time = port::ToUtf8(FormatLongTime(printed));
    EXPECT_FALSE(date.empty());
    EXPECT_FALSE(time.empty());
    if (lines.size() < 16) {
      ADD_FAILURE() << "too few lines";
      return lines;
    }
    auto check = [&](std::string& aLine, const std::string& aStart, const std::string& aEnd, const char* aMarker) {
      EXPECT_EQ(aLine.substr(0, aStart.size()), aStart) << aLine;
      EXPECT_GE(aLine.size(), aEnd.size());
      EXPECT_EQ(aLine.substr(aLine.size() - std::min(aLine.size(), aEnd.size())), aEnd) << aLine;
      aLine = aMarker;
    };
    check(lines[2], "Date ", date, "{date line}");
    check(lines[3], "Time ", time, "{time line}");
    std::string& stamp = lines[lines.size() - 2];
    const size_t lead = stamp.find_first_not_of(' ');
    EXPECT_EQ(lead, (42 - (date.size() + 1 + time.size())) / 2);  // ASCII forms on the test machines
    check(stamp, "", date + " " + time, "{date and time line}");
    return lines;
  }
};

TEST_F(ReportPrintTest, TotalsReportOfTheShopDay) {
  const tAdyenTotalsAnswer answer =
      ReadTotalsResponse(port::FromUtf8(ReadData("shop-day-totals.json")), u"GetTotalsResponse");
  _int_GETTOTALS_result r;
  FillTotalsResult(answer, kTotalsReportTitle, CurrentReportLocale(), r);
  EXPECT_EQ(r.TransactionsCount, 4);
  EXPECT_EQ(r.TotalAmount, tVX_Currency::FromUnits(453000));
  EXPECT_EQ(Masked(r.ReceiptText), Split(ReadData("shop-day-totals.txt"), "\n"));
}

TEST_F(ReportPrintTest, ReconciliationReportOfTheShopDay) {
  const tAdyenTotalsAnswer answer =
      ReadTotalsResponse(port::FromUtf8(ReadData("shop-day-reconciliation.json")), u"ReconciliationResponse");
  _int_DAYCLOSE_result r;
  FillTotalsResult(answer, kReconciliationReportTitle, CurrentReportLocale(), r);
  EXPECT_EQ(r.ClosureNumber, u"1");
  EXPECT_EQ(Masked(r.ReceiptText), Split(ReadData("shop-day-reconciliation.txt"), "\n"));
}

}  // namespace
