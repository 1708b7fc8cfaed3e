#include "Simulator.h"

#include "SimText.h"
#include "Validation.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace termsim {

namespace {

HttpResponse JsonResponse(int aStatus, const Json& aBody) {
  HttpResponse response;
  response.status = aStatus;
  response.body = SafeDump(aBody);
  return response;
}

HttpResponse ErrorResponse(int aStatus, const std::string& aError) {
  return JsonResponse(aStatus, {{"errors", Json::array({aError})}});
}

void WriteFileAtomically(const std::string& aPath, const std::string& aText) {
  const std::string temporary = aPath + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << aText;
    if (!out) throw std::runtime_error("cannot write " + temporary);
  }
  std::filesystem::rename(temporary, aPath);
}

std::string QueryValue(const std::string& aQuery, const std::string& aName) {
  KeyList items;
  if (!SplitKeyList(aQuery, items)) return {};
  return KeyListValue(items, aName).value_or("");
}

}  // namespace

Simulator::Simulator(SimOptions aOptions)
    : fOptions(std::move(aOptions)),
      fSecurity(fOptions.secret, fOptions.keyIdentifier, fOptions.keyVersion),
      fTls(fOptions.https ? TlsContext::CreateSelfSigned() : nullptr),
      fTerminal(fOptions.terminal),
      fLog(fOptions.requestLogFile),
      fServer([this](const HttpRequest& aRequest) { return Handle(aRequest); }, fTls.get()) {
  for (const auto& text : fOptions.scenarios) {
    const Json control = JsonNestingWithin(text, kMaxJsonDepth) ? Json::parse(text, nullptr, false)
                                                                 : Json(Json::value_t::discarded);
    if (control.is_discarded()) throw std::invalid_argument("--scenario is not JSON: " + text);
    ApplyControl(control);
  }
}

Simulator::~Simulator() { Stop(); }

void Simulator::Start() {
  fServer.Start(fOptions.port);
  if (!fOptions.certFile.empty() && fTls) WriteFileAtomically(fOptions.certFile, fTls->CertificatePem());
  if (!fOptions.portFile.empty()) WriteFileAtomically(fOptions.portFile, std::to_string(Port()) + "\n");
}

void Simulator::Stop() { fServer.Stop(); }

std::string Simulator::BaseUrl() const { return std::string(Scheme()) + "://127.0.0.1:" + std::to_string(Port()); }

HttpResponse Simulator::Handle(const HttpRequest& aRequest) {
  const std::string& path = aRequest.path;
  const std::string& method = aRequest.method;
  if (path == "/nexo") {
    if (method != "POST") return ErrorResponse(405, "use POST");
    return HandleNexo(aRequest);
  }
  if (path == "/control") {
    if (method == "POST") return HandleControl(aRequest.body);
    if (method != "GET") return ErrorResponse(405, "use GET or POST");
    std::lock_guard<std::mutex> lock(fMutex);
    return JsonResponse(200, {{"scenarios", fScenarios.Describe()}, {"reconciliationPeriod", fTerminal.ReconciliationPeriod()}});
  }
  if (path == "/requests") {
    std::lock_guard<std::mutex> lock(fMutex);
    if (method == "DELETE") {
      fLog.Clear();
      return JsonResponse(200, {{"ok", true}});
    }
    if (method != "GET") return ErrorResponse(405, "use GET or DELETE");
    const std::string since = QueryValue(aRequest.query, "since");
    int64_t from = 0;
    if (!since.empty()) {
      try {
        from = std::stoll(since);
      } catch (const std::exception&) {
        return ErrorResponse(400, "since must be a number");
      }
    }
    return JsonResponse(200, fLog.Since(from));
  }
  if (path == "/transactions") {
    if (method != "GET") return ErrorResponse(405, "use GET");
    std::lock_guard<std::mutex> lock(fMutex);
    return JsonResponse(200, fTerminal.DescribeTransactions());
  }
  return ErrorResponse(404, "no such endpoint: " + path);
}

HttpResponse Simulator::HandleControl(const std::string& aBody) {
  if (!JsonNestingWithin(aBody, kMaxJsonDepth)) return ErrorResponse(400, "control body nests too deep");
  const Json control = Json::parse(aBody, nullptr, false);
  if (control.is_discarded()) return ErrorResponse(400, "control body is not JSON");
  std::lock_guard<std::mutex> lock(fMutex);
  try {
    ApplyControl(control);
  } catch (const std::exception& e) {
    return ErrorResponse(400, e.what());
  }
  return JsonResponse(200, {{"ok", true}, {"scenarios", fScenarios.Describe()}});
}

void Simulator::ApplyControl(const Json& aControl) {
  const Json items = aControl.is_array() ? aControl : Json::array({aControl});
  ScenarioBook scenarios = fScenarios;
  std::vector<std::string> resets;
  for (const auto& item : items) {
    if (item.is_object() && item.contains("reset")) {
      const Json& what = item["reset"];
      const std::string text = what.is_boolean() && what.get<bool>() ? "all" : what.is_string() ? what.get<std::string>() : "";
      if (text != "all" && text != "scenarios" && text != "requests" && text != "transactions") {
        throw std::invalid_argument("reset must be all, scenarios, requests or transactions");
      }
      if (text == "all" || text == "scenarios") scenarios.Clear();
      resets.push_back(text);
    } else {
      scenarios.Add(item);
    }
  }
  fScenarios = std::move(scenarios);
  for (const auto& reset : resets) {
    if (reset == "all" || reset == "requests") fLog.Clear();
    if (reset == "all" || reset == "transactions") fTerminal.Reset();
  }
}

void Simulator::ApplyControlFile() {
  if (fOptions.controlFile.empty()) return;
  std::ifstream in(fOptions.controlFile, std::ios::binary);
  if (!in) return;
  std::stringstream text;
  text << in.rdbuf();
  in.close();
  std::error_code ignored;
  std::filesystem::remove(fOptions.controlFile, ignored);
  const bool shallow = JsonNestingWithin(text.str(), kMaxJsonDepth);
  const Json control = shallow ? Json::parse(text.str(), nullptr, false) : Json(Json::value_t::discarded);
  try {
    if (control.is_discarded()) throw std::invalid_argument("not JSON (or nested too deep)");
    ApplyControl(control);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "terminal-sim: control file %s refused: %s\n", fOptions.controlFile.c_str(), e.what());
  }
}

HttpResponse Simulator::HandleNexo(const HttpRequest& aRequest) {
  // Decryption needs no lock: the keys never change.
  OpenedRequest opened = fSecurity.Open(aRequest.body);
  const Json* header = nullptr;
  std::string category;
  if (opened.plain.is_object() && opened.plain.contains("SaleToPOIRequest") &&
      opened.plain["SaleToPOIRequest"].is_object() && opened.plain["SaleToPOIRequest"].contains("MessageHeader") &&
      opened.plain["SaleToPOIRequest"]["MessageHeader"].is_object()) {
    header = &opened.plain["SaleToPOIRequest"]["MessageHeader"];
    if (header->contains("MessageCategory") && (*header)["MessageCategory"].is_string()) {
      category = (*header)["MessageCategory"].get<std::string>();
    }
  }
  auto headerText = [&](const char* aName) {
    return header != nullptr && header->contains(aName) && (*header)[aName].is_string() ? (*header)[aName].get<std::string>()
                                                                                        : std::string();
  };

  std::lock_guard<std::mutex> lock(fMutex);
  ApplyControlFile();
  const AppliedScenarios applied = fScenarios.Take(IsKnownCategory(category) ? category : std::string());
  Json entry = {{"time", FormatIsoTime(Clock::now(), fOptions.terminal.utcOffsetMinutes)},
                {"scheme", Scheme()},
                {"category", category},
                {"saleId", headerText("SaleID")},
                {"serviceId", headerText("ServiceID")},
                {"request", opened.plain},
                {"plainText", opened.plainText},
                {"answer", nullptr},
                {"refusal", ""},
                {"scenarios", applied.Names()},
                {"body", aRequest.body}};

  HttpResponse response;
  const Scenario* drop = applied.Find(ScenarioKind::Drop);
  if (const Scenario* http401 = applied.Find(ScenarioKind::Http401)) {
    const Json& errors = http401->params.contains("errors") ? http401->params["errors"] : Json("Invalid credentials");
    response = JsonResponse(401, {{"errors", errors.is_array() ? errors : Json::array({errors})}});
  } else if (const Scenario* http500 = applied.Find(ScenarioKind::Http500)) {
    response.status = 500;
    response.contentType = "text/html";
    response.body = http500->params.value(
        "body",
        "<!DOCTYPE html><html><head><title>500 Internal Server Error</title></head>"
        "<body><h1>Internal Server Error</h1><p>The terminal could not process the request.</p></body></html>");
  } else if (opened.httpStatus != 0) {
    entry["refusal"] = opened.error;
    response = ErrorResponse(opened.httpStatus, opened.error);
  } else if (!IsKnownCategory(category)) {
    entry["refusal"] = "Unsupported MessageCategory '" + category + "'";
    response = ErrorResponse(400, entry["refusal"].get<std::string>());
  } else if (drop != nullptr && !drop->params.value("process", true)) {
    // Closed before the terminal looked at the request.
  } else {
    std::string reason = CheckHeader(*header, fOptions.terminal.poiid);
    if (reason.empty()) reason = CheckRequestBody(category, opened.plain["SaleToPOIRequest"], fOptions.terminal.poiid);
    if (reason.empty() && !IsCompactJson(opened.plainText)) reason = "Message text must be compact JSON (no white space)";
    Json answer;
    if (reason.empty()) {
      answer = fTerminal.Answer(opened.plain, applied);
    } else {
      entry["refusal"] = reason;
      answer = fTerminal.FormatFailure(*header, category, reason);
    }
    AnswerFaults faults;
    if (applied.Find(ScenarioKind::CryptoVersion2)) faults.cryptoVersion = 2;
    if (const Scenario* version = applied.Find(ScenarioKind::KeyVersion)) {
      faults.keyVersion = version->params.value("keyVersion", fOptions.keyVersion + 1);
    }
    faults.omitTrailer = applied.Find(ScenarioKind::NoTrailer) != nullptr;
    faults.tamperBlob = applied.Find(ScenarioKind::TamperBlob) != nullptr;
    faults.wrongHmac = applied.Find(ScenarioKind::WrongHmac) != nullptr;
    if (const Scenario* nonce = applied.Find(ScenarioKind::NonceLength)) faults.nonceBytes = nonce->params.value("bytes", 8);
    response.body = fSecurity.Protect(answer, faults);
    entry["answer"] = std::move(answer);
  }
  if (const Scenario* delay = applied.Find(ScenarioKind::Delay)) response.delayMs = delay->params.value("ms", 0);
  response.drop = drop != nullptr;
  entry["httpStatus"] = response.drop ? 0 : response.status;
  Report(entry);
  fLog.Add(std::move(entry));
  return response;
}

void Simulator::Report(const Json& aEntry) const {
  if (!fOptions.verbose) return;
  std::string result;
  const Json& answer = aEntry["answer"];
  if (answer.is_object()) {
    const Json& body = answer.begin().value();
    for (const auto& [name, value] : body.items()) {
      if (name != "MessageHeader" && value.is_object() && value.contains("Response")) {
        result = value["Response"].value("Result", "") + " " + value["Response"].value("ErrorCondition", "");
      }
    }
  }
  std::fprintf(stderr, "terminal-sim: %s %s sale=%s service=%s http=%d %s%s%s\n", aEntry["time"].get<std::string>().c_str(),
               aEntry["category"].get<std::string>().c_str(), aEntry["saleId"].get<std::string>().c_str(),
               aEntry["serviceId"].get<std::string>().c_str(), aEntry["httpStatus"].get<int>(), result.c_str(),
               aEntry["refusal"].get<std::string>().empty() ? "" : " refused: ",
               aEntry["refusal"].get<std::string>().c_str());
}

}  // namespace termsim
