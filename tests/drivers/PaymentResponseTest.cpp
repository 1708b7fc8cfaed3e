// The payment and reversal response reader: every result field, declines, the brand and entry
// mode tables and the country lookup.
#include <gtest/gtest.h>

#include <string>

#include "base/uVX_DateTime.h"
#include "base/uVX_Text.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Payment.h"
#include "platform/Error.h"

namespace {

using N = vxPaymentNetwork;
using T = vxPaymentTransactionType;

// A whole answer around one body member.
std::u16string Answer(std::u16string_view aBodyName, std::u16string_view aBody) {
  return u"{\"SaleToPOIResponse\":{\"MessageHeader\":{\"MessageCategory\":\"Payment\",\"POIID\":\"V400m-1\"},\"" +
         std::u16string(aBodyName) + u"\":" + std::u16string(aBody) + u"}}";
}

const char16_t kApprovedPayment[] = uR"({
  "Response":{"Result":"Success","AdditionalResponse":"recurring.shopperReference=tok-9&message=ignored"},
  "POIData":{"POITransactionID":{"TransactionID":"PSP.881","TimeStamp":"2024-03-15T13:07:09.123Z"}},
  "PaymentResult":{
    "PaymentInstrumentData":{"CardData":{"CardCountryCode":"380","MaskedPan":"541333 **** 9999",
       "PaymentBrand":"mc_applepay","EntryMode":["Contactless","ICC"]}},
    "PaymentAcquirerData":{"AcquirerTransactionID":{"TransactionID":"ACQ-77"},"ApprovalCode":"123456"},
    "AmountsResp":{"AuthorizedAmount":14.5,"Currency":"EUR","TipAmount":2}},
  "PaymentReceipt":[
    {"DocumentQualifier":"CashierReceipt","RequiredSignatureFlag":true,
     "OutputContent":{"OutputText":[{"Text":"key=header1&name=SHOP","EndOfLineFlag":true}]}},
    {"DocumentQualifier":"CustomerReceipt","RequiredSignatureFlag":false,
     "OutputContent":{"OutputText":[{"Text":"key=pan&name=Card&value=9999","EndOfLineFlag":true}]}}]})";

_int_PAY_result Fresh() {
  _int_PAY_result r;
  r.PaymentNetwork = N::Other;
  r.TransactionType = T::ptt_Other;
  r.ExchangeRate = tVX_Currency::FromUnits(1);
  r.PaymentCurrencyCurrency = u"old";
  r.SerialNumber = u"kept";
  return r;
}

TEST(PaymentResponseTest, ApprovedPaymentFillsEveryField) {
  kPaymentReceipt request;
  request.SetReceiptColCount(10);
  _int_PAY_result r = Fresh();
  EXPECT_TRUE(adyen::ReadPaymentResponse(Answer(u"PaymentResponse", kApprovedPayment), request, r));
  EXPECT_EQ(r.DeviceId, u"V400m-1");
  EXPECT_EQ(r.CustomerCountryCode, u"IT");
  EXPECT_EQ(r.MaskedPAN, u"541333 **** 9999");
  EXPECT_EQ(r.PaymentNetwork, N::Mastercard);
  EXPECT_EQ(r.TransactionType, T::ptt_Cless);
  EXPECT_EQ(r.CardToken, u"tok-9");
  EXPECT_EQ(r.ErrorText, u"");
  tDateTime expected = 0;
  ASSERT_TRUE(vxdate::TryIso8601ToLocal(u"2024-03-15T13:07:09.123Z", expected));
  EXPECT_EQ(r.PaymentDateTime, expected);
  EXPECT_EQ(r.TraceAuditId, u"PSP.881");
  EXPECT_EQ(r.RefundReference, u"PSP.881");
  EXPECT_EQ(r.PaymentNumber, u"ACQ-77");
  EXPECT_EQ(r.AuthCode, u"123456");
  EXPECT_EQ(r.PaymentAmount.Units(), 145000);
  EXPECT_EQ(r.PaymentCurrency, u"EUR");
  EXPECT_EQ(r.TippedAmount.Units(), 20000);
  EXPECT_EQ(r.CashierReceiptText, u"   SHOP\r\n\r\n");
  EXPECT_EQ(r.ReceiptText, u"Card  9999\r\n\r\n");
  EXPECT_TRUE(r.SignatureRequested);  // the cashier copy asks, the customer copy comes last
  EXPECT_EQ(r.ExchangeRate.Units(), 0);
  EXPECT_EQ(r.PaymentCurrencyCurrency, u"");
  EXPECT_EQ(r.SerialNumber, u"kept");
  EXPECT_FALSE(r.Error);  // the reader leaves the flag to its caller
}

TEST(PaymentResponseTest, DeclineKeepsIdentifiersAndExplainsWithRefusalReason) {
  kPaymentReceipt request;
  _int_PAY_result r = Fresh();
  EXPECT_FALSE(adyen::ReadPaymentResponse(Answer(u"PaymentResponse", uR"({
      "Response":{"Result":"Failure","ErrorCondition":"Refusal",
        "AdditionalResponse":"message=Card+expired&errors=&refusalReason=6%20%3A%20Expired+Card&recurring.shopperReference=t"},
      "POIData":{"POITransactionID":{"TransactionID":"PSP.9","TimeStamp":"2024-03-15T13:07:09.123+00:00"}},
      "PaymentResult":{"PaymentInstrumentData":{"CardData":{"CardCountryCode":"380","PaymentBrand":"visa"}},
        "AmountsResp":{"AuthorizedAmount":0,"Currency":"EUR"}},
      "PaymentReceipt":[{"DocumentQualifier":"CustomerReceipt","RequiredSignatureFlag":true,
        "OutputContent":{"OutputText":[{"Text":"key=refused&name=DECLINED"}]}}]})"),
                                          request, r));
  EXPECT_EQ(r.ErrorText, u"Refusal - Card expired - 6 : Expired Card");
  EXPECT_EQ(r.TraceAuditId, u"PSP.9");
  EXPECT_EQ(r.RefundReference, u"PSP.9");
  // Card data and token are read only on success.
  EXPECT_EQ(r.CustomerCountryCode, u"");
  EXPECT_EQ(r.PaymentNetwork, N::Other);
  EXPECT_EQ(r.CardToken, u"");
  EXPECT_EQ(r.PaymentNumber, u"");
  EXPECT_EQ(r.PaymentCurrency, u"EUR");
  EXPECT_TRUE(r.SignatureRequested);
  EXPECT_EQ(r.ReceiptText, u"            DECLINED\r\n");
}

TEST(PaymentResponseTest, ResultIsCaseSensitiveAndWrongBodyIsAnEmptyFailure) {
  kPaymentReceipt request;
  _int_PAY_result r = Fresh();
  EXPECT_FALSE(adyen::ReadPaymentResponse(
      Answer(u"PaymentResponse", uR"({"Response":{"Result":"success","ErrorCondition":"X"}})"), request, r));
  EXPECT_EQ(r.ErrorText, u"X");

  // A payment answered with a reversal body: every read falls back; the header still counts.
  r = Fresh();
  tDateTime before = vxdate::Now();
  EXPECT_FALSE(adyen::ReadPaymentResponse(Answer(u"ReversalResponse", kApprovedPayment), request, r));
  EXPECT_EQ(r.ErrorText, u"");
  EXPECT_EQ(r.DeviceId, u"V400m-1");
  EXPECT_EQ(r.TraceAuditId, u"");
  EXPECT_EQ(r.PaymentAmount.Units(), 0);
  EXPECT_EQ(r.PaymentCurrency, u"");
  EXPECT_GE(r.PaymentDateTime, before);  // no time stamp: the time the answer was read

  // Not JSON at all.
  r = Fresh();
  EXPECT_FALSE(adyen::ReadPaymentResponse(u"not json", request, r));
  EXPECT_EQ(r.DeviceId, u"");
}

TEST(PaymentResponseTest, ReversalTakesTheRequestCurrencyAndNoTip) {
  kPaymentReceipt request;
  request.SetAction(vxPaymentAction::Void);
  request.SetCurrency(u"CHF");
  _int_PAY_result r = Fresh();
  r.TippedAmount = tVX_Currency::FromUnits(5);
  EXPECT_TRUE(adyen::ReadPaymentResponse(Answer(u"ReversalResponse", uR"({
      "Response":{"Result":"Success"},"ReversedAmount":"14.50","Currency":"USD",
      "POIData":{"POITransactionID":{"TransactionID":"PSP.R"}}})"),
                                         request, r));
  EXPECT_EQ(r.PaymentAmount.Units(), 145000);
  EXPECT_EQ(r.PaymentCurrency, u"CHF");
  EXPECT_EQ(r.TippedAmount.Units(), 0);
  EXPECT_EQ(r.TraceAuditId, u"PSP.R");
  // Amounts that do not convert read as zero.
  request.SetAction(vxPaymentAction::Pay);
  r = Fresh();
  adyen::ReadPaymentResponse(Answer(u"PaymentResponse", uR"({"Response":{"Result":"Success"},
      "PaymentResult":{"AmountsResp":{"AuthorizedAmount":"12,50","TipAmount":true}}})"), request, r);
  EXPECT_EQ(r.PaymentAmount.Units(), 0);
  EXPECT_EQ(r.TippedAmount.Units(), 0);
}

TEST(PaymentResponseTest, OtherActionsAreRefused) {
  kPaymentReceipt request;
  request.SetAction(static_cast<vxPaymentAction>(7));
  _int_PAY_result r;
  try {
    adyen::ReadPaymentResponse(Answer(u"PaymentResponse", kApprovedPayment), request, r);
    FAIL() << "no failure";
  } catch (const tVX_Error& e) {
    EXPECT_EQ(e.Message(), u"Action Invalid. Must be PAY, VOID or REFUND");
  }
}

TEST(PaymentResponseTest, CardDataTablesAndCountry) {
  kPaymentReceipt request;
  auto read = [&](std::u16string_view aCard) {
    _int_PAY_result r = Fresh();
    adyen::ReadPaymentResponse(
        Answer(u"PaymentResponse", u"{\"Response\":{\"Result\":\"Success\"},\"PaymentResult\":{"
                                   u"\"PaymentInstrumentData\":{\"CardData\":" + std::u16string(aCard) + u"}}}"),
        request, r);
    return r;
  };
  EXPECT_EQ(read(u"{\"CardCountryCode\":\"999\"}").CustomerCountryCode, u"");
  EXPECT_EQ(read(u"{\"CardCountryCode\":\"250\"}").CustomerCountryCode, u"FR");
  EXPECT_EQ(read(u"{}").TransactionType, T::ptt_Other);
  EXPECT_EQ(read(u"{\"EntryMode\":[\"ICC\",\"Contactless\"]}").TransactionType, T::ptt_Chip);
  EXPECT_EQ(read(u"{\"PaymentBrand\":\"electron_applepay\"}").PaymentNetwork, N::ApplePay);
}

TEST(BrandTableTest, PrefixesAndExactNamesInOrder) {
  struct {
    std::u16string_view brand;
    N network;
  } const cases[] = {
      {u"amex", N::Amex},           {u"amexcorporate", N::Amex},   {u"alipay_hk", N::AliPay},
      {u"alipayplus", N::AliPay},   {u"discover_applepay", N::Discover}, {u"doku_ovo", N::Doku},
      {u"dragonpay_ebanking", N::DragonPay}, {u"maestrouk", N::Maestro}, {u"mc", N::Mastercard},
      {u"mc_applepay", N::Mastercard}, {u"mcalphabankbonus", N::Mastercard}, {u"molpay_alipay", N::MolPay},
      {u"visa", N::Visa},           {u"visadankort", N::Visa},     {u"vpay", N::VPay},
      {u"vpay_x", N::Other},        {u"electron_amazonpay", N::AmazonPay}, {u"electron_samsungpay", N::SamsungPay},
      {u"electron", N::Other},      {u"yandex", N::Yandex},        {u"yandex_money", N::Yandex},
      {u"VISA", N::Other},          {u"", N::Other},               {u"jcb", N::Other},
  };
  for (const auto& c : cases) EXPECT_EQ(adyen::BrandToPaymentNetwork(c.brand), c.network) << vxtext::Utf8(c.brand);
}

TEST(EntryModeTableTest, EveryMode) {
  struct {
    std::u16string_view mode;
    T type;
  } const cases[] = {
      {u"RFID", T::ptt_RFID},       {u"Keyed", T::ptt_Manual},   {u"Manual", T::ptt_Manual},
      {u"File", T::ptt_Other},      {u"Scanned", T::ptt_Other},  {u"MagStripe", T::ptt_MagStripe},
      {u"ICC", T::ptt_Chip},        {u"SynchronousICC", T::ptt_Chip}, {u"Tapped", T::ptt_Cless},
      {u"Contactless", T::ptt_Cless}, {u"Mobile", T::ptt_Cless}, {u"contactless", T::ptt_Other},
      {u"", T::ptt_Other},
  };
  for (const auto& c : cases) EXPECT_EQ(adyen::EntryModeToTransactionType(c.mode), c.type) << vxtext::Utf8(c.mode);
}

}  // namespace
