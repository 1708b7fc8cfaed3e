#include "Scenarios.h"

#include <stdexcept>

namespace termsim {

namespace {

int IntParam(const Json& aControl, const char* aName, int aDefault, int aMin, int aMax) {
  if (!aControl.contains(aName)) return aDefault;
  const Json& value = aControl[aName];
  if (!value.is_number_integer() || value.get<int64_t>() < aMin || value.get<int64_t>() > aMax) {
    throw std::invalid_argument(std::string("'") + aName + "' must be an integer from " + std::to_string(aMin) +
                                " to " + std::to_string(aMax));
  }
  return value.get<int>();
}

void StringParams(const Json& aControl, std::initializer_list<const char*> aNames) {
  for (const char* name : aNames) {
    if (aControl.contains(name) && !aControl[name].is_string()) {
      throw std::invalid_argument(std::string("'") + name + "' must be a string");
    }
  }
}

void CheckParams(ScenarioKind aKind, const Json& aControl) {
  switch (aKind) {
    case ScenarioKind::Decline:
      StringParams(aControl, {"condition", "message", "errors", "refusalReason"});
      break;
    case ScenarioKind::LoginRefusal:
      StringParams(aControl, {"condition", "message", "refusalReason"});
      break;
    case ScenarioKind::Http401:
      if (aControl.contains("errors") && !aControl["errors"].is_string() && !aControl["errors"].is_array()) {
        throw std::invalid_argument("'errors' must be a string or an array");
      }
      break;
    case ScenarioKind::Http500:
      StringParams(aControl, {"body"});
      break;
    case ScenarioKind::KeyVersion:
      IntParam(aControl, "keyVersion", 0, 0, 1000000);
      break;
    case ScenarioKind::NonceLength: {
      const int bytes = IntParam(aControl, "bytes", 8, 0, 64);
      if (bytes == 16) throw std::invalid_argument("'bytes' must differ from 16");
      break;
    }
    case ScenarioKind::Delay:
      if (!aControl.contains("ms")) throw std::invalid_argument("'ms' is required");
      IntParam(aControl, "ms", 0, 0, 600000);
      break;
    case ScenarioKind::Drop:
      if (aControl.contains("process") && !aControl["process"].is_boolean()) {
        throw std::invalid_argument("'process' must be true or false");
      }
      break;
    case ScenarioKind::Receipts: {
      const Json& copies = aControl.contains("copies") ? aControl["copies"] : Json();
      if (!copies.is_array()) throw std::invalid_argument("'copies' must be an array");
      for (const auto& copy : copies) {
        if (copy != "CashierReceipt" && copy != "CustomerReceipt") {
          throw std::invalid_argument("'copies' may hold only CashierReceipt and CustomerReceipt");
        }
      }
      break;
    }
    case ScenarioKind::Card:
      StringParams(aControl, {"brand", "entryMode", "maskedPan", "country", "label"});
      break;
    case ScenarioKind::Gratuity:
      if (!aControl.contains("amount") || !aControl["amount"].is_number() || aControl["amount"].get<double>() <= 0) {
        throw std::invalid_argument("'amount' must be a positive number");
      }
      break;
    default:
      break;
  }
}

}  // namespace

const std::vector<ScenarioInfo>& ScenarioCatalogue() {
  static const std::vector<ScenarioInfo> kCatalogue = {
      {"decline", ScenarioKind::Decline, "Payment",
       "refuse the payment (category Reversal: the reversal; Reconciliation, GetTotals: the report); condition "
       "(Refusal), refusalReason, message, errors (reports only)"},
      {"login-refusal", ScenarioKind::LoginRefusal, "Login", "refuse the login; condition (NotAllowed), message"},
      {"http-401", ScenarioKind::Http401, "", "HTTP 401 with {\"errors\":[...]}; errors (text or array); not processed"},
      {"http-500", ScenarioKind::Http500, "", "HTTP 500 with an HTML page; body (HTML); not processed"},
      {"tamper-blob", ScenarioKind::TamperBlob, "", "flip a bit of the answer's NexoBlob ciphertext"},
      {"wrong-hmac", ScenarioKind::WrongHmac, "", "send an answer Hmac that does not match the text"},
      {"crypto-version-2", ScenarioKind::CryptoVersion2, "", "answer with AdyenCryptoVersion 2"},
      {"key-version", ScenarioKind::KeyVersion, "", "answer with another KeyVersion; keyVersion (own + 1)"},
      {"no-trailer", ScenarioKind::NoTrailer, "", "answer without SecurityTrailer"},
      {"nonce-length", ScenarioKind::NonceLength, "", "answer Nonce of another length; bytes (8)"},
      {"delay", ScenarioKind::Delay, "", "answer after a pause; ms (required)"},
      {"drop", ScenarioKind::Drop, "",
       "close the connection without answering; process (true: the transaction still happens)"},
      {"in-progress", ScenarioKind::InProgress, "TransactionStatus", "answer the status with ErrorCondition InProgress"},
      {"receipts", ScenarioKind::Receipts, "", "send only these receipt copies; copies ([\"CashierReceipt\"])"},
      {"card", ScenarioKind::Card, "Payment", "card presented; brand, entryMode, maskedPan, country, label"},
      {"gratuity", ScenarioKind::Gratuity, "Payment", "tip the customer adds when asked (AskGratuity); amount"},
  };
  return kCatalogue;
}

bool IsKnownCategory(const std::string& aCategory) {
  return aCategory == "Login" || aCategory == "Logout" || aCategory == "Payment" || aCategory == "Reversal" ||
         aCategory == "TransactionStatus" || aCategory == "Reconciliation" || aCategory == "GetTotals";
}

const Scenario* AppliedScenarios::Find(ScenarioKind aKind) const {
  for (const auto& scenario : list) {
    if (scenario.kind == aKind) return &scenario;
  }
  return nullptr;
}

Json AppliedScenarios::Names() const {
  Json names = Json::array();
  for (const auto& scenario : list) names.push_back(scenario.name);
  return names;
}

void ScenarioBook::Add(const Json& aControl) {
  if (!aControl.is_object() || !aControl.contains("scenario") || !aControl["scenario"].is_string()) {
    throw std::invalid_argument("a scenario needs \"scenario\": NAME");
  }
  const std::string name = aControl["scenario"].get<std::string>();
  const ScenarioInfo* info = nullptr;
  for (const auto& entry : ScenarioCatalogue()) {
    if (name == entry.name) info = &entry;
  }
  if (info == nullptr) throw std::invalid_argument("unknown scenario '" + name + "'");
  Scenario scenario;
  scenario.kind = info->kind;
  scenario.name = name;
  scenario.remaining = IntParam(aControl, "count", 1, 1, 1000000);
  scenario.category = info->defaultCategory;
  if (aControl.contains("category")) {
    if (!aControl["category"].is_string()) throw std::invalid_argument("'category' must be a string");
    scenario.category = aControl["category"].get<std::string>();
    if (scenario.category == "any") scenario.category.clear();
    if (!scenario.category.empty() && !IsKnownCategory(scenario.category)) {
      throw std::invalid_argument("unknown category '" + scenario.category + "'");
    }
  }
  CheckParams(scenario.kind, aControl);
  scenario.params = aControl;
  fPending.push_back(std::move(scenario));
}

AppliedScenarios ScenarioBook::Take(const std::string& aCategory) {
  AppliedScenarios applied;
  for (auto it = fPending.begin(); it != fPending.end();) {
    const bool matches = it->category.empty() || it->category == aCategory;
    // One scenario of a kind per request: the one queued first.
    if (!matches || applied.Find(it->kind) != nullptr) {
      ++it;
      continue;
    }
    applied.list.push_back(*it);
    if (--it->remaining <= 0) {
      it = fPending.erase(it);
    } else {
      ++it;
    }
  }
  return applied;
}

Json ScenarioBook::Describe() const {
  Json out = Json::array();
  for (const auto& scenario : fPending) {
    Json item = scenario.params;
    item["remaining"] = scenario.remaining;
    item["category"] = scenario.category.empty() ? "any" : scenario.category;
    out.push_back(std::move(item));
  }
  return out;
}

}  // namespace termsim
