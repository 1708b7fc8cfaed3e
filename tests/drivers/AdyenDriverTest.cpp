// The driver against a loopback HTTP server whose answers a test peer protects: creation
// checks, endpoint, nonce, the exchange with its log lines and failure kinds, payments, refunds.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <set>
#include <string>

#include "AdyenTestSupport.h"
#include "NexoTestPeer.h"
#include "base/uVX_Text.h"
#include "drivers/adyen/uVXPA_ADYEN_10_Json.h"
#include "io/uVXIOHandler_HTTP.h"
#include "payment/uVxPaymentDrivers.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "platform/Utf8.h"
#include "support/TestHttpServer.h"

namespace vxtest {
namespace {

const std::string kSecret = "peer secret";
const std::string kKeyId = "PeerKey";

// The failure message of building a device from aXml ("" when it builds).
std::u16string CreationFailure(const std::u16string& aXml) {
  auto handler = ReadRequest(aXml, vxPaymentHandlerDocumentType::dt_Open);
  try {
    AdyenDevice device(*handler);
  } catch (const tVX_Error& e) {
    return e.Message();
  }
  return u"";
}

TEST(AdyenCreateTest, ChecksTheParametersInOrder) {
  const std::u16string url = u"http://127.0.0.1:9";
  EXPECT_EQ(CreationFailure(AdyenRequest(url, {{u"KeyIdentifier", u"K"}, {u"KeyVersion", u"1"}})), u"POIID is mandatory");
  EXPECT_EQ(CreationFailure(AdyenRequest(url, {{u"POIID", u"P"}, {u"KeyVersion", u"1"}})), u"KeyIdentifier is mandatory");
  for (const char16_t* version : {u"-1", u"x", u"", u"1.5"})
    EXPECT_EQ(CreationFailure(AdyenRequest(url, {{u"POIID", u"P"}, {u"KeyIdentifier", u"K"}, {u"KeyVersion", version},
                                                 {u"Secret", u"s"}})),
              u"KeyVersion is mandatory")
        << vxtext::Utf8(version);
  EXPECT_EQ(CreationFailure(AdyenRequest(url, {{u"POIID", u"P"}, {u"KeyIdentifier", u"K"}, {u"KeyVersion", u"0"}})),
            u"Secret is mandatory");
  EXPECT_EQ(CreationFailure(AdyenRequest(url, {{u"poiid", u"P"}, {u"KEYIDENTIFIER", u"K"}, {u"KeyVersion", u"0"},
                                               {u"secret", u"s"}})),
            u"");
  // Not an HTTP connection: refused whatever the parameters.
  EXPECT_NE(CreationFailure(AdyenRequest(url, DefaultParameters(), u"", u"TCP")), u"");
}

TEST(AdyenCreateTest, EndpointEndsInNexo) {
  auto endpoint = [](const std::u16string& aUrl) {
    auto handler = ReadRequest(AdyenRequest(aUrl, DefaultParameters()), vxPaymentHandlerDocumentType::dt_Open);
    AdyenDevice device(*handler);
    return device.IOHandlerHTTP().fURL;
  };
  EXPECT_EQ(endpoint(u"http://127.0.0.1:9"), u"http://127.0.0.1:9/nexo");
  EXPECT_EQ(endpoint(u"http://127.0.0.1:9/"), u"http://127.0.0.1:9/nexo");
  EXPECT_EQ(endpoint(u"http://127.0.0.1:9/nexo"), u"http://127.0.0.1:9/nexo/nexo");
}

// A device talking to a loopback server; every answer is protected by the peer.
class AdyenExchangeTest : public ::testing::Test {
 protected:
  AdyenExchangeTest() : fPeer(kSecret, kKeyId, 1) {}

  std::unique_ptr<AdyenDevice> Open(const std::u16string& aCommand = u"") {
    fHandler = ReadRequest(AdyenRequest(fServer.Url16("/"),
                                        DefaultParameters(port::FromUtf8(kSecret), port::FromUtf8(kKeyId), 1, u"P-1"),
                                        aCommand),
                           aCommand.empty() ? vxPaymentHandlerDocumentType::dt_Open : vxPaymentHandlerDocumentType::dt_Pay);
    return std::make_unique<AdyenDevice>(*fHandler);
  }

  // Queues a protected answer around aBody (a member name and its object).
  void Answer(const std::string& aBodyName, const std::string& aBody, const NexoAnswerOptions& aOptions = {}) {
    std::string plain = R"({"SaleToPOIResponse":{"MessageHeader":{"POIID":"P-1","MessageCategory":"X"},")" +
                        aBodyName + "\":" + aBody + "}}";
    CannedResponse r;
    r.body = fPeer.ProtectAnswer(plain, port::RandomBytes(16), aOptions);
    fServer.Enqueue(r);
  }

  // The plain text of the n-th request the server received, opened by the peer.
  std::string PlainRequest(size_t n, port::Bytes* aNonce = nullptr) {
    auto requests = fServer.Requests();
    EXPECT_GT(requests.size(), n);
    return requests.size() > n ? fPeer.OpenRequest(requests[n].body, aNonce) : "";
  }

  TestHttpServer fServer;
  NexoPeer fPeer;
  std::unique_ptr<kPaymentHandler> fHandler;
};

const char kApproved[] = R"({"Response":{"Result":"Success","AdditionalResponse":"recurring.shopperReference=TOK"},
  "POIData":{"POITransactionID":{"TransactionID":"POI-1","TimeStamp":"2024-03-15T13:07:09.123Z"}},
  "PaymentResult":{"PaymentInstrumentData":{"CardData":{"CardCountryCode":"380","MaskedPan":"5413 **** 9999",
    "PaymentBrand":"mc","EntryMode":["ICC"]}},
    "PaymentAcquirerData":{"AcquirerTransactionID":{"TransactionID":"ACQ-1"},"ApprovalCode":"A1"},
    "AmountsResp":{"AuthorizedAmount":12.5,"Currency":"EUR"}},
  "PaymentReceipt":[{"DocumentQualifier":"CustomerReceipt","OutputContent":{"OutputText":[
    {"Text":"key=header1&name=Caf%C3%A9+M%C3%BCller","EndOfLineFlag":true}]}}]})";

TEST_F(AdyenExchangeTest, PaymentGoesOutProtectedAndIsReadBack) {
  auto device = Open(PaymentElement(u"<StoreCode>S1</StoreCode><TillCode>T1</TillCode><Reference>1234567890</Reference>"
                                    u"<Amount>12.50</Amount><Currency>EUR</Currency>"));
  Answer("PaymentResponse", kApproved);
  _int_PAY_result r;
  EXPECT_TRUE(device->DoPay(fHandler->PaymentReceipt(), r));
  EXPECT_FALSE(r.Error);
  EXPECT_EQ(r.DeviceId, u"P-1");
  EXPECT_EQ(r.PaymentNetwork, vxPaymentNetwork::Mastercard);
  EXPECT_EQ(r.TransactionType, vxPaymentTransactionType::ptt_Chip);
  EXPECT_EQ(r.CustomerCountryCode, u"IT");
  EXPECT_EQ(r.PaymentNumber, u"ACQ-1");
  EXPECT_EQ(r.CardToken, u"TOK");
  EXPECT_EQ(r.PaymentAmount.Units(), 125000);
  // Non-ASCII text survives the wire in both directions (UTF-8, no 8-bit code page).
  EXPECT_EQ(r.ReceiptText, u"          Caf\u00e9 M\u00fcller\r\n\r\n");

  auto requests = fServer.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].target, "/nexo");
  EXPECT_EQ(requests[0].Header("User-Agent").value_or(""), "Brannic Zarvik Driver");
  std::string plain = PlainRequest(0);
  EXPECT_EQ(port::FromUtf8(plain), device->Security().fInputMessage);
  EXPECT_NE(plain.find(R"("SaleID":"S1-T1","ServiceID":"1234567890","POIID":"P-1"})"), std::string::npos);
  EXPECT_NE(plain.find(R"("RequestedAmount":12.5})"), std::string::npos);
  EXPECT_EQ(fHandler->PaymentReceipt().Reference(), u"1234567890");
}

TEST_F(AdyenExchangeTest, ReferenceOutsideOneToTenCharactersIsReplacedFromTheClock) {
  port::OverrideNowForTesting([] { return port::LocalTime{2024, 3, 15, 14, 7, 9, 123}; });
  for (const char16_t* reference : {u"12345678901", u""}) {
    auto device = Open(PaymentElement(u"<Reference>" + std::u16string(reference) + u"</Reference><Amount>1</Amount>"));
    Answer("PaymentResponse", kApproved);
    _int_PAY_result r;
    device->DoPay(fHandler->PaymentReceipt(), r);
    EXPECT_EQ(fHandler->PaymentReceipt().Reference(), u"5140709123");
  }
  port::OverrideNowForTesting(nullptr);
  std::string plain = PlainRequest(1);
  EXPECT_NE(plain.find(R"("ServiceID":"5140709123")"), std::string::npos);
  EXPECT_NE(plain.find(R"("TransactionID":"5140709123")"), std::string::npos);
}

TEST_F(AdyenExchangeTest, NonceIsTheDevicesOwn) {
  auto first = Open(PaymentElement(u"<Amount>1</Amount>"));
  for (int i = 0; i < 2; ++i) {
    Answer("PaymentResponse", kApproved);
    _int_PAY_result r;
    first->DoPay(fHandler->PaymentReceipt(), r);
  }
  auto second = Open(PaymentElement(u"<Amount>1</Amount>"));
  Answer("PaymentResponse", kApproved);
  _int_PAY_result r;
  second->DoPay(fHandler->PaymentReceipt(), r);
  port::Bytes n0, n1, n2;
  PlainRequest(0, &n0);
  PlainRequest(1, &n1);
  PlainRequest(2, &n2);
  EXPECT_EQ(n0, n1);
  EXPECT_NE(n0, n2);
  EXPECT_EQ(first->Security().fHexXORIVNonce.size(), 32u);
  EXPECT_NE(first->Security().fHexXORIVNonce, second->Security().fHexXORIVNonce);
}

TEST_F(AdyenExchangeTest, RefundSendsAmountPlusTipAndReturnsTheRequestTip) {
  auto device = Open(PaymentElement(u"<Action>REFUND</Action><Amount>12.50</Amount><TipAmount>2</TipAmount>"
                                    u"<Currency>CHF</Currency><RefundReference><PaymentId>POI-1</PaymentId>"
                                    u"<PaymentDateTime>2024-03-15T14:07:09</PaymentDateTime></RefundReference>"));
  Answer("ReversalResponse", R"({"Response":{"Result":"Success"},"ReversedAmount":14.5})");
  _int_PAY_result r;
  EXPECT_TRUE(device->DoRefund(fHandler->PaymentReceipt(), r));
  EXPECT_EQ(r.TippedAmount.Units(), 20000);
  EXPECT_EQ(r.PaymentCurrency, u"CHF");
  std::string plain = PlainRequest(0);
  EXPECT_NE(plain.find(R"("MessageCategory":"Reversal")"), std::string::npos);
  EXPECT_NE(plain.find(R"("ReversedAmount":14.5,)"), std::string::npos);
  EXPECT_NE(plain.find(R"({"TransactionID":"POI-1","TimeStamp":"2024-03-15T14:07:09.000)"), std::string::npos);
}

TEST_F(AdyenExchangeTest, DeclineIsAFailureWithTheStandardText) {
  auto device = Open(PaymentElement(u"<Amount>1</Amount>"));
  Answer("PaymentResponse", R"({"Response":{"Result":"Failure","ErrorCondition":"Refusal",
      "AdditionalResponse":"refusalReason=Not+enough+balance&message=Declined"}})");
  _int_PAY_result r;
  EXPECT_FALSE(device->DoPay(fHandler->PaymentReceipt(), r));
  EXPECT_TRUE(r.Error);
  EXPECT_EQ(r.ErrorText, u"Refusal - Declined - Not enough balance");
  EXPECT_FALSE(device->IOHandler().ErrorFound());
}

TEST_F(AdyenExchangeTest, TransportFailuresAreRecordedOnTheHandler) {
  auto device = Open(PaymentElement(u"<Amount>1</Amount>"));
  CannedResponse unauthorized;
  unauthorized.status = 401;
  unauthorized.reason = "Unauthorized";
  unauthorized.body = R"({"errors":["Invalid credentials","second"]})";
  fServer.Enqueue(unauthorized);
  _int_PAY_result r;
  EXPECT_FALSE(device->DoPay(fHandler->PaymentReceipt(), r));
  EXPECT_TRUE(r.Error);
  EXPECT_TRUE(device->IOHandler().ErrorFound());
  EXPECT_EQ(device->IOHandler().ErrorCode(), 401);
  EXPECT_EQ(device->IOHandler().ErrorMessage(), u"Unauthorized - Invalid credentials");

  CannedResponse html;
  html.status = 500;
  html.reason = "Internal Server Error";
  html.body = "<html><body>boom</body></html>";
  fServer.Enqueue(html);
  EXPECT_FALSE(device->DoPay(fHandler->PaymentReceipt(), r));
  EXPECT_EQ(device->IOHandler().ErrorCode(), 500);
  EXPECT_EQ(device->IOHandler().ErrorMessage(), u"Internal Server Error - ");
}

TEST_F(AdyenExchangeTest, NoAnswerRecordsNothing) {
  auto device = Open(PaymentElement(u"<Amount>1</Amount>"));
  CannedResponse drop;
  drop.action = CannedResponse::Action::CloseWithoutAnswer;
  fServer.Enqueue(drop);
  _int_PAY_result r;
  EXPECT_FALSE(device->DoPay(fHandler->PaymentReceipt(), r));
  EXPECT_TRUE(r.Error);
  EXPECT_EQ(r.ErrorText, u"");
  EXPECT_FALSE(device->IOHandler().ErrorFound());
}

TEST_F(AdyenExchangeTest, SecurityFailuresRaiseTheirMessages) {
  auto spoiled = [](int aCryptoVersion, int aKeyVersion, bool aWrongHmac, bool aDropTrailer) {
    NexoAnswerOptions o;
    o.cryptoVersion = aCryptoVersion;
    o.keyVersion = aKeyVersion;
    o.wrongHmac = aWrongHmac;
    o.dropTrailer = aDropTrailer;
    return o;
  };
  struct {
    NexoAnswerOptions options;
    std::u16string message;
  } const cases[] = {
      {spoiled(2, 5, false, false), u"AdyenCryptoVersion has to be 1"},
      {spoiled(1, 2, false, false), u"Key Version 2 different from setup"},
      {spoiled(1, -1, true, false), u"HMAC is different from what expected"},
      {spoiled(1, -1, false, true), u"Value 'SecurityTrailer' not found"},
  };
  for (const auto& c : cases) {
    auto device = Open(PaymentElement(u"<Amount>1</Amount>"));
    Answer("PaymentResponse", kApproved, c.options);
    _int_PAY_result r;
    try {
      device->DoPay(fHandler->PaymentReceipt(), r);
      ADD_FAILURE() << "accepted: " << vxtext::Utf8(c.message);
    } catch (const tVX_Error& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  // Another key identifier is accepted.
  auto device = Open(PaymentElement(u"<Amount>1</Amount>"));
  NexoAnswerOptions other;
  other.keyIdentifier = "SomeOtherKey";
  Answer("PaymentResponse", kApproved, other);
  _int_PAY_result r;
  EXPECT_TRUE(device->DoPay(fHandler->PaymentReceipt(), r));
}

TEST_F(AdyenExchangeTest, LogHoldsRequestClientLinesAndDecryptedAnswerInOrder) {
  std::u16string logFile;
  {
    auto device = Open(PaymentElement(u"<Amount>1</Amount>"));
    logFile = device->IOHandler().GetLogFileName();
    Answer("PaymentResponse", kApproved);
    _int_PAY_result r;
    device->DoPay(fHandler->PaymentReceipt(), r);
  }
  std::string log = ReadLog(logFile);
  size_t pay = log.find("kAdyen.Pay:{\"SaleToPOIRequest\"");
  size_t url = log.find("/nexo", pay);
  size_t decrypt = log.find("kAdyen.Decrypt:{\"SaleToPOIResponse\"");
  ASSERT_NE(pay, std::string::npos) << log;
  ASSERT_NE(decrypt, std::string::npos) << log;
  EXPECT_LT(pay, url);
  EXPECT_LT(url, decrypt);
}

TEST_F(AdyenExchangeTest, LoginRefusalEndsTheBracketWithoutLogout) {
  auto device = Open();
  Answer("LoginResponse", R"({"Response":{"Result":"Failure","ErrorCondition":"NotAllowed",
      "AdditionalResponse":"message=Login+refused"}})");
  kPaymentDayClose dayClose;
  dayClose.SetStoreCode(u"S");
  dayClose.SetTillCode(u"T");
  dayClose.SetReference(u"kept");
  bool error = false;
  std::u16string text;
  bool ran = false;
  EXPECT_FALSE(device->RunInLoginBracket(dayClose, error, text, [&] { return ran = true; }));
  EXPECT_TRUE(error);
  EXPECT_FALSE(ran);
  EXPECT_EQ(text, u"NotAllowed - Login refused");
  EXPECT_EQ(fServer.Requests().size(), 1u);
  EXPECT_EQ(dayClose.Reference(), u"kept");
  EXPECT_NE(PlainRequest(0).find(R"("MessageCategory":"Login")"), std::string::npos);
}

TEST_F(AdyenExchangeTest, BracketRunsTheCommandWithAFreshReferenceThenLogsOut) {
  auto device = Open();
  Answer("LoginResponse", R"({"Response":{"Result":"Success"}})");
  Answer("LogoutResponse", R"({"Response":{"Result":"Failure","ErrorCondition":"Ignored"}})");
  kPaymentTotals totals;
  totals.SetStoreCode(u"S");
  totals.SetTillCode(u"T");
  totals.SetReference(u"old");
  bool error = true;
  std::u16string text = u"x";
  EXPECT_TRUE(device->RunInLoginBracket(totals, error, text, [] { return true; }));
  EXPECT_FALSE(error);
  EXPECT_EQ(text, u"");
  EXPECT_EQ(totals.Reference().size(), 10u);
  ASSERT_EQ(fServer.Requests().size(), 2u);
  EXPECT_NE(PlainRequest(1).find(R"("LogoutRequest":{})"), std::string::npos);
}

TEST_F(AdyenExchangeTest, ReservedSendsNothing) {
  auto device = Open(PaymentElement(u"<Amount>1</Amount>"));
  EXPECT_FALSE(device->Reserved());
  EXPECT_TRUE(fServer.Requests().empty());
}

// A terminal that stays busy is asked once a second, each time under a new ServiceID, and left
// after the bound with the "InProgress" text.
TEST_F(AdyenExchangeTest, VerificationOfABusyTerminalStopsAtTheBound) {
  auto device = Open(PaymentElement(u"<StoreCode>S</StoreCode><TillCode>T</TillCode><Reference>R1</Reference>"));
  device->SetInProgressMaxAttempts(3);
  for (int i = 0; i < 4; ++i) {
    Answer("TransactionStatusResponse", R"({"Response":{"Result":"Failure","ErrorCondition":"InProgress"}})");
  }
  _int_PAY_result r;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(device->DoVerifyTran(fHandler->PaymentReceipt(), r));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(r.Error);
  EXPECT_EQ(r.ErrorText, u"InProgress");
  ASSERT_EQ(fServer.Requests().size(), 3u);
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 1900);
  std::set<std::string> serviceIds;
  for (size_t n = 0; n < 3; ++n) {
    tJson request = tJson::parse(PlainRequest(n));
    serviceIds.insert(request["SaleToPOIRequest"]["MessageHeader"]["ServiceID"].get<std::string>());
  }
  EXPECT_EQ(serviceIds.size(), 3u);
  EXPECT_TRUE(serviceIds.contains("R1"));
}

// A day close whose reconciliation answer fails a security check ends there: no logout.
TEST_F(AdyenExchangeTest, DayCloseRaisingASecurityFailureSendsNoLogout) {
  auto device = Open();
  Answer("LoginResponse", R"({"Response":{"Result":"Success"}})");
  NexoAnswerOptions tampered;
  tampered.wrongHmac = true;
  Answer("ReconciliationResponse", R"({"Response":{"Result":"Success"},"POIReconciliationID":"1"})", tampered);
  Answer("LogoutResponse", R"({"Response":{"Result":"Success"}})");
  kPaymentDayClose dayClose;
  _int_DAYCLOSE_result r;
  EXPECT_THROW(device->DoDayClose(dayClose, r), tVX_Error);
  EXPECT_EQ(fServer.Requests().size(), 2u);
}

TEST(AdyenRegistryTest, RegisteredUnderItsName) {
  const kPaymentClass* found = FindPaymentDriver(u"VXPA_ADYEN_10");
  ASSERT_NE(found, nullptr);
  auto handler = ReadRequest(AdyenRequest(u"http://127.0.0.1:9", DefaultParameters()), vxPaymentHandlerDocumentType::dt_Open);
  auto device = found->Create(*handler);
  EXPECT_NE(dynamic_cast<kPayment_ADYEN*>(device.get()), nullptr);
  EXPECT_EQ(found->GetDriverVersion(), kPaymentDevice::GetDriverVersion());
}

}  // namespace
}  // namespace vxtest
