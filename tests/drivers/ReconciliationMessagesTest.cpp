// Reconciliation and totals: the requests, the reader of their answers and the results they fill.
#include <gtest/gtest.h>

#include <string>

#include "drivers/adyen/uVXPA_ADYEN_10_Reconciliation.h"
#include "payment/uVxPayment_Results.h"

using namespace adyen;

namespace {

const tAdyenReportLocale kLocale{u"15/03/2024", u"14:07:09", u".", u","};

TEST(TotalsRequests, ReconciliationAndTotalsBodies) {
  EXPECT_EQ(BuildReconciliationRequestMessage({u"Reconciliation", u"S1-T1", u"5140709123", u"P-1"}),
            uR"({"SaleToPOIRequest":{"MessageHeader":{"ProtocolVersion":"3.0","MessageClass":"Service",)"
            uR"("MessageCategory":"Reconciliation","MessageType":"Request","SaleID":"S1-T1","ServiceID":"5140709123",)"
            uR"("POIID":"P-1"},"ReconciliationRequest":{"ReconciliationType":"SaleReconciliation"}}})");
  EXPECT_EQ(BuildGetTotalsRequestMessage({u"GetTotals", u"S1-T1", u"5140709124", u"P-1"}),
            uR"({"SaleToPOIRequest":{"MessageHeader":{"ProtocolVersion":"3.0","MessageClass":"Service",)"
            uR"("MessageCategory":"GetTotals","MessageType":"Request","SaleID":"S1-T1","ServiceID":"5140709124",)"
            uR"("POIID":"P-1"},"GetTotalsRequest":{"TotalFilter":{"POIID":"P-1"}}}})");
}

std::u16string Answer(std::u16string_view aBodyName, std::u16string_view aBody) {
  return uR"({"SaleToPOIResponse":{"MessageHeader":{"POIID":"P-9"},")" + std::u16string(aBodyName) + u"\":" +
         std::u16string(aBody) + u"}}";
}

const char16_t kTotals[] = uR"({"Response":{"Result":"Success"},"POIReconciliationID":"12",
  "TransactionTotals":[
    {"PaymentInstrumentType":"Card","CardBrand":"mc","PaymentCurrency":"EUR","SaleID":"S1-T1","TotalsGroupID":"Global",
     "PaymentTotals":[{"TransactionType":"Debit","TransactionCount":3,"TransactionAmount":25},
                      {"TransactionType":"ReverseDebit","TransactionCount":1,"TransactionAmount":5}]},
    {"PaymentInstrumentType":"Card","CardBrand":"visa","PaymentCurrency":"USD","SaleID":"S1-T2","TotalsGroupID":"Shop"},
    {"CardBrand":"amex","PaymentCurrency":"GBP",
     "PaymentTotals":[{"TransactionType":"Debit","TransactionCount":"2","TransactionAmount":"1.5"},
                      {"TransactionType":"Debit","TransactionCount":2.5,"TransactionAmount":"abc"},
                      {"TransactionType":"Debit","TransactionCount":true,"TransactionAmount":{"x":1}}]}]})";

TEST(TotalsResponse, GroupsAndEntriesAsReported) {
  const tAdyenTotalsAnswer answer = ReadTotalsResponse(Answer(u"GetTotalsResponse", kTotals), u"GetTotalsResponse");
  ASSERT_TRUE(answer.Success);
  EXPECT_EQ(answer.ErrorText, u"");
  EXPECT_EQ(answer.Totals.POIID, u"P-9");
  EXPECT_EQ(answer.Totals.POIReconciliationID, u"12");
  ASSERT_EQ(answer.Totals.TransactionTotals.size(), 3u);
  const tAdyenTotalsGroup& first = answer.Totals.TransactionTotals[0];
  EXPECT_EQ(first.SaleID, u"S1-T1");
  EXPECT_EQ(first.TotalsGroupID, u"Global");
  EXPECT_EQ(first.PaymentInstrumentType, u"Card");
  EXPECT_EQ(first.CardBrand, u"mc");
  EXPECT_EQ(first.PaymentCurrency, u"EUR");
  ASSERT_EQ(first.PaymentTotals.size(), 2u);
  EXPECT_EQ(first.PaymentTotals[1].TransactionType, u"ReverseDebit");
  EXPECT_EQ(first.PaymentTotals[1].TransactionCount, 1);
  EXPECT_EQ(first.PaymentTotals[1].TransactionAmount, tVX_Currency::FromUnits(50000));
  EXPECT_TRUE(answer.Totals.TransactionTotals[1].PaymentTotals.empty());
  const tAdyenTotalsGroup& third = answer.Totals.TransactionTotals[2];
  EXPECT_EQ(third.SaleID, u"");
  ASSERT_EQ(third.PaymentTotals.size(), 3u);
  EXPECT_EQ(third.PaymentTotals[0].TransactionCount, 2);  // numbers written as text count too
  EXPECT_EQ(third.PaymentTotals[0].TransactionAmount, tVX_Currency::FromUnits(15000));
  for (int i : {1, 2}) {
    EXPECT_EQ(third.PaymentTotals[i].TransactionCount, 0) << i;
    EXPECT_EQ(third.PaymentTotals[i].TransactionAmount, tVX_Currency()) << i;
  }
}

TEST(TotalsResponse, FailuresCarryTheStandardTextWithoutTheRefusalReason) {
  const tAdyenTotalsAnswer refused = ReadTotalsResponse(
      Answer(u"ReconciliationResponse",
             uR"({"Response":{"Result":"Failure","ErrorCondition":"NotAllowed",)"
             uR"("AdditionalResponse":"message=Terminal+busy&errors=closing&refusalReason=R"},"POIReconciliationID":"4",)"
             uR"("TransactionTotals":[{"PaymentCurrency":"EUR"}]})"),
      u"ReconciliationResponse");
  EXPECT_FALSE(refused.Success);
  EXPECT_EQ(refused.ErrorText, u"NotAllowed - Terminal busy - closing");
  EXPECT_EQ(refused.Totals.POIID, u"P-9");
  EXPECT_EQ(refused.Totals.POIReconciliationID, u"4");
  EXPECT_TRUE(refused.Totals.TransactionTotals.empty());

  // The answer of the other kind, a lower-case result and no JSON at all are failures too.
  EXPECT_FALSE(ReadTotalsResponse(Answer(u"GetTotalsResponse", kTotals), u"ReconciliationResponse").Success);
  EXPECT_FALSE(ReadTotalsResponse(Answer(u"GetTotalsResponse", uR"({"Response":{"Result":"success"}})"),
                                  u"GetTotalsResponse")
                   .Success);
  const tAdyenTotalsAnswer garbage = ReadTotalsResponse(u"<html>", u"GetTotalsResponse");
  EXPECT_FALSE(garbage.Success);
  EXPECT_EQ(garbage.ErrorText, u"");
}

TEST(TotalsResult, DayCloseAndTotalsResultsFromAnAnswer) {
  const tAdyenTotalsAnswer answer = ReadTotalsResponse(Answer(u"GetTotalsResponse", kTotals), u"GetTotalsResponse");
  _int_DAYCLOSE_result dayClose;
  FillTotalsResult(answer, kReconciliationReportTitle, kLocale, dayClose);
  EXPECT_EQ(dayClose.DeviceId, u"P-9");
  EXPECT_EQ(dayClose.ClosureNumber, u"12");
  EXPECT_EQ(dayClose.TransactionsCount, 6);                             // 3 + 1 + 2 + 0 + 0
  EXPECT_EQ(dayClose.TotalAmount, tVX_Currency::FromUnits(215000));      // 25 - 5 + 1.5
  EXPECT_EQ(dayClose.Currency, u"GBP");
  EXPECT_EQ(dayClose.ReceiptText, RenderTotalsReport(kReconciliationReportTitle, answer.Totals, kLocale));
  EXPECT_EQ(dayClose.ErrorText, u"");

  _int_GETTOTALS_result totals;
  FillTotalsResult(answer, kTotalsReportTitle, kLocale, totals);
  EXPECT_EQ(totals.TransactionsCount, 6);
  EXPECT_EQ(totals.ReceiptText.substr(0, 16 + 13), std::u16string(13, u' ') + u"EFT TOTAL REPORT");
}

TEST(TotalsResult, AFailedAnswerLeavesNoReportAndResetsTheSums) {
  tAdyenTotalsAnswer answer;
  answer.ErrorText = u"Refusal - no";
  answer.Totals.POIID = u"P-9";
  answer.Totals.POIReconciliationID = u"3";
  _int_DAYCLOSE_result r;
  r.TransactionsCount = 5;
  r.TotalAmount = tVX_Currency::FromUnits(1);
  r.ReceiptText = u"old";
  FillTotalsResult(answer, kReconciliationReportTitle, kLocale, r);
  EXPECT_EQ(r.TransactionsCount, 0);
  EXPECT_EQ(r.TotalAmount, tVX_Currency());
  EXPECT_EQ(r.ReceiptText, u"");
  EXPECT_EQ(r.ErrorText, u"Refusal - no");
  EXPECT_EQ(r.DeviceId, u"P-9");
  EXPECT_EQ(r.ClosureNumber, u"3");

  // A success without groups: a report with zero totals, and the currency left as it was.
  answer = tAdyenTotalsAnswer{true, u"", {u"P-9", u"4", {}}};
  _int_GETTOTALS_result t;
  FillTotalsResult(answer, kTotalsReportTitle, kLocale, t);
  EXPECT_EQ(t.Currency, u"");
  EXPECT_NE(t.ReceiptText.find(u"Total Transactions Amount" + std::u16string(14, u' ') + u".00\r\n"),
            std::u16string::npos);
}

}  // namespace
