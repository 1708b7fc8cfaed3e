// Verification and reprint through the exports against the terminal simulator: the status
// request the terminal received, and the earlier answer it repeated read back as the host sees
// a payment, receipts included.
#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "E2EFixture.h"

namespace vxtest {
namespace {

const Json& StatusBody(const Json& aEntry) { return aEntry["request"]["SaleToPOIRequest"]["TransactionStatusRequest"]; }

class StatusE2ETest : public E2ETest {
 protected:
  // The transaction status requests logged since SetUp.
  std::vector<Json> StatusRequests() const {
    std::vector<Json> found;
    for (const Json& entry : Requests()) {
      if (entry["category"] == "TransactionStatus") found.push_back(entry);
    }
    return found;
  }
};

// What a verification must repeat of the sale it found.
void ExpectSameTransaction(const ResultDoc& aVerified, const ResultDoc& aSale) {
  for (const char* field : {"DeviceId", "TraceAuditId", "RefundReference", "PaymentNumber", "AuthCode", "PaymentDateTime",
                            "PaymentAmount", "PaymentCurrency", "MaskedPAN", "PaymentNetwork", "TransactionType",
                            "ReceiptText", "CashierReceiptText"}) {
    EXPECT_EQ(aVerified[field], aSale[field]) << field;
  }
}

TEST_F(StatusE2ETest, LastPaymentIsRepeatedWithItsReceipts) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  const ResultDoc sale = till.Sale(u"12.50");
  ASSERT_EQ(sale.Code(), 0) << Narrow(sale.Document());
  ASSERT_FALSE(sale["ReceiptText"].empty());
  ASSERT_FALSE(sale["CashierReceiptText"].empty());

  for (const char16_t* receiptId : {u"", u"LAST"}) {
    const ResultDoc verified = till.VerifyTran(receiptId[0] ? Element(u"ReceiptId", receiptId) : u"");
    EXPECT_EQ(verified.Code(), 0) << Narrow(verified.Document());
    EXPECT_EQ(verified.Text("Error"), "False");
    EXPECT_EQ(verified.Text("ErrorText"), "");
    EXPECT_EQ(verified.Text("PaymentAmount"), "12.5");
    ExpectSameTransaction(verified, sale);
    EXPECT_NE(verified.Text("LogFileName"), "");

    const Json entry = LastRequest();
    EXPECT_EQ(entry["category"], "TransactionStatus");
    EXPECT_EQ(entry["saleId"], "SHOP1-TILL1");
    EXPECT_EQ(entry["serviceId"].get<std::string>().size(), 10u);
    const Json& body = StatusBody(entry);
    EXPECT_EQ(body["ReceiptReprintFlag"], true);
    EXPECT_EQ(body["DocumentQualifier"], Json::array({"CashierReceipt", "CustomerReceipt"}));
    EXPECT_FALSE(body.contains("MessageReference"));
  }
}

TEST_F(StatusE2ETest, NamedPaymentAndReversalAreFoundByTheirServiceId) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  const ResultDoc first = till.Sale(u"31.00", Element(u"Reference", u"A100000001"));
  ASSERT_EQ(first.Code(), 0) << Narrow(first.Document());
  const ResultDoc refund = till.Reverse(u"REFUND", first, u"4.25", Element(u"Reference", u"B100000002"));
  ASSERT_EQ(refund.Code(), 0) << Narrow(refund.Document());
  const ResultDoc last = till.Sale(u"8.61");  // a Visa, now the last transaction
  ASSERT_EQ(last.Code(), 0) << Narrow(last.Document());

  const ResultDoc payment = till.VerifyTran(Element(u"ReceiptId", u"A100000001"));
  EXPECT_EQ(payment.Code(), 0) << Narrow(payment.Document());
  EXPECT_EQ(payment.Text("PaymentAmount"), "31");
  EXPECT_EQ(payment.Text("PaymentNetwork"), "mastercard");
  ExpectSameTransaction(payment, first);
  const Json paymentReference = StatusBody(LastRequest())["MessageReference"];
  EXPECT_EQ(paymentReference, Json({{"SaleID", "SHOP1-TILL1"}, {"ServiceID", "A100000001"}, {"MessageCategory", "Payment"}}));

  // A reversal is named with a refund or void action; its amount is the reversed amount in the
  // request's currency.
  for (const char16_t* action : {u"REFUND", u"VOID"}) {
    const ResultDoc reversal = till.VerifyTran(Element(u"ReceiptId", u"B100000002") + Element(u"Action", action) +
                                               Element(u"Currency", u"EUR"));
    EXPECT_EQ(reversal.Code(), 0) << Narrow(reversal.Document());
    EXPECT_EQ(reversal.Text("PaymentAmount"), "4.25");
    EXPECT_EQ(reversal.Text("PaymentCurrency"), "EUR");
    EXPECT_EQ(reversal["TraceAuditId"], refund["TraceAuditId"]);
    EXPECT_EQ(reversal["ReceiptText"], refund["ReceiptText"]);
    EXPECT_EQ(StatusBody(LastRequest())["MessageReference"]["MessageCategory"], "Reversal");
  }

  // The reversal's ServiceID under the payment category names nothing.
  const ResultDoc missing = till.VerifyTran(Element(u"ReceiptId", u"B100000002"));
  EXPECT_EQ(missing.Code(), -1);
  EXPECT_EQ(missing.Text("Error"), "True");
  EXPECT_EQ(missing.Text("ErrorText"), "NotFound - Transaction not found");
}

TEST_F(StatusE2ETest, ADeclinedPaymentIsRepeatedAsDeclined) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  const ResultDoc sale = till.Sale(u"20.51");
  ASSERT_EQ(sale.Text("Error"), "True");
  const ResultDoc verified = till.VerifyTran();
  EXPECT_EQ(verified.Code(), -1);
  EXPECT_EQ(verified.Text("ErrorText"), sale.Text("ErrorText"));
  EXPECT_EQ(verified.Text("ErrorText"), "Refusal - Not enough balance");
  EXPECT_EQ(verified["TraceAuditId"], sale["TraceAuditId"]);
}

TEST_F(StatusE2ETest, TwoInProgressAnswersThenTheRepeatedPayment) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  const ResultDoc sale = till.Sale(u"15.00");
  ASSERT_EQ(sale.Code(), 0) << Narrow(sale.Document());
  fSim.Arrange({{"scenario", "in-progress"}, {"count", 2}});

  const auto start = std::chrono::steady_clock::now();
  const ResultDoc verified = till.VerifyTran(Element(u"Reference", u"V1"));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(verified.Code(), 0) << Narrow(verified.Document());
  EXPECT_EQ(verified.Text("Error"), "False");
  // The text of the attempts that found the terminal busy stays.
  EXPECT_EQ(verified.Text("ErrorText"), "InProgress");
  ExpectSameTransaction(verified, sale);

  const std::vector<Json> asked = StatusRequests();
  ASSERT_EQ(asked.size(), 3u);
  std::set<std::string> serviceIds;
  for (const Json& entry : asked) serviceIds.insert(entry["serviceId"].get<std::string>());
  EXPECT_EQ(serviceIds.size(), 3u);
  EXPECT_TRUE(serviceIds.contains("V1"));
  EXPECT_EQ(asked[0]["answer"]["SaleToPOIResponse"]["TransactionStatusResponse"]["Response"]["ErrorCondition"],
            "InProgress");
  // One request a second, not a flood.
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 1900);
}

TEST_F(StatusE2ETest, ReprintAnswersTheReceiptsOnly) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  const ResultDoc sale = till.Sale(u"9.40");
  ASSERT_EQ(sale.Code(), 0) << Narrow(sale.Document());

  const ResultDoc both = till.Reprint();
  EXPECT_EQ(both.Code(), 0) << Narrow(both.Document());
  EXPECT_EQ(both["ReceiptText"], sale["ReceiptText"]);
  EXPECT_EQ(both["CashierReceiptText"], sale["CashierReceiptText"]);
  EXPECT_EQ(both.Text("LogFileName"), "");
  EXPECT_FALSE(both.Has("PaymentAmount"));
  EXPECT_EQ(LastRequest()["category"], "TransactionStatus");

  // A terminal that keeps only the cashier copy.
  fSim.Arrange({{"scenario", "receipts"}, {"category", "TransactionStatus"}, {"copies", {"CashierReceipt"}}});
  const ResultDoc cashier = till.Reprint(Element(u"ReceiptId", u"LAST"));
  EXPECT_EQ(cashier.Code(), 0) << Narrow(cashier.Document());
  EXPECT_EQ(cashier.Text("ReceiptText"), "");
  EXPECT_EQ(cashier["CashierReceiptText"], sale["CashierReceiptText"]);
  EXPECT_FALSE(StatusBody(LastRequest()).contains("MessageReference"));

  const ResultDoc unknown = till.Reprint(Element(u"ReceiptId", u"0000000000"));
  EXPECT_EQ(unknown.Code(), -1);
  EXPECT_EQ(unknown.Text("ErrorText"), "NotFound - Transaction not found");
  EXPECT_EQ(unknown.Text("ReceiptText"), "");
}

}  // namespace
}  // namespace vxtest
