// The driver against the terminal simulator (its own security, strict checks of every request),
// running in this process on a free loopback port. Linux builds only: the simulator is a Linux
// program.
#ifdef VX_WITH_TERMINAL_SIM
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "AdyenTestSupport.h"
#include "Simulator.h"
#include "base/uVX_Text.h"
#include "io/uVXIOHandler_HTTP.h"
#include "platform/Error.h"
#include "platform/Utf8.h"

namespace vxtest {
namespace {

class AdyenSimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fSim = std::make_unique<termsim::Simulator>(termsim::SimOptions{});
    fSim->Start();
  }
  void TearDown() override { fSim->Stop(); }

  // Opens a device and reads the command from aCommand (a Payment element).
  std::unique_ptr<AdyenDevice> Open(const std::u16string& aCommand) {
    fHandler = ReadRequest(AdyenRequest(port::FromUtf8(fSim->BaseUrl()), DefaultParameters(), aCommand),
                           vxPaymentHandlerDocumentType::dt_Pay);
    return std::make_unique<AdyenDevice>(*fHandler);
  }

  void Control(const std::string& aJson) {
    termsim::HttpRequest request;
    request.method = "POST";
    request.target = request.path = "/control";
    request.version = "HTTP/1.1";
    request.body = aJson;
    ASSERT_EQ(fSim->Handle(request).status, 200) << aJson;
  }

  // The simulator's request log (decrypted requests, refusals).
  termsim::Json Requests() {
    termsim::HttpRequest request;
    request.method = "GET";
    request.target = request.path = "/requests";
    request.version = "HTTP/1.1";
    return termsim::Json::parse(fSim->Handle(request).body);
  }

  std::unique_ptr<termsim::Simulator> fSim;
  std::unique_ptr<kPaymentHandler> fHandler;
};

TEST_F(AdyenSimulatorTest, SaleThenRefundOfIt) {
  auto device = Open(PaymentElement(u"<StoreCode>S1</StoreCode><TillCode>T1</TillCode><Amount>12.50</Amount>"
                                    u"<Currency>EUR</Currency><ReceiptColCount>42</ReceiptColCount>"));
  _int_PAY_result sale;
  device->Pub_Pay(*fHandler, sale);
  ASSERT_FALSE(sale.Error) << vxtext::Utf8(sale.ErrorText);
  EXPECT_EQ(sale.DeviceId, u"SIM-00000001");
  EXPECT_EQ(sale.PaymentNetwork, vxPaymentNetwork::Mastercard);
  EXPECT_EQ(sale.TransactionType, vxPaymentTransactionType::ptt_Cless);
  EXPECT_EQ(sale.PaymentAmount.Units(), 125000);
  EXPECT_EQ(sale.PaymentCurrency, u"EUR");
  EXPECT_FALSE(sale.RefundReference.empty());
  // Receipts at 42 columns: the merchant heading centred, its "&" and accents decoded.
  EXPECT_EQ(sale.CashierReceiptText.substr(0, 30), std::u16string(14, u' ') + u"Sim Caf\u00e9 & Bar\r\n");
  EXPECT_NE(sale.ReceiptText.find(u"CARDHOLDER COPY"), std::u16string::npos);
  EXPECT_EQ(sale.ReceiptText.find(u"https://"), std::u16string::npos);  // no QR code text

  std::u16string refund = u"<Action>REFUND</Action><StoreCode>S1</StoreCode><TillCode>T1</TillCode>"
                          u"<Amount>12.50</Amount><Currency>EUR</Currency><RefundReference><PaymentId>" +
                          sale.RefundReference + u"</PaymentId><PaymentDateTime>" +
                          port::FromUtf8("2024-01-01T00:00:00") + u"</PaymentDateTime></RefundReference>";
  fHandler = ReadRequest(AdyenRequest(port::FromUtf8(fSim->BaseUrl()), DefaultParameters(), PaymentElement(refund)),
                         vxPaymentHandlerDocumentType::dt_Pay);
  _int_PAY_result reversed;
  device->Pub_Pay(*fHandler, reversed);
  EXPECT_FALSE(reversed.Error) << vxtext::Utf8(reversed.ErrorText);
  EXPECT_EQ(reversed.PaymentAmount.Units(), 125000);
  EXPECT_EQ(reversed.PaymentCurrency, u"EUR");

  for (const auto& entry : Requests()) EXPECT_EQ(entry.value("refusal", ""), "") << entry.dump();
}

TEST_F(AdyenSimulatorTest, TipTokenAndDecline) {
  auto device = Open(PaymentElement(u"<Amount>20.00</Amount><Currency>EUR</Currency><TipAmount>1.50</TipAmount>"
                                    u"<TokenizeCard>true</TokenizeCard><TokenReference>shopper 1</TokenReference>"));
  _int_PAY_result r;
  device->Pub_Pay(*fHandler, r);
  ASSERT_FALSE(r.Error) << vxtext::Utf8(r.ErrorText);
  EXPECT_EQ(r.PaymentAmount.Units(), 215000);
  EXPECT_EQ(r.TippedAmount.Units(), 15000);
  EXPECT_FALSE(r.CardToken.empty());

  fHandler = ReadRequest(AdyenRequest(port::FromUtf8(fSim->BaseUrl()), DefaultParameters(),
                                      PaymentElement(u"<Amount>10.52</Amount><Currency>EUR</Currency>")),
                         vxPaymentHandlerDocumentType::dt_Pay);
  _int_PAY_result declined;
  device->Pub_Pay(*fHandler, declined);
  EXPECT_TRUE(declined.Error);
  EXPECT_EQ(declined.ErrorText, u"Refusal - Card expired - Expired Card");
  EXPECT_NE(declined.ReceiptText.find(u"DECLINED"), std::u16string::npos);
}

TEST_F(AdyenSimulatorTest, RefusalsAndTamperedAnswers) {
  auto device = Open(PaymentElement(u"<Amount>5</Amount><Currency>EUR</Currency>"));
  Control(R"({"scenario":"http-401","errors":"Invalid credentials"})");
  _int_PAY_result r;
  device->Pub_Pay(*fHandler, r);
  EXPECT_TRUE(r.Error);
  EXPECT_EQ(r.ErrorText, u"Unauthorized - Invalid credentials");

  Control(R"({"scenario":"tamper-blob"})");
  _int_PAY_result tampered;
  EXPECT_THROW(device->Pub_Pay(*fHandler, tampered), tVX_Error);

  Control(R"({"scenario":"nonce-length","bytes":8})");
  _int_PAY_result shortNonce;
  EXPECT_THROW(device->Pub_Pay(*fHandler, shortNonce), tVX_Error);
}

}  // namespace
}  // namespace vxtest
#endif
