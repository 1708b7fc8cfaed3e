// Requests a strict terminal refuses: security faults get HTTP 401 (400 when the body is not a
// protected request), message faults a protected Failure answer with ErrorCondition MessageFormat.
#include "SimFixture.h"

namespace simtest {
namespace {

using RefusalTest = SimTest;

std::string FirstError(const HttpResult& aResult) {
  const Json body = Json::parse(aResult.body, nullptr, false);
  if (!body.is_object() || !body.contains("errors") || body["errors"].empty()) return "(no errors array)";
  return body["errors"][0].get<std::string>();
}

TEST_F(RefusalTest, SecurityFaultsGetUnauthorizedWithAReason) {
  const Json login = LoginRequest("S-T", "1000000001");
  struct Case {
    Protection protection;
    std::string error;
  };
  const Case cases[] = {
      {Protection{"SimKey", 1, 1, false, true}, "Hmac does not match the message"},
      {Protection{"SimKey", 1, 1, true, false}, "SecurityTrailer missing"},
      {Protection{"SimKey", 1, 2, false, false}, "Unsupported AdyenCryptoVersion 2"},
      {Protection{"SimKey", 2, 1, false, false}, "Unknown KeyVersion 2 for KeyIdentifier 'SimKey'"},
      {Protection{"Other", 1, 1, false, false}, "Unknown KeyIdentifier 'Other'"},
  };
  for (const auto& c : cases) {
    const Exchange exchange = Client().Send(login, c.protection);
    EXPECT_EQ(exchange.http.status, 401) << c.error;
    EXPECT_EQ(FirstError(exchange.http), c.error);
  }
  // A client that uses another passphrase: the blob does not decrypt or its HMAC does not match.
  NexoClient stranger(Client().BaseUrl(), "another secret");
  const Exchange foreign = stranger.Send(login);
  EXPECT_EQ(foreign.http.status, 401);
  // Nothing of it reached the terminal.
  EXPECT_EQ(HttpCall("GET", Client().BaseUrl() + "/transactions").body, "[]");
}

TEST_F(RefusalTest, TrailerMembersMustBeNumbersInTheirOrder) {
  const std::string good = Client().Protect(LoginRequest("S-T", "1000000002").dump());
  Json asText = Json::parse(good);
  asText["SaleToPOIRequest"]["SecurityTrailer"]["KeyVersion"] = "1";
  EXPECT_EQ(FirstError(HttpCall("POST", Client().BaseUrl() + "/nexo", asText.dump())),
            "SecurityTrailer.KeyVersion must be an integer number");

  Json reordered = Json::parse(good);
  Json& trailer = reordered["SaleToPOIRequest"]["SecurityTrailer"];
  const Json version = trailer["KeyVersion"];
  trailer.erase("KeyVersion");
  trailer["KeyVersion"] = version;
  const HttpResult result = HttpCall("POST", Client().BaseUrl() + "/nexo", reordered.dump());
  EXPECT_EQ(result.status, 401);
  EXPECT_NE(FirstError(result).find("order"), std::string::npos);

  Json shortNonce = Json::parse(good);
  shortNonce["SaleToPOIRequest"]["SecurityTrailer"]["Nonce"] = "AAAAAAAAAAA=";
  EXPECT_EQ(FirstError(HttpCall("POST", Client().BaseUrl() + "/nexo", shortNonce.dump())),
            "Nonce must be Base64 of 16 bytes");

  // The header beside the blob must be the protected one.
  Json otherHeader = Json::parse(good);
  otherHeader["SaleToPOIRequest"]["MessageHeader"]["ServiceID"] = "1000000003";
  EXPECT_EQ(FirstError(HttpCall("POST", Client().BaseUrl() + "/nexo", otherHeader.dump())),
            "MessageHeader differs from the protected message's header");
}

TEST_F(RefusalTest, BodiesThatAreNotProtectedRequestsGetBadRequest) {
  EXPECT_EQ(HttpCall("POST", Client().BaseUrl() + "/nexo", "not json").status, 400);
  EXPECT_EQ(HttpCall("POST", Client().BaseUrl() + "/nexo", "[1,2]").status, 400);
  EXPECT_EQ(HttpCall("POST", Client().BaseUrl() + "/nexo", R"({"SaleToPOIResponse":{}})").status, 400);
  EXPECT_EQ(HttpCall("GET", Client().BaseUrl() + "/nexo").status, 405);
  EXPECT_EQ(HttpCall("GET", Client().BaseUrl() + "/other").status, 404);

  Json unknown = LoginRequest("S-T", "1000000004");
  unknown["SaleToPOIRequest"]["MessageHeader"]["MessageCategory"] = "Diagnosis";
  const Exchange exchange = Client().Send(unknown);
  EXPECT_EQ(exchange.http.status, 400);
  EXPECT_EQ(FirstError(exchange.http), "Unsupported MessageCategory 'Diagnosis'");
}

// Sends aRequest and answers the reason of the MessageFormat refusal ("" when it was accepted).
std::string FormatRefusal(NexoClient& aClient, const Json& aRequest, const std::string& aBody) {
  const Exchange exchange = aClient.Send(aRequest);
  EXPECT_EQ(exchange.error, "") << exchange.http.body;
  const Json& body = exchange.Body(aBody);
  if (exchange.Result(aBody) == "Success") return "";
  EXPECT_EQ(body["Response"]["ErrorCondition"], "MessageFormat");
  return KeyValue(body["Response"]["AdditionalResponse"].get<std::string>(), "message");
}

TEST_F(RefusalTest, HeaderFaultsAreAnsweredWithMessageFormat) {
  EXPECT_EQ(FormatRefusal(Client(), Envelope(Header("Login", "S-T", "1000000005", "OTHER-POI"), "LoginRequest",
                                             LoginRequest("S-T", "1")["SaleToPOIRequest"]["LoginRequest"]),
                          "LoginResponse"),
            "MessageHeader.POIID 'OTHER-POI' is not this terminal's POIID");
  Json header = Header("Logout", "S-T", "12345678901");
  EXPECT_EQ(FormatRefusal(Client(), Envelope(header, "LogoutRequest", Json::object()), "LogoutResponse"),
            "MessageHeader.ServiceID must have 1 to 10 characters");
  header = Header("Logout", "S-T", "1000000006");
  header["MessageType"] = "Notification";
  EXPECT_EQ(FormatRefusal(Client(), Envelope(header, "LogoutRequest", Json::object()), "LogoutResponse"),
            "MessageHeader.MessageType must be Request");
  header = Header("Logout", "S-T", "1000000007");
  header["ProtocolVersion"] = "3.1";
  EXPECT_EQ(FormatRefusal(Client(), Envelope(header, "LogoutRequest", Json::object()), "LogoutResponse"),
            "MessageHeader.ProtocolVersion must be 3.0");
  header = Header("Logout", "S-T", "1000000008");
  header.erase("SaleID");
  header["SaleID"] = "S-T";
  EXPECT_EQ(FormatRefusal(Client(), Envelope(header, "LogoutRequest", Json::object()), "LogoutResponse"),
            "MessageHeader: member 'SaleID' is out of order");
}

TEST_F(RefusalTest, BodyFaultsAreAnsweredWithMessageFormat) {
  Json payment = PaymentRequest("S-T", "1000000010", "12.5");
  Json& amounts = payment["SaleToPOIRequest"]["PaymentRequest"]["PaymentTransaction"]["AmountsReq"];
  amounts["RequestedAmount"] = "12.5";
  EXPECT_EQ(FormatRefusal(Client(), payment, "PaymentResponse"),
            "PaymentRequest.PaymentTransaction.AmountsReq.RequestedAmount must be a number");
  amounts["RequestedAmount"] = 12.5;
  amounts["TipAmount"] = 0;
  EXPECT_EQ(FormatRefusal(Client(), payment, "PaymentResponse"),
            "PaymentRequest.PaymentTransaction.AmountsReq.TipAmount must be greater than zero");

  Json stamp = PaymentRequest("S-T", "1000000011", "1");
  stamp["SaleToPOIRequest"]["PaymentRequest"]["SaleData"]["SaleTransactionID"]["TimeStamp"] = "2024-03-15T14:07:09.123+00:00";
  EXPECT_EQ(FormatRefusal(Client(), stamp, "PaymentResponse"),
            "PaymentRequest.SaleData.SaleTransactionID.TimeStamp: '2024-03-15T14:07:09.123+00:00' must write a zero UTC "
            "offset as Z");

  Json raw = PaymentRequest("S-T", "1000000012", "1");
  raw["SaleToPOIRequest"]["PaymentRequest"]["SaleData"]["SaleToAcquirerData"] =
      "applicationInfo.merchantApplication.name=Raw Blank";
  EXPECT_NE(FormatRefusal(Client(), raw, "PaymentResponse").find("is not percent-encoded"), std::string::npos);

  Json order = PaymentRequest("S-T", "1000000013", "1");
  std::string list = order["SaleToPOIRequest"]["PaymentRequest"]["SaleData"]["SaleToAcquirerData"].get<std::string>();
  list += "&tenderOption=Cash";
  order["SaleToPOIRequest"]["PaymentRequest"]["SaleData"]["SaleToAcquirerData"] = list;
  EXPECT_EQ(FormatRefusal(Client(), order, "PaymentResponse"),
            "PaymentRequest.SaleData.SaleToAcquirerData: unknown tenderOption 'Cash'");

  Json status = StatusRequest("S-T", "1000000014");
  status["SaleToPOIRequest"]["TransactionStatusRequest"]["ReceiptReprintFlag"] = "true";
  EXPECT_EQ(FormatRefusal(Client(), status, "TransactionStatusResponse"),
            "TransactionStatusRequest.ReceiptReprintFlag must be true or false");

  Json totals = TotalsRequest("S-T", "1000000015", "OTHER");
  EXPECT_EQ(FormatRefusal(Client(), totals, "GetTotalsResponse"),
            "GetTotalsRequest.TotalFilter.POIID is not this terminal's POIID");

  Json extra = LogoutRequest("S-T", "1000000016");
  extra["SaleToPOIRequest"]["LogoutRequest"]["MaintenanceAllowed"] = true;
  EXPECT_EQ(FormatRefusal(Client(), extra, "LogoutResponse"), "LogoutRequest: unexpected member 'MaintenanceAllowed'");

  // A reversal whose SaleData starts with a duplicate SaleToAcquirerData parses with that member
  // first: accepted.
  const Json original = Pay("1000000017", "3");
  Json reversal = ReversalRequest("S-T", "1000000018", PoiTransactionId(original), "3");
  Json& saleData = reversal["SaleToPOIRequest"]["ReversalRequest"]["SaleData"];
  const Json id = saleData["SaleTransactionID"];
  saleData.erase("SaleTransactionID");
  saleData["SaleTransactionID"] = id;
  EXPECT_EQ(FormatRefusal(Client(), reversal, "ReversalResponse"), "");

  // White space between tokens.
  const Exchange pretty = Client().SendText(LogoutRequest("S-T", "1000000019").dump(1));
  EXPECT_EQ(KeyValue(pretty.Body("LogoutResponse")["Response"]["AdditionalResponse"].get<std::string>(), "message"),
            "Message text must be compact JSON (no white space)");
}

}  // namespace
}  // namespace simtest
