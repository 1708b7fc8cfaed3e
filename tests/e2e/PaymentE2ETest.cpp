// Sales, tips, tokens, refunds, voids and declines through the exports against the terminal
// simulator, over HTTP and HTTPS: what the host gets back is checked against what the terminal
// answered (its request log), and what the terminal received against what the host asked.
#include <gtest/gtest.h>

#include "E2EFixture.h"

namespace vxtest {
namespace {

const Json& PaymentBody(const Json& aEntry) { return aEntry["answer"]["SaleToPOIResponse"]["PaymentResponse"]; }
const Json& RequestBody(const Json& aEntry, const char* aMember) { return aEntry["request"]["SaleToPOIRequest"][aMember]; }

std::u16string FromJson(const Json& aText) { return Widen(aText.get<std::string>()); }

class PaymentE2ETest : public E2ETest {};

TEST_F(PaymentE2ETest, SaleIsApprovedWithWhatTheTerminalAnswered) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Text("Error"), "False");
  const ResultDoc sale = till.Sale(u"12.50");
  EXPECT_EQ(sale.Code(), 0);
  EXPECT_EQ(sale.Text("Error"), "False");
  EXPECT_EQ(sale.Text("ErrorText"), "");

  const Json entry = LastRequest();
  EXPECT_EQ(entry["category"], "Payment");
  EXPECT_EQ(entry["saleId"], "SHOP1-TILL1");
  const Json& amounts = RequestBody(entry, "PaymentRequest")["PaymentTransaction"]["AmountsReq"];
  EXPECT_EQ(amounts["RequestedAmount"].dump(), "12.5");
  EXPECT_FALSE(amounts.contains("TipAmount"));
  EXPECT_EQ(amounts["Currency"], "EUR");

  const Json& body = PaymentBody(entry);
  const Json& result = body["PaymentResult"];
  EXPECT_EQ(sale["DeviceId"], SimTerminal::kPOIID);
  EXPECT_EQ(sale["TraceAuditId"], FromJson(body["POIData"]["POITransactionID"]["TransactionID"]));
  EXPECT_EQ(sale["RefundReference"], sale["TraceAuditId"]);
  EXPECT_EQ(sale["PaymentNumber"], FromJson(result["PaymentAcquirerData"]["AcquirerTransactionID"]["TransactionID"]));
  EXPECT_EQ(sale["AuthCode"], FromJson(result["PaymentAcquirerData"]["ApprovalCode"]));
  // The terminal stamps its local time with the offset; the host gets the local time.
  EXPECT_EQ(sale["PaymentDateTime"], FromJson(body["POIData"]["POITransactionID"]["TimeStamp"]).substr(0, 19));
  EXPECT_EQ(sale.Text("PaymentAmount"), "12.5");
  EXPECT_EQ(sale.Text("PaymentCurrency"), "EUR");
  EXPECT_EQ(sale.Text("TippedAmount"), "0");
  EXPECT_EQ(sale.Text("MaskedPAN"), result["PaymentInstrumentData"]["CardData"]["MaskedPan"].get<std::string>());
  EXPECT_EQ(sale.Text("PaymentNetwork"), "mastercard");
  EXPECT_EQ(sale.Text("TransactionType"), "CLESS");
  EXPECT_EQ(sale.Text("CustomerCountryCode"), "NL");
  EXPECT_EQ(sale.Text("CardToken"), "");
  EXPECT_NE(sale.Text("ReceiptText"), "");
  EXPECT_NE(sale.Text("CashierReceiptText"), "");
  EXPECT_NE(sale.Text("LogFileName"), "");
  EXPECT_EQ(till.Close().Code(), 0);
}

TEST_F(PaymentE2ETest, WithoutOpenAPaymentOpensItsOwnDevice) {
  Till till(fSim, Settings());
  const ResultDoc sale = till.Sale(u"3.10");
  EXPECT_EQ(sale.Code(), 0) << Narrow(sale.Document());
  EXPECT_EQ(Requests().size(), 1u);
}

TEST_F(PaymentE2ETest, TipFromTheTillAndTipAskedOnTheTerminal) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);

  const ResultDoc tipped = till.Sale(u"12.50", Element(u"TipAmount", u"2.00"));
  EXPECT_EQ(tipped.Code(), 0) << Narrow(tipped.Document());
  const Json sent = RequestBody(LastRequest(), "PaymentRequest")["PaymentTransaction"]["AmountsReq"];
  EXPECT_EQ(sent["RequestedAmount"].dump(), "12.5");
  EXPECT_EQ(sent["TipAmount"].dump(), "2");
  EXPECT_EQ(tipped.Text("PaymentAmount"), "14.5");
  EXPECT_EQ(tipped.Text("TippedAmount"), "2");

  // The cardholder adds 10 % on the terminal when asked.
  const ResultDoc asked = till.Sale(u"12.50", Element(u"RequestTipAmount", u"true"));
  EXPECT_EQ(asked.Code(), 0) << Narrow(asked.Document());
  const std::string keyList = RequestBody(LastRequest(), "PaymentRequest")["SaleData"]["SaleToAcquirerData"];
  EXPECT_NE(keyList.find("&tenderOption=ReceiptHandler,AskGratuity"), std::string::npos) << keyList;
  EXPECT_EQ(asked.Text("TippedAmount"), "1.25");
  EXPECT_EQ(asked.Text("PaymentAmount"), "13.75");
}

TEST_F(PaymentE2ETest, TokenisedCardAnswersTheShopperReference) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  const ResultDoc sale = till.Sale(u"9.99", Element(u"TokenizeCard", u"true") + Element(u"TokenReference", u"CUST-42"));
  EXPECT_EQ(sale.Code(), 0) << Narrow(sale.Document());
  EXPECT_EQ(sale.Text("CardToken"), "CUST-42");
  const std::string keyList = RequestBody(LastRequest(), "PaymentRequest")["SaleData"]["SaleToAcquirerData"];
  EXPECT_TRUE(keyList.ends_with("&shopperReference=CUST-42&recurringContract=RECURRING")) << keyList;
}

TEST_F(PaymentE2ETest, RefundAndVoidReverseTheSaleUpToItsAmount) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  const ResultDoc sale = till.Sale(u"20.00");
  ASSERT_EQ(sale.Code(), 0) << Narrow(sale.Document());

  const ResultDoc refund = till.Reverse(u"REFUND", sale, u"5.00");
  EXPECT_EQ(refund.Code(), 0) << Narrow(refund.Document());
  const Json refundEntry = LastRequest();
  EXPECT_EQ(refundEntry["category"], "Reversal");
  const Json& reversal = RequestBody(refundEntry, "ReversalRequest");
  EXPECT_EQ(FromJson(reversal["OriginalPOITransaction"]["POITransactionID"]["TransactionID"]), sale["TraceAuditId"]);
  EXPECT_EQ(reversal["ReversalReason"], "MerchantCancel");
  EXPECT_EQ(reversal["ReversedAmount"].dump(), "5");
  EXPECT_EQ(refund.Text("PaymentAmount"), "5");
  EXPECT_EQ(refund.Text("PaymentCurrency"), "EUR");
  EXPECT_EQ(refund.Text("TippedAmount"), "0");
  EXPECT_NE(refund["TraceAuditId"], sale["TraceAuditId"]);

  // A void sends the amount and the tip, and answers the request's tip.
  const ResultDoc voided = till.Reverse(u"VOID", sale, u"13.00", Element(u"TipAmount", u"2.00"));
  EXPECT_EQ(voided.Code(), 0) << Narrow(voided.Document());
  EXPECT_EQ(RequestBody(LastRequest(), "ReversalRequest")["ReversedAmount"].dump(), "15");
  EXPECT_EQ(voided.Text("PaymentAmount"), "15");
  EXPECT_EQ(voided.Text("TippedAmount"), "2");

  // Nothing of the sale is left to give back.
  const ResultDoc tooMuch = till.Reverse(u"REFUND", sale, u"0.01");
  EXPECT_EQ(tooMuch.Code(), -1);
  EXPECT_EQ(tooMuch.Text("Error"), "True");
  EXPECT_EQ(tooMuch.Text("ErrorText"), "NotAllowed - Reversed amount exceeds what is left of the original transaction");
  EXPECT_EQ(tooMuch["DeviceId"], SimTerminal::kPOIID);
}

TEST_F(PaymentE2ETest, DeclinesCarryTheTerminalsReasonsAndIdentifiers) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  struct Case {
    const char16_t* amount;
    const char* errorText;
  } cases[] = {
      {u"12.51", "Refusal - Not enough balance"},
      {u"12.52", "Refusal - Card expired - Expired Card"},
      {u"12.54", "Cancel - Cancelled by customer"},
      {u"12.55", "Busy - Terminal busy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.amount));
    const ResultDoc declined = till.Sale(c.amount);
    EXPECT_EQ(declined.Code(), -1);
    EXPECT_EQ(declined.Text("Error"), "True");
    EXPECT_EQ(declined.Text("ErrorText"), c.errorText);
    const Json body = PaymentBody(LastRequest());
    EXPECT_EQ(declined["DeviceId"], SimTerminal::kPOIID);
    EXPECT_EQ(declined["TraceAuditId"], FromJson(body["POIData"]["POITransactionID"]["TransactionID"]));
    EXPECT_EQ(declined.Text("AuthCode"), "");
  }
  // A decline leaves the device as it was.
  EXPECT_EQ(till.Sale(u"12.50").Code(), 0);
}

TEST_F(PaymentE2ETest, CardBrandEntryModeAndCountryReachTheHost) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  struct Case {
    const char16_t* amount;
    const char* network;
    const char* type;
    const char* country;
    const char* signature;
  } cases[] = {
      {u"1.61", "visa", "CHIP", "IT", "False"},      {u"1.62", "amex", "MAGSTRIPE", "US", "True"},
      {u"1.63", "maestro", "MANUAL", "DE", "False"}, {u"1.64", "visa", "CLESS", "FR", "False"},
      {u"1.65", "other", "CHIP", "CN", "False"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.amount));
    const ResultDoc sale = till.Sale(c.amount);
    ASSERT_EQ(sale.Code(), 0) << Narrow(sale.Document());
    EXPECT_EQ(sale.Text("PaymentNetwork"), c.network);
    EXPECT_EQ(sale.Text("TransactionType"), c.type);
    EXPECT_EQ(sale.Text("CustomerCountryCode"), c.country);
    EXPECT_EQ(sale.Text("SignatureRequested"), c.signature);
  }
}

class HttpsPaymentE2ETest : public E2ETest {
 protected:
  HttpsPaymentE2ETest() : E2ETest(SimScheme::Https) {}
};

TEST_F(HttpsPaymentE2ETest, SaleAndRefundOverHttps) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  const ResultDoc sale = till.Sale(u"42.00");
  ASSERT_EQ(sale.Code(), 0) << Narrow(sale.Document());
  EXPECT_EQ(sale.Text("PaymentNetwork"), "mastercard");
  EXPECT_EQ(till.Reverse(u"REFUND", sale, u"42.00").Code(), 0);
  const std::vector<Json> requests = Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0]["scheme"], "https");
  EXPECT_EQ(requests[1]["category"], "Reversal");
}

}  // namespace
}  // namespace vxtest
