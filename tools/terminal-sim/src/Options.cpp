#include "Options.h"

#include "Cards.h"
#include "Scenarios.h"

#include <cstdio>

namespace termsim {

namespace {

bool ToInt(const std::string& aText, long aMin, long aMax, long& aValue) {
  if (aText.empty() || aText.size() > 12) return false;
  size_t i = aText[0] == '-' ? 1 : 0;
  if (i == aText.size()) return false;
  long value = 0;
  for (; i < aText.size(); ++i) {
    if (aText[i] < '0' || aText[i] > '9') return false;
    value = value * 10 + (aText[i] - '0');
  }
  if (aText[0] == '-') value = -value;
  if (value < aMin || value > aMax) return false;
  aValue = value;
  return true;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& aArgs, SimOptions& aOptions, bool& aHelp, std::string& aError) {
  aHelp = false;
  for (size_t i = 0; i < aArgs.size(); ++i) {
    std::string name = aArgs[i];
    std::string value;
    bool inlineValue = false;
    if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
      inlineValue = true;
    }
    auto next = [&](std::string& aOut) {
      if (inlineValue) {
        aOut = value;
        return true;
      }
      if (i + 1 >= aArgs.size()) {
        aError = name + " needs a value";
        return false;
      }
      aOut = aArgs[++i];
      return true;
    };
    auto number = [&](long aMin, long aMax, long& aOut) {
      std::string text;
      if (!next(text)) return false;
      if (!ToInt(text, aMin, aMax, aOut)) {
        aError = name + " must be a whole number from " + std::to_string(aMin) + " to " + std::to_string(aMax);
        return false;
      }
      return true;
    };
    long n = 0;
    if (name == "--help" || name == "-h") {
      aHelp = true;
    } else if (name == "--port") {
      if (!number(0, 65535, n)) return false;
      aOptions.port = static_cast<uint16_t>(n);
    } else if (name == "--https") {
      aOptions.https = true;
    } else if (name == "--http") {
      aOptions.https = false;
    } else if (name == "--secret") {
      if (!next(aOptions.secret)) return false;
      if (aOptions.secret.empty()) {
        aError = "--secret must not be empty";
        return false;
      }
    } else if (name == "--key-id") {
      if (!next(aOptions.keyIdentifier)) return false;
    } else if (name == "--key-version") {
      if (!number(0, 2147483647, n)) return false;
      aOptions.keyVersion = static_cast<int>(n);
    } else if (name == "--poiid") {
      if (!next(aOptions.terminal.poiid)) return false;
    } else if (name == "--utc-offset") {
      std::string text;
      if (!next(text)) return false;
      if (text == "local") {
        aOptions.terminal.utcOffsetMinutes.reset();
      } else if (const auto offset = ParseUtcOffset(text)) {
        aOptions.terminal.utcOffsetMinutes = *offset;
      } else {
        aError = "--utc-offset must be local, Z or +hh:mm / -hh:mm";
        return false;
      }
    } else if (name == "--totals-group") {
      if (!next(aOptions.terminal.defaultTotalsGroup)) return false;
    } else if (name == "--merchant-name") {
      if (!next(aOptions.terminal.merchantName)) return false;
    } else if (name == "--merchant-address") {
      if (!next(aOptions.terminal.merchantAddress)) return false;
    } else if (name == "--port-file") {
      if (!next(aOptions.portFile)) return false;
    } else if (name == "--request-log") {
      if (!next(aOptions.requestLogFile)) return false;
    } else if (name == "--control-file") {
      if (!next(aOptions.controlFile)) return false;
    } else if (name == "--cert-file") {
      if (!next(aOptions.certFile)) return false;
    } else if (name == "--max-seconds") {
      if (!number(0, 86400 * 7, n)) return false;
      aOptions.maxSeconds = static_cast<int>(n);
    } else if (name == "--scenario") {
      std::string text;
      if (!next(text)) return false;
      aOptions.scenarios.push_back(text);
    } else if (name == "--verbose" || name == "-v") {
      aOptions.verbose = true;
    } else {
      aError = "unknown option " + aArgs[i];
      return false;
    }
    if (inlineValue && (name == "--https" || name == "--http" || name == "--verbose" || name == "--help")) {
      aError = name + " takes no value";
      return false;
    }
  }
  if (aOptions.keyIdentifier.empty()) {
    aError = "--key-id must not be empty";
    return false;
  }
  if (aOptions.terminal.poiid.empty()) {
    aError = "--poiid must not be empty";
    return false;
  }
  return true;
}

std::string HelpText() {
  const SimOptions defaults;
  std::string text =
      "terminal-sim: a payment terminal on 127.0.0.1 for tests and demonstrations.\n"
      "It answers protected Terminal API requests (POST /nexo): login, logout, payment, reversal,\n"
      "transaction status, reconciliation and totals, and keeps its transactions in memory.\n"
      "The first line on standard output is \"listening 127.0.0.1:PORT http\" (or https).\n"
      "It runs until SIGTERM or SIGINT (clean exit, status 0) or for --max-seconds.\n"
      "\n"
      "Options:\n"
      "  --port N              port to listen on; 0 (default) picks a free one\n"
      "  --port-file FILE      write the chosen port (and a line end) to FILE once listening\n"
      "  --https               speak HTTPS with a self-signed certificate made at start\n"
      "  --cert-file FILE      write that certificate (PEM) to FILE\n"
      "  --secret TEXT         shared passphrase (UTF-8, hashed as Windows-1252); default \"" +
      defaults.secret +
      "\"\n"
      "  --key-id TEXT         key identifier the requests must name; default " +
      defaults.keyIdentifier +
      "\n"
      "  --key-version N       key version the requests must name; default " +
      std::to_string(defaults.keyVersion) +
      "\n"
      "  --poiid TEXT          this terminal's POIID; default " +
      defaults.terminal.poiid +
      "\n"
      "  --utc-offset OFFSET   write answer time stamps at this offset (Z, +05:30, -03:00) or local\n"
      "                        (default)\n"
      "  --totals-group TEXT   totals group of a SaleID that never logged in; default " +
      defaults.terminal.defaultTotalsGroup +
      "\n"
      "  --merchant-name TEXT, --merchant-address TEXT   receipt headings\n"
      "  --scenario JSON       a control object applied at start (repeatable)\n"
      "  --control-file FILE   before each /nexo request, apply FILE as a control object (or array)\n"
      "                        and remove it; write it elsewhere and rename it into place\n"
      "  --request-log FILE    append every /nexo request as one JSON line (as GET /requests)\n"
      "  --max-seconds N       stop after N seconds\n"
      "  --verbose, -v         one line per request on standard error\n"
      "  --help, -h            this text\n"
      "\n"
      "Endpoints:\n"
      "  POST /nexo            the terminal: protected SaleToPOIRequest in, protected SaleToPOIResponse out\n"
      "  POST /control         a control object or an array of them (answers the pending scenarios):\n"
      "                          {\"scenario\":NAME, \"count\":N, \"category\":CATEGORY|\"any\", ...parameters}\n"
      "                          {\"reset\":\"all\"|\"scenarios\"|\"requests\"|\"transactions\"}\n"
      "  GET /control          the pending scenarios and the reconciliation period\n"
      "  GET /requests[?since=SEQ]  the /nexo requests received, oldest first: seq, time, scheme,\n"
      "                        httpStatus, category, saleId, serviceId, request (decrypted), plainText,\n"
      "                        answer (plain), refusal, scenarios, body (as received)\n"
      "  DELETE /requests      forget the request log\n"
      "  GET /transactions     the transactions the terminal ran\n"
      "\n"
      "Scenarios: each applies to the next request of its category (count: the next N such requests);\n"
      "\"category\":\"any\" makes it apply to every kind of request. Several scenarios may apply to one\n"
      "request; http-401 and http-500 answer without processing, drop (process true) processes\n"
      "and then closes the connection.\n";
  char line[256];
  for (const auto& info : ScenarioCatalogue()) {
    std::snprintf(line, sizeof(line), "  %-17s [%s] %s\n", info.name, *info.defaultCategory ? info.defaultCategory : "any",
                  info.help);
    text += line;
  }
  text +=
      "\n"
      "Amount codes (the cents of RequestedAmount of a payment; other amounts are approved with a\n"
      "Mastercard read contactless):\n";
  for (const auto& code : AmountCodes()) {
    std::snprintf(line, sizeof(line), "  .%02d  %s\n", code.cents, code.help);
    text += line;
  }
  text +=
      "\n"
      "Refusals: a request that fails the security checks gets HTTP 401 (400 when it is not a\n"
      "protected SaleToPOIRequest) with {\"errors\":[reason]}; one whose header or body is wrong gets\n"
      "a protected answer with Result Failure, ErrorCondition MessageFormat and the reason as\n"
      "AdditionalResponse message. Payments asking for AskGratuity get a 10% tip unless the\n"
      "gratuity scenario names one.\n";
  return text;
}

}  // namespace termsim
