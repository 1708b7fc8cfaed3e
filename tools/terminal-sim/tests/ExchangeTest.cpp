// Protected round trips of every message the terminal serves, checked with the test's own
// implementation of the protection.
#include "SimFixture.h"

#include <set>

namespace simtest {
namespace {

using ExchangeTest = SimTest;

TEST_F(ExchangeTest, LoginAndLogoutRoundTripWithFreshAnswerNonces) {
  const Exchange login = Client().Send(LoginRequest("STORE1-TILL1", "1000000001"));
  ASSERT_EQ(login.error, "") << login.http.body;
  EXPECT_EQ(login.Result("LoginResponse"), "Success");
  const Json& header = login.answer["SaleToPOIResponse"]["MessageHeader"];
  EXPECT_EQ(header["MessageCategory"], "Login");
  EXPECT_EQ(header["MessageType"], "Response");
  EXPECT_EQ(header["ServiceID"], "1000000001");
  EXPECT_EQ(header["SaleID"], "STORE1-TILL1");
  EXPECT_EQ(header["POIID"], "SIM-00000001");
  // The unprotected header copy equals the protected one.
  EXPECT_EQ(Json::parse(login.http.body)["SaleToPOIResponse"]["MessageHeader"], header);
  EXPECT_EQ(login.trailer["KeyIdentifier"], "SimKey");

  const Exchange logout = Client().Send(LogoutRequest("STORE1-TILL1", "1000000002"));
  ASSERT_EQ(logout.error, "");
  EXPECT_EQ(logout.Result("LogoutResponse"), "Success");
  EXPECT_NE(login.trailer["Nonce"], logout.trailer["Nonce"]);
}

TEST_F(ExchangeTest, ApprovedPaymentCarriesIdentifiersCardDataAmountsAndReceipts) {
  const Exchange exchange = Client().Send(PaymentRequest("STORE1-TILL1", "2000000001", "12.5"));
  ASSERT_EQ(exchange.error, "");
  const Json& body = exchange.Body("PaymentResponse");
  EXPECT_EQ(exchange.Result("PaymentResponse"), "Success");
  EXPECT_EQ(body["SaleData"]["SaleTransactionID"]["TransactionID"], "2000000001");
  EXPECT_EQ(PoiTransactionId(body).size(), 16u);
  const std::string stamp = body["POIData"]["POITransactionID"]["TimeStamp"].get<std::string>();
  EXPECT_EQ(termsim::CheckIsoTime(stamp), "");
  const Json& result = body["PaymentResult"];
  const Json& card = result["PaymentInstrumentData"]["CardData"];
  EXPECT_EQ(card["PaymentBrand"], "mc");
  EXPECT_EQ(card["EntryMode"], Json::array({"Contactless"}));
  EXPECT_EQ(card["MaskedPan"], "541333 **** 9999");
  EXPECT_EQ(card["CardCountryCode"], "528");
  EXPECT_EQ(result["AmountsResp"]["AuthorizedAmount"].dump(), "12.5");
  EXPECT_EQ(result["AmountsResp"]["Currency"], "EUR");
  EXPECT_FALSE(result["AmountsResp"].contains("TipAmount"));
  EXPECT_EQ(result["PaymentAcquirerData"]["ApprovalCode"].get<std::string>().size(), 6u);

  const auto cashier = ReceiptLines(body, "CashierReceipt");
  const auto customer = ReceiptLines(body, "CustomerReceipt");
  EXPECT_TRUE(HasLine(cashier, "MERCHANT COPY"));
  EXPECT_TRUE(HasLine(customer, "CARDHOLDER COPY"));
  EXPECT_TRUE(HasLine(customer, "Sim Café & Bar"));  // UTF-8 and '&' survive the key-list encoding
  EXPECT_TRUE(HasLine(customer, "Hauptstraße 1, 8001 Zürich"));
  EXPECT_TRUE(HasLine(customer, "TOTAL: EUR 12.50"));  // name and value items joined on one line
  EXPECT_TRUE(HasLine(customer, "APPROVED"));
  EXPECT_TRUE(HasLine(customer, "Tx Ref: " + PoiTransactionId(body)));
  EXPECT_TRUE(HasLine(customer, "Type: GOODS & SERVICES"));
  bool qrCode = false;
  for (const auto& item : body["PaymentReceipt"][1]["OutputContent"]["OutputText"]) {
    qrCode = qrCode || KeyValue(item["Text"].get<std::string>(), "key") == "QRCode";
  }
  EXPECT_TRUE(qrCode);
  const Json& last = body["PaymentReceipt"][1]["OutputContent"]["OutputText"].back();
  EXPECT_TRUE(last["EndOfLineFlag"].get<bool>());
}

TEST_F(ExchangeTest, TipsGratuityAndTokens) {
  const Exchange tipped = Client().Send(PaymentRequest("S-T", "2000000002", "12.5", "EUR", "2"));
  ASSERT_EQ(tipped.error, "");
  const Json& amounts = tipped.Body("PaymentResponse")["PaymentResult"]["AmountsResp"];
  EXPECT_EQ(amounts["AuthorizedAmount"].dump(), "14.5");
  EXPECT_EQ(amounts["TipAmount"].dump(), "2");
  EXPECT_TRUE(HasLine(ReceiptLines(tipped.Body("PaymentResponse"), "CustomerReceipt"), "Tip: EUR 2.00"));

  // Asked for a gratuity, the customer adds 10 %, or what a scenario names.
  const Exchange asked = Client().Send(PaymentRequest("S-T", "2000000003", "20", "EUR", "", "ReceiptHandler,AskGratuity"));
  ASSERT_EQ(asked.error, "");
  EXPECT_EQ(asked.Body("PaymentResponse")["PaymentResult"]["AmountsResp"]["TipAmount"].dump(), "2");
  Client().Control({{"scenario", "gratuity"}, {"amount", 3.25}});
  const Exchange chosen = Client().Send(PaymentRequest("S-T", "2000000004", "20", "EUR", "", "AskGratuity"));
  EXPECT_EQ(chosen.Body("PaymentResponse")["PaymentResult"]["AmountsResp"]["TipAmount"].dump(), "3.25");
  EXPECT_EQ(chosen.Body("PaymentResponse")["PaymentResult"]["AmountsResp"]["AuthorizedAmount"].dump(), "23.25");

  const Exchange token = Client().Send(PaymentRequest("S-T", "2000000005", "5", "EUR", "", "", "shopper-42"));
  ASSERT_EQ(token.error, "");
  const std::string additional = token.Body("PaymentResponse")["Response"]["AdditionalResponse"].get<std::string>();
  EXPECT_EQ(KeyValue(additional, "recurring.shopperReference"), "shopper-42");
  EXPECT_FALSE(KeyValue(additional, "recurring.recurringDetailReference").empty());
}

TEST_F(ExchangeTest, AmountCodesDeclineOrPickTheCard) {
  const Exchange declined = Client().Send(PaymentRequest("S-T", "3000000001", "10.51"));
  ASSERT_EQ(declined.error, "");
  const Json& body = declined.Body("PaymentResponse");
  EXPECT_EQ(declined.Result("PaymentResponse"), "Failure");
  EXPECT_EQ(body["Response"]["ErrorCondition"], "Refusal");
  EXPECT_EQ(KeyValue(body["Response"]["AdditionalResponse"].get<std::string>(), "refusalReason"), "Not enough balance");
  EXPECT_EQ(body["PaymentResult"]["AmountsResp"]["AuthorizedAmount"].dump(), "0");
  EXPECT_FALSE(body["PaymentResult"]["PaymentAcquirerData"].contains("ApprovalCode"));
  EXPECT_TRUE(HasLine(ReceiptLines(body, "CustomerReceipt"), "DECLINED"));
  EXPECT_TRUE(HasLine(ReceiptLines(body, "CustomerReceipt"), "Reason: Not enough balance"));

  const Exchange cancelled = Client().Send(PaymentRequest("S-T", "3000000002", "7.54"));
  EXPECT_EQ(cancelled.Body("PaymentResponse")["Response"]["ErrorCondition"], "Cancel");
  EXPECT_FALSE(cancelled.Body("PaymentResponse").contains("PaymentResult"));
  EXPECT_FALSE(cancelled.Body("PaymentResponse").contains("PaymentReceipt"));

  const Json amex = Pay("3000000003", "8.62");
  EXPECT_EQ(amex["PaymentResult"]["PaymentInstrumentData"]["CardData"]["PaymentBrand"], "amex");
  EXPECT_EQ(amex["PaymentReceipt"][0]["RequiredSignatureFlag"], true);
  EXPECT_EQ(amex["PaymentReceipt"][1]["RequiredSignatureFlag"], false);
  const Json visa = Pay("3000000004", "1.61");
  EXPECT_EQ(visa["PaymentResult"]["PaymentInstrumentData"]["CardData"]["EntryMode"][0], "ICC");
  EXPECT_EQ(visa["PaymentResult"]["PaymentInstrumentData"]["CardData"]["CardCountryCode"], "380");
}

TEST_F(ExchangeTest, ReversalsRefundPartlyThenVoidTheRestAndNeverMore) {
  const Json payment = Pay("4000000001", "30");
  const std::string original = PoiTransactionId(payment);

  const Exchange refund = Client().Send(ReversalRequest("S-T", "4000000002", original, "10"));
  ASSERT_EQ(refund.error, "");
  const Json& refunded = refund.Body("ReversalResponse");
  EXPECT_EQ(refund.Result("ReversalResponse"), "Success");
  EXPECT_EQ(refunded["ReversedAmount"].dump(), "10");
  EXPECT_NE(PoiTransactionId(refunded), original);
  EXPECT_TRUE(HasLine(ReceiptLines(refunded, "CustomerReceipt"), "Type: REFUND"));
  EXPECT_TRUE(HasLine(ReceiptLines(refunded, "CustomerReceipt"), "Card: 541333 **** 9999"));

  const Exchange tooMuch = Client().Send(ReversalRequest("S-T", "4000000003", original, "20.01"));
  EXPECT_EQ(tooMuch.Result("ReversalResponse"), "Failure");
  EXPECT_EQ(tooMuch.Body("ReversalResponse")["Response"]["ErrorCondition"], "NotAllowed");

  const Exchange rest = Client().Send(ReversalRequest("S-T", "4000000004", original, "20"));
  EXPECT_EQ(rest.Result("ReversalResponse"), "Success");
  const Exchange again = Client().Send(ReversalRequest("S-T", "4000000005", original, "0.01"));
  EXPECT_EQ(again.Result("ReversalResponse"), "Failure");

  const Exchange otherCurrency = Client().Send(ReversalRequest("S-T", "4000000006", PoiTransactionId(Pay("4000000007", "5")), "5", "USD"));
  EXPECT_EQ(otherCurrency.Body("ReversalResponse")["Response"]["ErrorCondition"], "NotAllowed");

  const Exchange unknown = Client().Send(ReversalRequest("S-T", "4000000008", "9999999999999999", "1"));
  EXPECT_EQ(unknown.Body("ReversalResponse")["Response"]["ErrorCondition"], "NotFound");
  EXPECT_EQ(KeyValue(unknown.Body("ReversalResponse")["Response"]["AdditionalResponse"].get<std::string>(), "message"),
            "Original transaction not found");
}

TEST_F(ExchangeTest, StatusRepeatsTheLastOrTheNamedTransactionWithItsReceipts) {
  const Json first = Pay("5000000001", "11");
  const Json second = Pay("5000000002", "22");
  const Exchange refund = Client().Send(ReversalRequest("STORE1-TILL1", "5000000003", PoiTransactionId(first), "11"));
  ASSERT_EQ(refund.Result("ReversalResponse"), "Success");

  const Exchange last = Client().Send(StatusRequest("STORE1-TILL1", "5000000004"));
  ASSERT_EQ(last.error, "");
  EXPECT_EQ(last.Result("TransactionStatusResponse"), "Success");
  const Json& repeated = last.Body("TransactionStatusResponse")["RepeatedMessageResponse"];
  EXPECT_EQ(repeated["MessageHeader"]["ServiceID"], "5000000003");
  EXPECT_EQ(repeated["MessageHeader"]["MessageCategory"], "Reversal");
  EXPECT_EQ(repeated["RepeatedResponseMessageBody"]["ReversalResponse"], refund.Body("ReversalResponse"));

  const Exchange named = Client().Send(StatusRequest(
      "STORE1-TILL1", "5000000005",
      {{"SaleID", "STORE1-TILL1"}, {"ServiceID", "5000000002"}, {"MessageCategory", "Payment"}}));
  const Json& payment = named.Body("TransactionStatusResponse")["RepeatedMessageResponse"]["RepeatedResponseMessageBody"]["PaymentResponse"];
  EXPECT_EQ(payment, second);
  EXPECT_EQ(payment["PaymentReceipt"].size(), 2u);

  // Only the copies asked for; none without the reprint flag.
  Json cashierOnly = StatusRequest("STORE1-TILL1", "5000000006");
  cashierOnly["SaleToPOIRequest"]["TransactionStatusRequest"]["DocumentQualifier"] = Json::array({"CashierReceipt"});
  const Exchange cashier = Client().Send(cashierOnly);
  const Json& receipts = cashier.Body("TransactionStatusResponse")["RepeatedMessageResponse"]["RepeatedResponseMessageBody"]["ReversalResponse"]["PaymentReceipt"];
  ASSERT_EQ(receipts.size(), 1u);
  EXPECT_EQ(receipts[0]["DocumentQualifier"], "CashierReceipt");

  const Exchange wrongCategory = Client().Send(StatusRequest(
      "STORE1-TILL1", "5000000007",
      {{"SaleID", "STORE1-TILL1"}, {"ServiceID", "5000000002"}, {"MessageCategory", "Reversal"}}));
  EXPECT_EQ(wrongCategory.Result("TransactionStatusResponse"), "Failure");
  EXPECT_EQ(wrongCategory.Body("TransactionStatusResponse")["Response"]["ErrorCondition"], "NotFound");

  const Exchange otherTill = Client().Send(StatusRequest("STORE1-TILL2", "5000000008"));
  EXPECT_EQ(otherTill.Body("TransactionStatusResponse")["Response"]["ErrorCondition"], "NotFound");
}

TEST_F(ExchangeTest, TotalsGroupByBrandAndCurrencyAndReconciliationOpensANewPeriod) {
  ASSERT_EQ(Client().Send(LoginRequest("STORE1-TILL1", "6000000000", "Evening")).error, "");
  const Json first = Pay("6000000001", "10");
  Pay("6000000002", "15.25");
  Pay("6000000003", "3.61");  // visa
  ASSERT_EQ(Client().Send(PaymentRequest("STORE1-TILL1", "6000000004", "4", "USD")).Result("PaymentResponse"), "Success");
  ASSERT_EQ(Client().Send(PaymentRequest("STORE1-TILL1", "6000000005", "9.51")).Result("PaymentResponse"), "Failure");
  ASSERT_EQ(Client().Send(ReversalRequest("STORE1-TILL1", "6000000006", PoiTransactionId(first), "2.5")).Result("ReversalResponse"), "Success");

  const Exchange totals = Client().Send(TotalsRequest("STORE1-TILL1", "6000000007"));
  ASSERT_EQ(totals.error, "");
  const Json& body = totals.Body("GetTotalsResponse");
  EXPECT_EQ(body["POIReconciliationID"], "1");
  const Json& groups = body["TransactionTotals"];
  ASSERT_EQ(groups.size(), 3u) << groups.dump();
  EXPECT_EQ(groups[0]["CardBrand"], "mc");
  EXPECT_EQ(groups[0]["PaymentCurrency"], "EUR");
  EXPECT_EQ(groups[0]["TotalsGroupID"], "Evening");
  EXPECT_EQ(groups[0]["SaleID"], "STORE1-TILL1");
  EXPECT_EQ(groups[0]["PaymentTotals"].dump(),
            R"([{"TransactionType":"Debit","TransactionCount":2,"TransactionAmount":25.25},)"
            R"({"TransactionType":"ReverseDebit","TransactionCount":1,"TransactionAmount":2.5}])");
  EXPECT_EQ(groups[1]["CardBrand"], "visa");
  EXPECT_EQ(groups[2]["PaymentCurrency"], "USD");

  // Totals leave the period open; the reconciliation reports the same and closes it.
  const Exchange again = Client().Send(TotalsRequest("STORE1-TILL1", "6000000008"));
  EXPECT_EQ(again.Body("GetTotalsResponse")["TransactionTotals"], groups);
  const Exchange close = Client().Send(ReconciliationRequest("STORE1-TILL1", "6000000009"));
  ASSERT_EQ(close.error, "");
  EXPECT_EQ(close.Body("ReconciliationResponse")["POIReconciliationID"], "1");
  EXPECT_EQ(close.Body("ReconciliationResponse")["TransactionTotals"], groups);

  const Exchange fresh = Client().Send(TotalsRequest("STORE1-TILL1", "6000000010"));
  EXPECT_EQ(fresh.Body("GetTotalsResponse")["POIReconciliationID"], "2");
  EXPECT_FALSE(fresh.Body("GetTotalsResponse").contains("TransactionTotals"));
  Pay("6000000011", "1");
  const Exchange next = Client().Send(ReconciliationRequest("STORE1-TILL1", "6000000012"));
  EXPECT_EQ(next.Body("ReconciliationResponse")["POIReconciliationID"], "2");
  EXPECT_EQ(next.Body("ReconciliationResponse")["TransactionTotals"][0]["PaymentTotals"][0]["TransactionCount"], 1);
}

TEST_F(ExchangeTest, RequestLogShowsWhatWasSentInOrder) {
  Client().Send(LoginRequest("S-T", "7000000001"));
  Client().Send(PaymentRequest("S-T", "7000000002", "1"));
  Client().Send(PaymentRequest("S-T", "7000000003", "1", "EUR", "", "", ""), Protection{"OtherKey"});
  const Json log = Client().Requests();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0]["seq"], 1);
  EXPECT_EQ(log[0]["category"], "Login");
  EXPECT_EQ(log[1]["category"], "Payment");
  EXPECT_EQ(log[1]["serviceId"], "7000000002");
  EXPECT_EQ(log[1]["request"], PaymentRequest("S-T", "7000000002", "1"));
  EXPECT_EQ(log[1]["plainText"], PaymentRequest("S-T", "7000000002", "1").dump());
  EXPECT_EQ(log[1]["httpStatus"], 200);
  EXPECT_EQ(log[1]["answer"]["SaleToPOIResponse"]["PaymentResponse"]["Response"]["Result"], "Success");
  EXPECT_EQ(log[2]["httpStatus"], 401);
  EXPECT_EQ(log[2]["refusal"], "Unknown KeyIdentifier 'OtherKey'");
  EXPECT_TRUE(log[2]["request"].is_null());

  EXPECT_EQ(Client().Requests(2).size(), 1u);
  EXPECT_EQ(HttpCall("DELETE", Client().BaseUrl() + "/requests").status, 200);
  EXPECT_EQ(Client().Requests().size(), 0u);
  Client().Send(LogoutRequest("S-T", "7000000004"));
  EXPECT_EQ(Client().Requests()[0]["seq"], 4);  // numbering goes on
}

}  // namespace
}  // namespace simtest
