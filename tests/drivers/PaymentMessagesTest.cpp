// The payment, reversal, login and logout requests: member order and values as compact text,
// the sale data key lists, and the clock-made service reference.
#include <gtest/gtest.h>

#include <string>

#include "base/uVX_DateTime.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Login.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Payment.h"
#include "platform/Clock.h"

namespace {

const adyen::tAdyenSaleContext kContext{u"V400m-324688179", u"Version 1.10 - 08/01/2024", u"Linux",
                                        u"Linux 6.1.0 (x86_64)", u"TILL\u00d61"};

const char16_t kAppInfo[] =
    u"applicationInfo.merchantApplication.name=Cassivo%20Adyen%20Zarvik%20Driver"
    u"&applicationInfo.merchantApplication.version=Version%201.10%20-%2008/01/2024"
    u"&applicationInfo.externalPlatform.integrator=Quarnby"
    u"&applicationInfo.externalPlatform.name=Cassivo%20Adyen%20Zarvik%20Driver"
    u"&applicationInfo.externalPlatform.version=Version%201.10%20-%2008/01/2024";

const char16_t kHeaderStart[] =
    u"{\"SaleToPOIRequest\":{\"MessageHeader\":{\"ProtocolVersion\":\"3.0\",\"MessageClass\":\"Service\","
    u"\"MessageCategory\":\"";

void Sale(kPaymentReceipt& r, int64_t aAmountUnits, int64_t aTipUnits) {
  r.SetStoreCode(u"S01");
  r.SetTillCode(u"T02");
  r.SetReference(u"1234567890");
  r.SetCurrency(u"EUR");
  r.SetAmount(tVX_Currency::FromUnits(aAmountUnits));
  r.SetTipAmount(tVX_Currency::FromUnits(aTipUnits));
}

TEST(PaymentRequestMessageTest, SaleWithoutTipExactly) {
  kPaymentReceipt r;
  Sale(r, 125000, 0);
  std::u16string expected = std::u16string(kHeaderStart) +
      u"Payment\",\"MessageType\":\"Request\",\"SaleID\":\"S01-T02\",\"ServiceID\":\"1234567890\","
      u"\"POIID\":\"V400m-324688179\"},\"PaymentRequest\":{\"SaleData\":{\"SaleTransactionID\":{"
      u"\"TransactionID\":\"1234567890\",\"TimeStamp\":\"2024-03-15T14:07:09.123+01:00\"},"
      u"\"SaleToAcquirerData\":\"" + kAppInfo +
      u"&applicationInfo.merchantDevice.os=Linux"
      u"&applicationInfo.merchantDevice.osVersion=Linux%206.1.0%20(x86_64)"
      u"&applicationInfo.merchantDevice.reference=TILL%C3%961&tenderOption=ReceiptHandler\"},"
      u"\"PaymentTransaction\":{\"AmountsReq\":{\"Currency\":\"EUR\",\"RequestedAmount\":12.5}}}}}";
  EXPECT_EQ(adyen::BuildPaymentRequestMessage(kContext, r, u"2024-03-15T14:07:09.123+01:00"), expected);
}

TEST(PaymentRequestMessageTest, TipOnlyWhenPositiveAndNotInTheRequestedAmount) {
  kPaymentReceipt r;
  Sale(r, 125000, 20000);
  std::u16string text = adyen::BuildPaymentRequestMessage(kContext, r, u"T");
  EXPECT_NE(text.find(u"\"AmountsReq\":{\"Currency\":\"EUR\",\"RequestedAmount\":12.5,\"TipAmount\":2}}"),
            std::u16string::npos);
  r.SetTipAmount(tVX_Currency::FromUnits(-10000));
  EXPECT_EQ(adyen::BuildPaymentRequestMessage(kContext, r, u"T").find(u"TipAmount"), std::u16string::npos);
}

TEST(PaymentRequestMessageTest, ServiceIdIsTheFirstTenCharactersOfTheReference) {
  kPaymentReceipt r;
  Sale(r, 10000, 0);
  r.SetReference(u"ABC");
  std::u16string text = adyen::BuildPaymentRequestMessage(kContext, r, u"T");
  EXPECT_NE(text.find(u"\"ServiceID\":\"ABC\""), std::u16string::npos);
  EXPECT_NE(text.find(u"\"TransactionID\":\"ABC\""), std::u16string::npos);
}

TEST(PaymentKeyListTest, TenderOptionsAndTokenItems) {
  kPaymentReceipt r;
  const std::u16string prefix =
      u"applicationInfo.merchantApplication.name=Cassivo Adyen Zarvik Driver"
      u"&applicationInfo.merchantApplication.version=Version 1.10 - 08/01/2024"
      u"&applicationInfo.externalPlatform.integrator=Quarnby"
      u"&applicationInfo.externalPlatform.name=Cassivo Adyen Zarvik Driver"
      u"&applicationInfo.externalPlatform.version=Version 1.10 - 08/01/2024"
      u"&applicationInfo.merchantDevice.os=Linux&applicationInfo.merchantDevice.osVersion=Linux 6.1.0 (x86_64)"
      u"&applicationInfo.merchantDevice.reference=TILL\u00d61";
  r.SetPrintLocation(VxPrintLocation::pl_EFT);
  EXPECT_EQ(adyen::PaymentKeyList(kContext, r), prefix);
  r.SetRequestTipAmount(true);
  EXPECT_EQ(adyen::PaymentKeyList(kContext, r), prefix + u"&tenderOption=AskGratuity");
  r.SetPrintLocation(VxPrintLocation::pl_ECR);
  EXPECT_EQ(adyen::PaymentKeyList(kContext, r), prefix + u"&tenderOption=ReceiptHandler,AskGratuity");
  r.SetTokenizeCard(true);
  r.SetTokenReference(u"shopper 7");
  EXPECT_EQ(adyen::PaymentKeyList(kContext, r),
            prefix + u"&tenderOption=ReceiptHandler,AskGratuity&shopperReference=shopper 7&recurringContract=RECURRING");
  r.SetRequestTipAmount(false);
  r.SetPrintLocation(VxPrintLocation::pl_EFT);
  EXPECT_EQ(adyen::PaymentKeyList(kContext, r), prefix + u"&shopperReference=shopper 7&recurringContract=RECURRING");
}

TEST(ReversalRequestMessageTest, RefundExactlyWithAmountPlusTip) {
  kPaymentReceipt r;
  Sale(r, 125000, 20000);
  r.SetAction(vxPaymentAction::Refund);
  r.SetRequestTipAmount(true);  // never sent with a reversal
  r.SetTokenizeCard(true);
  tDateTime paid = 0;
  ASSERT_TRUE(vxdate::TryEncodeDateTime({2024, 3, 14, 9, 30, 0, 5}, paid));
  r.SetRefundReference({paid, u"PSP-881"});
  std::u16string expected = std::u16string(kHeaderStart) +
      u"Reversal\",\"MessageType\":\"Request\",\"SaleID\":\"S01-T02\",\"ServiceID\":\"1234567890\","
      u"\"POIID\":\"V400m-324688179\"},\"ReversalRequest\":{\"OriginalPOITransaction\":{\"POITransactionID\":{"
      u"\"TransactionID\":\"PSP-881\",\"TimeStamp\":\"" + vxdate::ToIso8601Local(paid) + u"\"}},"
      u"\"ReversalReason\":\"MerchantCancel\",\"ReversedAmount\":14.5,\"SaleData\":{\"SaleTransactionID\":{"
      u"\"TransactionID\":\"1234567890\",\"TimeStamp\":\"NOW\"},\"SaleToAcquirerData\":\"currency=EUR"
      u"&tenderOption=ReceiptHandler&" + kAppInfo +
      u"&applicationInfo.merchantDevice.reference=TILL%C3%961\"}}}}";
  EXPECT_EQ(adyen::BuildReversalRequestMessage(kContext, r, u"NOW"), expected);
  EXPECT_EQ(vxdate::ToIso8601Local(paid).substr(0, 23), u"2024-03-14T09:30:00.005");

  r.SetPrintLocation(VxPrintLocation::pl_EFT);
  EXPECT_EQ(adyen::ReversalKeyList(kContext, r).find(u"tenderOption"), std::u16string::npos);
}

TEST(LoginMessageTest, LoginAndLogoutExactly) {
  adyen::tAdyenHeader header{u"Login", u"S01-T02", u"5140709123", u"P1"};
  EXPECT_EQ(adyen::BuildLoginRequestMessage(header, u"2024-03-15T14:07:09.123Z", u"Version 1.10 - 08/01/2024"),
            std::u16string(kHeaderStart) +
                u"Login\",\"MessageType\":\"Request\",\"SaleID\":\"S01-T02\",\"ServiceID\":\"5140709123\","
                u"\"POIID\":\"P1\"},\"LoginRequest\":{\"DateTime\":\"2024-03-15T14:07:09.123Z\",\"SaleSoftware\":{"
                u"\"ManufacturerID\":\"Quarnby\",\"ApplicationName\":\"Cassivo Adyen Zarvik Driver\","
                u"\"SoftwareVersion\":\"Version 1.10 - 08/01/2024\",\"CertificationCode\":\"X\"},"
                u"\"SaleTerminalData\":{\"TotalsGroupID\":\"Global\"},\"OperatorLanguage\":\"en\","
                u"\"OperatorID\":\"OPR\"}}}");
  header.MessageCategory = u"Logout";
  EXPECT_EQ(adyen::BuildLogoutRequestMessage(header),
            std::u16string(kHeaderStart) +
                u"Logout\",\"MessageType\":\"Request\",\"SaleID\":\"S01-T02\",\"ServiceID\":\"5140709123\","
                u"\"POIID\":\"P1\"},\"LogoutRequest\":{}}}");
}

TEST(LoginMessageTest, LoginAnswerErrorTextAndExtraTexts) {
  std::u16string error = u"stale";
  EXPECT_TRUE(adyen::ReadLoginResponse(
      uR"({"SaleToPOIResponse":{"LoginResponse":{"Response":{"Result":"Success"}}}})", u"LoginResponse", error));
  EXPECT_EQ(error, u"stale");  // a success keeps the caller's text (the caller empties it first)
  error.clear();
  EXPECT_TRUE(adyen::ReadLoginResponse(
      uR"({"SaleToPOIResponse":{"LogoutResponse":{"Response":{"Result":"Success","AdditionalResponse":"message=hi"}}}})",
      u"LogoutResponse", error));
  EXPECT_EQ(error, u" - hi");
  error.clear();
  EXPECT_FALSE(adyen::ReadLoginResponse(
      uR"({"SaleToPOIResponse":{"LoginResponse":{"Response":{"Result":"Failure","ErrorCondition":"Busy",
          "AdditionalResponse":"errors=Terminal+busy&message=Wait"}}}})",
      u"LoginResponse", error));
  EXPECT_EQ(error, u"Busy - Wait - Terminal busy");
  error = u"x";
  EXPECT_FALSE(adyen::ReadLoginResponse(
      uR"({"SaleToPOIResponse":{"LoginResponse":{"Response":{"Result":"success","ErrorCondition":"E"}}}})",
      u"LogoutResponse", error));
  EXPECT_EQ(error, u"");  // the wrong body reads as a failure with an empty condition
}

TEST(ServiceReferenceTest, LastTenDigitsOfTheClock) {
  port::OverrideNowForTesting([] { return port::LocalTime{2024, 3, 15, 14, 7, 9, 123}; });
  std::u16string a = adyen::NewServiceReference();
  port::OverrideNowForTesting([] { return port::LocalTime{2031, 12, 1, 0, 0, 5, 7}; });
  std::u16string b = adyen::NewServiceReference();
  port::OverrideNowForTesting(nullptr);
  EXPECT_EQ(a, u"5140709123");
  EXPECT_EQ(b, u"1000005007");
}

// Requests built one right after the other (a login and the report request that follows it) are
// told apart by their references even within one millisecond.
TEST(ServiceReferenceTest, ConsecutiveReferencesDiffer) {
  std::u16string previous = adyen::NewServiceReference();
  for (int i = 0; i < 20; ++i) {
    const std::u16string next = adyen::NewServiceReference();
    EXPECT_NE(next, previous);
    EXPECT_EQ(next.size(), 10u);
    previous = next;
  }
}

}  // namespace
