#include "Terminal.h"

#include <cstdio>

namespace termsim {

Json FailureResponse(const std::string& aCondition, const KeyList& aAdditional) {
  Json response = {{"Result", "Failure"}, {"ErrorCondition", aCondition}};
  if (!aAdditional.empty()) response["AdditionalResponse"] = EncodeKeyList(aAdditional);
  return response;
}

Terminal::Terminal(TerminalSettings aSettings) : fSettings(std::move(aSettings)) { Reset(); }

void Terminal::Reset() {
  fLedger.Clear();
  fSessions.clear();
  fPeriod = 1;
  fSequence = 0;
  const WallTime start = ToWallTime(Clock::now(), 0);
  char prefix[16];
  std::snprintf(prefix, sizeof(prefix), "%02d%02d%02d%02d%02d", start.year % 100, start.month, start.day, start.hour,
                start.minute);
  fIdPrefix = prefix;
}

std::string Terminal::Now() const { return FormatIsoTime(Clock::now(), fSettings.utcOffsetMinutes); }

std::string Terminal::NextTransactionId() {
  char id[24];
  std::snprintf(id, sizeof(id), "%s%06d", fIdPrefix.c_str(), ++fSequence);
  return id;  // 16 digits
}

std::string Terminal::NextAcquirerId() {
  char id[24];
  std::snprintf(id, sizeof(id), "88%s%04d", fIdPrefix.c_str(), fSequence % 10000);
  return id;
}

std::string Terminal::TotalsGroupOf(const std::string& aSaleId) const {
  const auto session = fSessions.find(aSaleId);
  return session == fSessions.end() ? fSettings.defaultTotalsGroup : session->second.totalsGroup;
}

Json Terminal::Header(const Json& aRequestHeader) const {
  auto text = [&](const char* aName) {
    return aRequestHeader.is_object() && aRequestHeader.contains(aName) && aRequestHeader[aName].is_string()
               ? aRequestHeader[aName].get<std::string>()
               : std::string();
  };
  return {{"ProtocolVersion", "3.0"},
          {"MessageClass", "Service"},
          {"MessageCategory", text("MessageCategory")},
          {"MessageType", "Response"},
          {"ServiceID", text("ServiceID")},
          {"SaleID", text("SaleID")},
          {"POIID", fSettings.poiid}};
}

Json Terminal::FormatFailure(const Json& aHeader, const std::string& aCategory, const std::string& aReason) const {
  Json body = {{"Response", FailureResponse("MessageFormat", {{"message", aReason}})}};
  Json answer = {{"MessageHeader", Header(aHeader)}};
  answer["MessageHeader"]["MessageCategory"] = aCategory;
  answer[aCategory + "Response"] = std::move(body);
  return {{"SaleToPOIResponse", std::move(answer)}};
}

Json Terminal::Answer(const Json& aRequest, const AppliedScenarios& aScenarios) {
  const Json& request = aRequest["SaleToPOIRequest"];
  const Json& header = request["MessageHeader"];
  const std::string category = header["MessageCategory"].get<std::string>();
  const Json& body = request[category + "Request"];
  Json answerBody;
  if (category == "Login") {
    answerBody = AnswerLogin(header, body, aScenarios);
  } else if (category == "Logout") {
    answerBody = AnswerLogout(header);
  } else if (category == "Payment") {
    answerBody = AnswerPayment(header, body, aScenarios);
  } else if (category == "Reversal") {
    answerBody = AnswerReversal(header, body, aScenarios);
  } else if (category == "TransactionStatus") {
    answerBody = AnswerStatus(header, body, aScenarios);
  } else {
    answerBody = AnswerTotals(header, category == "Reconciliation", aScenarios);
  }
  Json answer = {{"MessageHeader", Header(header)}};
  answer[category + "Response"] = std::move(answerBody);
  return {{"SaleToPOIResponse", std::move(answer)}};
}

Json Terminal::AnswerLogin(const Json& aHeader, const Json& aBody, const AppliedScenarios& aScenarios) {
  if (const Scenario* refusal = aScenarios.Find(ScenarioKind::LoginRefusal)) {
    return {{"Response", FailureResponse(refusal->params.value("condition", "NotAllowed"),
                                         {{"message", refusal->params.value("message", "Login refused")}})}};
  }
  Session& session = fSessions[aHeader["SaleID"].get<std::string>()];
  session.totalsGroup = aBody["SaleTerminalData"]["TotalsGroupID"].get<std::string>();
  session.loggedIn = true;
  return {{"Response", {{"Result", "Success"}}},
          {"POISystemData",
           {{"DateTime", Now()},
            {"POISoftware",
             {{"ManufacturerID", "terminal-sim"},
              {"ApplicationName", "terminal-sim"},
              {"SoftwareVersion", "1.0.0"},
              {"CertificationCode", "SIM"}}},
            {"POITerminalData",
             {{"TerminalEnvironment", "Attended"},
              {"POICapabilities",
               Json::array({"CashierDisplay", "CashierStatus", "CustomerDisplay", "PrinterReceipt", "MagStripe", "ICC",
                            "EMVContactless"})},
              {"POISerialNumber", fSettings.poiid}}},
            {"POIStatus", {{"GlobalStatus", "OK"}, {"PEDOKFlag", true}, {"CardReaderOKFlag", true}}}}}};
}

Json Terminal::AnswerLogout(const Json& aHeader) {
  const auto session = fSessions.find(aHeader["SaleID"].get<std::string>());
  if (session != fSessions.end()) session->second.loggedIn = false;
  return {{"Response", {{"Result", "Success"}}}};
}

}  // namespace termsim
