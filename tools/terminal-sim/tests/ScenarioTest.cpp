// Scenarios chosen through the control endpoint or file: their effect on the next request(s).
#include "SimFixture.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace simtest {
namespace {

using ScenarioTest = SimTest;

TEST_F(ScenarioTest, HttpErrorsAnswerWithoutProcessing) {
  Client().Control({{"scenario", "http-401"}, {"errors", "Invalid credentials"}});
  const Exchange unauthorized = Client().Send(PaymentRequest("S-T", "1000000001", "5"));
  EXPECT_EQ(unauthorized.http.status, 401);
  EXPECT_EQ(Json::parse(unauthorized.http.body), Json::parse(R"({"errors":["Invalid credentials"]})"));

  Client().Control({{"scenario", "http-500"}});
  const Exchange broken = Client().Send(PaymentRequest("S-T", "1000000002", "5"));
  EXPECT_EQ(broken.http.status, 500);
  EXPECT_EQ(broken.http.contentType, "text/html");
  EXPECT_NE(broken.http.body.find("<html>"), std::string::npos);

  EXPECT_EQ(HttpCall("GET", Client().BaseUrl() + "/transactions").body, "[]");
  EXPECT_EQ(Client().Send(PaymentRequest("S-T", "1000000003", "5")).Result("PaymentResponse"), "Success");
}

TEST_F(ScenarioTest, SpoiltAnswersFailTheClientsChecks) {
  const struct {
    const char* scenario;
    std::string error;
  } cases[] = {
      {"wrong-hmac", "HMAC is different from what expected"},
      {"crypto-version-2", "AdyenCryptoVersion has to be 1"},
      {"key-version", "Key Version 2 different from setup"},
      {"no-trailer", "Value 'SecurityTrailer' not found"},
      {"nonce-length", "nonce length"},
  };
  for (const auto& c : cases) {
    Client().Control({{"scenario", c.scenario}});
    const Exchange exchange = Client().Send(LoginRequest("S-T", "1000000010"));
    EXPECT_EQ(exchange.http.status, 200) << c.scenario;
    EXPECT_EQ(exchange.error, c.error) << c.scenario;
  }
  // A flipped ciphertext bit garbles the text: decryption or the HMAC check fails.
  Client().Control({{"scenario", "tamper-blob"}});
  const Exchange tampered = Client().Send(LoginRequest("S-T", "1000000011"));
  EXPECT_TRUE(tampered.error == "HMAC is different from what expected" || tampered.error == "decryption failed")
      << tampered.error;
  // Each applied once: the next answer is sound.
  EXPECT_EQ(Client().Send(LoginRequest("S-T", "1000000012")).error, "");
}

TEST_F(ScenarioTest, CountsAndCategoriesChooseTheRequests) {
  Client().Control(Json::array({{{"scenario", "decline"}, {"count", 2}, {"refusalReason", "Do not honour"}},
                                {{"scenario", "wrong-hmac"}, {"category", "Logout"}}}));
  EXPECT_EQ(Client().Send(LoginRequest("S-T", "1000000020")).error, "");  // neither applies to a login
  for (const char* id : {"1000000021", "1000000022"}) {
    const Exchange declined = Client().Send(PaymentRequest("S-T", id, "5"));
    EXPECT_EQ(declined.Body("PaymentResponse")["Response"]["ErrorCondition"], "Refusal");
    EXPECT_EQ(KeyValue(declined.Body("PaymentResponse")["Response"]["AdditionalResponse"].get<std::string>(),
                       "refusalReason"),
              "Do not honour");
  }
  EXPECT_EQ(Client().Send(PaymentRequest("S-T", "1000000023", "5")).Result("PaymentResponse"), "Success");
  const Json pending = Json::parse(HttpCall("GET", Client().BaseUrl() + "/control").body)["scenarios"];
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0]["scenario"], "wrong-hmac");
  EXPECT_EQ(Client().Send(LogoutRequest("S-T", "1000000024")).error, "HMAC is different from what expected");

  Client().Control({{"scenario", "login-refusal"}, {"message", "Till locked"}});
  const Exchange refused = Client().Send(LoginRequest("S-T", "1000000025"));
  EXPECT_EQ(refused.Result("LoginResponse"), "Failure");
  EXPECT_EQ(refused.Body("LoginResponse")["Response"]["ErrorCondition"], "NotAllowed");
  EXPECT_EQ(KeyValue(refused.Body("LoginResponse")["Response"]["AdditionalResponse"].get<std::string>(), "message"),
            "Till locked");

  // Bad control objects change nothing, all or nothing.
  const Json bad = Client().Control(Json::array({{{"scenario", "delay"}, {"ms", 10}}, {{"scenario", "nonsense"}}}));
  EXPECT_EQ(bad["status"], 400);
  EXPECT_EQ(bad["answer"]["errors"][0], "unknown scenario 'nonsense'");
  EXPECT_EQ(Client().Control({{"scenario", "delay"}})["answer"]["errors"][0], "'ms' is required");
  EXPECT_EQ(Client().Control({{"scenario", "decline"}, {"category", "Coffee"}})["answer"]["errors"][0],
            "unknown category 'Coffee'");
  EXPECT_TRUE(Json::parse(HttpCall("GET", Client().BaseUrl() + "/control").body)["scenarios"].empty());
}

TEST_F(ScenarioTest, InProgressStatusAnswersThenTheTransaction) {
  Pay("1000000030", "4");
  Client().Control({{"scenario", "in-progress"}, {"count", 2}});
  for (const char* id : {"1000000031", "1000000032"}) {
    const Exchange busy = Client().Send(StatusRequest("STORE1-TILL1", id));
    EXPECT_EQ(busy.Result("TransactionStatusResponse"), "Failure");
    EXPECT_EQ(busy.Body("TransactionStatusResponse")["Response"]["ErrorCondition"], "InProgress");
  }
  const Exchange done = Client().Send(StatusRequest("STORE1-TILL1", "1000000033"));
  EXPECT_EQ(done.Result("TransactionStatusResponse"), "Success");
}

TEST_F(ScenarioTest, RefusedReportsCloseNothing) {
  Pay("1000000035", "7");
  Client().Control(Json::array({{{"scenario", "decline"}, {"category", "Reconciliation"}, {"condition", "NotAllowed"},
                                 {"message", "Terminal busy"}, {"errors", "closing"}},
                                {{"scenario", "decline"}, {"category", "GetTotals"}}}));
  const Exchange refused = Client().Send(ReconciliationRequest("STORE1-TILL1", "1000000036"));
  const Json& body = refused.Body("ReconciliationResponse");
  EXPECT_EQ(refused.Result("ReconciliationResponse"), "Failure");
  EXPECT_EQ(body["Response"]["ErrorCondition"], "NotAllowed");
  const std::string additional = body["Response"]["AdditionalResponse"].get<std::string>();
  EXPECT_EQ(KeyValue(additional, "message"), "Terminal busy");
  EXPECT_EQ(KeyValue(additional, "errors"), "closing");
  EXPECT_FALSE(body.contains("TransactionTotals"));
  const Exchange totals = Client().Send(TotalsRequest("STORE1-TILL1", "1000000037"));
  EXPECT_EQ(totals.Body("GetTotalsResponse")["Response"]["ErrorCondition"], "Refusal");

  // The period is still open: the next reconciliation is the first and holds the payment.
  const Exchange closed = Client().Send(ReconciliationRequest("STORE1-TILL1", "1000000038"));
  EXPECT_EQ(closed.Result("ReconciliationResponse"), "Success");
  EXPECT_EQ(closed.Body("ReconciliationResponse")["POIReconciliationID"], "1");
  EXPECT_EQ(closed.Body("ReconciliationResponse")["TransactionTotals"][0]["PaymentTotals"][0]["TransactionCount"], 1);
}

TEST_F(ScenarioTest, SlowAnswersAndDroppedConnections) {
  Client().Control({{"scenario", "delay"}, {"ms", 300}});
  const Exchange slow = Client().Send(LoginRequest("S-T", "1000000040"));
  EXPECT_EQ(slow.error, "");
  EXPECT_GE(slow.http.seconds, 0.29);

  // Dropped after processing: the payment happened, and the status tells its outcome.
  Client().Control({{"scenario", "drop"}});
  const Exchange dropped = Client().Send(PaymentRequest("STORE1-TILL1", "1000000041", "6"));
  EXPECT_NE(dropped.http.curlCode, 0);
  const Exchange status = Client().Send(StatusRequest("STORE1-TILL1", "1000000042"));
  EXPECT_EQ(status.Body("TransactionStatusResponse")["RepeatedMessageResponse"]["MessageHeader"]["ServiceID"],
            "1000000041");

  // Dropped before processing: nothing happened.
  Client().Control({{"scenario", "drop"}, {"process", false}});
  EXPECT_NE(Client().Send(PaymentRequest("STORE1-TILL1", "1000000043", "6")).http.curlCode, 0);
  EXPECT_EQ(Json::parse(HttpCall("GET", Client().BaseUrl() + "/transactions").body).size(), 1u);
  const Json log = Client().Requests();
  EXPECT_EQ(log.back()["httpStatus"], 0);
  EXPECT_EQ(log.back()["scenarios"], Json::array({"drop"}));
}

TEST_F(ScenarioTest, ReceiptCopiesAndCardChosenByScenario) {
  Client().Control(Json::array({{{"scenario", "receipts"}, {"copies", {"CashierReceipt"}}, {"category", "TransactionStatus"}},
                                {{"scenario", "card"}, {"brand", "maestro"}, {"entryMode", "ICC"}, {"country", "056"}}}));
  const Json payment = Pay("1000000050", "9");
  EXPECT_EQ(payment["PaymentReceipt"].size(), 2u);
  const Json& card = payment["PaymentResult"]["PaymentInstrumentData"]["CardData"];
  EXPECT_EQ(card["PaymentBrand"], "maestro");
  EXPECT_EQ(card["EntryMode"][0], "ICC");
  EXPECT_EQ(card["CardCountryCode"], "056");
  const Exchange reprint = Client().Send(StatusRequest("STORE1-TILL1", "1000000051"));
  const Json& receipts = reprint.Body("TransactionStatusResponse")["RepeatedMessageResponse"]["RepeatedResponseMessageBody"]["PaymentResponse"]["PaymentReceipt"];
  ASSERT_EQ(receipts.size(), 1u);
  EXPECT_EQ(receipts[0]["DocumentQualifier"], "CashierReceipt");
}

TEST(ScenarioFileTest, ControlFileAndStartScenariosApplyWithoutHttp) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("termsim-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  termsim::SimOptions options;
  options.controlFile = (folder / "control.json").string();
  options.requestLogFile = (folder / "requests.jsonl").string();
  options.scenarios = {R"({"scenario":"http-500"})"};
  termsim::Simulator sim(options);
  sim.Start();
  NexoClient client(sim.BaseUrl(), "terminal-sim secret");
  EXPECT_EQ(client.Send(LoginRequest("S-T", "1000000060")).http.status, 500);

  std::ofstream(options.controlFile) << R"({"scenario":"decline","condition":"Refusal","refusalReason":"Stolen Card"})";
  const Exchange declined = client.Send(PaymentRequest("S-T", "1000000061", "5"));
  EXPECT_EQ(KeyValue(declined.Body("PaymentResponse")["Response"]["AdditionalResponse"].get<std::string>(), "refusalReason"),
            "Stolen Card");
  EXPECT_FALSE(std::filesystem::exists(options.controlFile));  // consumed
  EXPECT_EQ(client.Send(PaymentRequest("S-T", "1000000062", "5")).Result("PaymentResponse"), "Success");
  sim.Stop();

  std::ifstream log(options.requestLogFile);
  std::string line;
  std::vector<Json> entries;
  while (std::getline(log, line)) entries.push_back(Json::parse(line));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0]["httpStatus"], 500);
  EXPECT_EQ(entries[2]["serviceId"], "1000000062");
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace simtest
