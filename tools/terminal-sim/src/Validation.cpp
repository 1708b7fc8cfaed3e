#include "Validation.h"

#include "SimText.h"

#include <set>
#include <vector>

namespace termsim {

namespace {

const char* KindName(JsonKind aKind) {
  switch (aKind) {
    case JsonKind::String: return "a string";
    case JsonKind::Text: return "a non-empty string";
    case JsonKind::Number: return "a number";
    case JsonKind::Boolean: return "true or false";
    case JsonKind::Object: return "an object";
    case JsonKind::Array: return "an array";
  }
  return "";
}

bool HasKind(const Json& aValue, JsonKind aKind) {
  switch (aKind) {
    case JsonKind::String: return aValue.is_string();
    case JsonKind::Text: return aValue.is_string() && !aValue.get_ref<const std::string&>().empty();
    case JsonKind::Number: return aValue.is_number();
    case JsonKind::Boolean: return aValue.is_boolean();
    case JsonKind::Object: return aValue.is_object();
    case JsonKind::Array: return aValue.is_array();
  }
  return false;
}

bool IsCurrencyCode(const std::string& aText) {
  if (aText.size() != 3) return false;
  for (const char c : aText) {
    if (c < 'A' || c > 'Z') return false;
  }
  return true;
}

std::string CheckTime(const Json& aValue, const std::string& aPath) {
  const std::string reason = CheckIsoTime(aValue.get<std::string>());
  return reason.empty() ? reason : aPath + ": " + reason;
}

std::string CheckAmount(const Json& aValue, const std::string& aPath) {
  int64_t amount = 0;
  if (!JsonAmount(aValue, amount)) return aPath + " must be a plain decimal number with at most four decimals";
  if (amount <= 0) return aPath + " must be greater than zero";
  return {};
}

// A key-list rule: its name, whether it may be absent, and whether its value may be empty.
struct KeyRule {
  const char* name;
  bool optional;
  bool mayBeEmpty;
};

// The SaleToAcquirerData text: percent-encoded, items "name=value" with unique names in the
// rules' order. aItems receives the decoded items.
std::string CheckKeyList(const std::string& aText, const std::string& aPath, const std::vector<KeyRule>& aRules,
                         KeyList& aItems) {
  const size_t bad = FindUnencodedChar(aText);
  if (bad != std::string::npos) {
    return aPath + " is not percent-encoded: byte " + std::to_string(bad) + " ('" + aText.substr(bad, 1) +
           "') must be written as %XX";
  }
  size_t start = 0;
  while (true) {
    const size_t end = aText.find('&', start);
    const std::string item = aText.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (item.find('=') == std::string::npos || item[0] == '=') {
      return aPath + ": item '" + item + "' is not name=value";
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  if (!SplitKeyList(aText, aItems)) return aPath + " has a malformed %XX escape";
  std::set<std::string> seen;
  size_t rule = 0;
  for (const auto& [name, value] : aItems) {
    if (!seen.insert(name).second) return aPath + ": '" + name + "' appears twice";
    size_t found = rule;
    while (found < aRules.size() && name != aRules[found].name) ++found;
    if (found == aRules.size()) {
      for (const auto& known : aRules) {
        if (name == known.name) return aPath + ": '" + name + "' is out of order";
      }
      return aPath + ": unexpected item '" + name + "'";
    }
    for (size_t skipped = rule; skipped < found; ++skipped) {
      if (KeyListValue(aItems, aRules[skipped].name)) return aPath + ": '" + aRules[skipped].name + "' is out of order";
      if (!aRules[skipped].optional) return aPath + ": '" + aRules[skipped].name + "' missing";
    }
    if (value.empty() && !aRules[found].mayBeEmpty) return aPath + ": '" + name + "' is empty";
    rule = found + 1;
  }
  for (; rule < aRules.size(); ++rule) {
    if (!aRules[rule].optional) return aPath + ": '" + aRules[rule].name + "' missing";
  }
  return {};
}

const std::vector<KeyRule>& ApplicationInfoRules(bool aWithOs) {
  static const std::vector<KeyRule> kWithOs = {
      {"applicationInfo.merchantApplication.name", false, false},
      {"applicationInfo.merchantApplication.version", false, false},
      {"applicationInfo.externalPlatform.integrator", false, false},
      {"applicationInfo.externalPlatform.name", false, false},
      {"applicationInfo.externalPlatform.version", false, false},
      {"applicationInfo.merchantDevice.os", false, true},
      {"applicationInfo.merchantDevice.osVersion", false, true},
      {"applicationInfo.merchantDevice.reference", false, true},
  };
  static const std::vector<KeyRule> kWithoutOs = {
      {"applicationInfo.merchantApplication.name", false, false},
      {"applicationInfo.merchantApplication.version", false, false},
      {"applicationInfo.externalPlatform.integrator", false, false},
      {"applicationInfo.externalPlatform.name", false, false},
      {"applicationInfo.externalPlatform.version", false, false},
      {"applicationInfo.merchantDevice.reference", false, true},
  };
  return aWithOs ? kWithOs : kWithoutOs;
}

std::string CheckPaymentKeyList(const std::string& aText) {
  std::vector<KeyRule> rules = ApplicationInfoRules(true);
  rules.push_back({"tenderOption", true, false});
  rules.push_back({"shopperReference", true, false});
  rules.push_back({"recurringContract", true, false});
  KeyList items;
  const std::string path = "PaymentRequest.SaleData.SaleToAcquirerData";
  if (std::string reason = CheckKeyList(aText, path, rules, items); !reason.empty()) return reason;
  if (const auto options = KeyListValue(items, "tenderOption")) {
    std::set<std::string> seen;
    size_t start = 0;
    while (true) {
      const size_t comma = options->find(',', start);
      const std::string option = options->substr(start, comma == std::string::npos ? std::string::npos : comma - start);
      if (option != "ReceiptHandler" && option != "AskGratuity") return path + ": unknown tenderOption '" + option + "'";
      if (!seen.insert(option).second) return path + ": tenderOption '" + option + "' given twice";
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  const auto shopper = KeyListValue(items, "shopperReference");
  const auto contract = KeyListValue(items, "recurringContract");
  if (shopper.has_value() != contract.has_value()) {
    return path + ": shopperReference and recurringContract go together";
  }
  if (contract && *contract != "RECURRING") return path + ": recurringContract must be RECURRING";
  return {};
}

std::string CheckReversalKeyList(const std::string& aText) {
  std::vector<KeyRule> rules = {{"currency", false, false}, {"tenderOption", true, false}};
  for (const auto& rule : ApplicationInfoRules(false)) rules.push_back(rule);
  KeyList items;
  const std::string path = "ReversalRequest.SaleData.SaleToAcquirerData";
  if (std::string reason = CheckKeyList(aText, path, rules, items); !reason.empty()) return reason;
  if (!IsCurrencyCode(*KeyListValue(items, "currency"))) return path + ": currency must be three capital letters";
  if (const auto option = KeyListValue(items, "tenderOption"); option && *option != "ReceiptHandler") {
    return path + ": a reversal takes only the tenderOption ReceiptHandler";
  }
  return {};
}

std::string CheckSaleTransactionId(const Json& aSaleData, const std::string& aPath) {
  const Json& id = aSaleData["SaleTransactionID"];
  const std::string path = aPath + ".SaleTransactionID";
  if (std::string reason = CheckMembers(id, path, {{"TransactionID", JsonKind::Text}, {"TimeStamp", JsonKind::Text}});
      !reason.empty()) {
    return reason;
  }
  return CheckTime(id["TimeStamp"], path + ".TimeStamp");
}

std::string CheckLogin(const Json& aBody) {
  std::string reason = CheckMembers(aBody, "LoginRequest",
                                    {{"DateTime", JsonKind::Text},
                                     {"SaleSoftware", JsonKind::Object},
                                     {"SaleTerminalData", JsonKind::Object},
                                     {"OperatorLanguage", JsonKind::Text},
                                     {"OperatorID", JsonKind::Text}});
  if (reason.empty()) reason = CheckTime(aBody["DateTime"], "LoginRequest.DateTime");
  if (reason.empty()) {
    reason = CheckMembers(aBody["SaleSoftware"], "LoginRequest.SaleSoftware",
                          {{"ManufacturerID", JsonKind::Text},
                           {"ApplicationName", JsonKind::Text},
                           {"SoftwareVersion", JsonKind::Text},
                           {"CertificationCode", JsonKind::Text}});
  }
  if (reason.empty()) {
    reason = CheckMembers(aBody["SaleTerminalData"], "LoginRequest.SaleTerminalData", {{"TotalsGroupID", JsonKind::Text}});
  }
  if (reason.empty()) {
    const std::string language = aBody["OperatorLanguage"].get<std::string>();
    if (language.size() != 2 || language[0] < 'a' || language[0] > 'z' || language[1] < 'a' || language[1] > 'z') {
      reason = "LoginRequest.OperatorLanguage must be a two-letter lower-case language code";
    }
  }
  return reason;
}

std::string CheckPayment(const Json& aBody) {
  std::string reason = CheckMembers(aBody, "PaymentRequest",
                                    {{"SaleData", JsonKind::Object}, {"PaymentTransaction", JsonKind::Object}});
  if (!reason.empty()) return reason;
  const Json& saleData = aBody["SaleData"];
  reason = CheckMembers(saleData, "PaymentRequest.SaleData",
                        {{"SaleTransactionID", JsonKind::Object}, {"SaleToAcquirerData", JsonKind::Text}});
  if (reason.empty()) reason = CheckSaleTransactionId(saleData, "PaymentRequest.SaleData");
  if (reason.empty()) reason = CheckPaymentKeyList(saleData["SaleToAcquirerData"].get<std::string>());
  if (reason.empty()) {
    reason = CheckMembers(aBody["PaymentTransaction"], "PaymentRequest.PaymentTransaction",
                          {{"AmountsReq", JsonKind::Object}});
  }
  if (!reason.empty()) return reason;
  const Json& amounts = aBody["PaymentTransaction"]["AmountsReq"];
  const std::string path = "PaymentRequest.PaymentTransaction.AmountsReq";
  reason = CheckMembers(amounts, path,
                        {{"Currency", JsonKind::Text},
                         {"RequestedAmount", JsonKind::Number},
                         {"TipAmount", JsonKind::Number, true}});
  if (reason.empty() && !IsCurrencyCode(amounts["Currency"].get<std::string>())) {
    reason = path + ".Currency must be three capital letters";
  }
  if (reason.empty()) reason = CheckAmount(amounts["RequestedAmount"], path + ".RequestedAmount");
  if (reason.empty() && amounts.contains("TipAmount")) reason = CheckAmount(amounts["TipAmount"], path + ".TipAmount");
  return reason;
}

std::string CheckReversal(const Json& aBody) {
  std::string reason = CheckMembers(aBody, "ReversalRequest",
                                    {{"OriginalPOITransaction", JsonKind::Object},
                                     {"ReversalReason", JsonKind::Text},
                                     {"ReversedAmount", JsonKind::Number},
                                     {"SaleData", JsonKind::Object}});
  if (!reason.empty()) return reason;
  const std::string original = "ReversalRequest.OriginalPOITransaction";
  reason = CheckMembers(aBody["OriginalPOITransaction"], original, {{"POITransactionID", JsonKind::Object}});
  if (reason.empty()) {
    reason = CheckMembers(aBody["OriginalPOITransaction"]["POITransactionID"], original + ".POITransactionID",
                          {{"TransactionID", JsonKind::Text}, {"TimeStamp", JsonKind::Text}});
  }
  if (reason.empty()) {
    reason = CheckTime(aBody["OriginalPOITransaction"]["POITransactionID"]["TimeStamp"],
                       original + ".POITransactionID.TimeStamp");
  }
  if (reason.empty()) {
    static const std::set<std::string> kReasons = {"MerchantCancel", "CustCancel", "Malfunction", "Unable2Compl"};
    if (kReasons.count(aBody["ReversalReason"].get<std::string>()) == 0) {
      reason = "ReversalRequest.ReversalReason '" + aBody["ReversalReason"].get<std::string>() + "' is not known";
    }
  }
  if (reason.empty()) reason = CheckAmount(aBody["ReversedAmount"], "ReversalRequest.ReversedAmount");
  if (!reason.empty()) return reason;
  // A SaleData written with a leading duplicate SaleToAcquirerData parses with that member first,
  // so both orders are accepted here.
  const Json& saleData = aBody["SaleData"];
  reason = CheckMembers(saleData, "ReversalRequest.SaleData",
                        {{"SaleTransactionID", JsonKind::Object}, {"SaleToAcquirerData", JsonKind::Text}}, false);
  if (reason.empty()) reason = CheckSaleTransactionId(saleData, "ReversalRequest.SaleData");
  if (reason.empty()) reason = CheckReversalKeyList(saleData["SaleToAcquirerData"].get<std::string>());
  return reason;
}

std::string CheckTransactionStatus(const Json& aBody) {
  std::string reason = CheckMembers(aBody, "TransactionStatusRequest",
                                    {{"ReceiptReprintFlag", JsonKind::Boolean},
                                     {"DocumentQualifier", JsonKind::Array},
                                     {"MessageReference", JsonKind::Object, true}});
  if (!reason.empty()) return reason;
  const Json& qualifiers = aBody["DocumentQualifier"];
  if (qualifiers.empty()) return "TransactionStatusRequest.DocumentQualifier must not be empty";
  std::set<std::string> seen;
  for (const auto& qualifier : qualifiers) {
    if (qualifier != "CashierReceipt" && qualifier != "CustomerReceipt") {
      return "TransactionStatusRequest.DocumentQualifier may hold only \"CashierReceipt\" and \"CustomerReceipt\"";
    }
    if (!seen.insert(qualifier.get<std::string>()).second) {
      return "TransactionStatusRequest.DocumentQualifier names a receipt twice";
    }
  }
  if (!aBody.contains("MessageReference")) return {};
  const Json& reference = aBody["MessageReference"];
  reason = CheckMembers(reference, "TransactionStatusRequest.MessageReference",
                        {{"SaleID", JsonKind::Text}, {"ServiceID", JsonKind::Text}, {"MessageCategory", JsonKind::Text}});
  if (reason.empty() && reference["MessageCategory"] != "Payment" && reference["MessageCategory"] != "Reversal") {
    reason = "TransactionStatusRequest.MessageReference.MessageCategory must be Payment or Reversal";
  }
  return reason;
}

}  // namespace

std::string CheckMembers(const Json& aObject, const std::string& aPath, std::initializer_list<MemberRule> aRules,
                         bool aOrdered) {
  if (!aObject.is_object()) return aPath + " must be an object";
  const std::vector<MemberRule> rules(aRules);
  size_t next = 0;
  for (const auto& [name, value] : aObject.items()) {
    size_t found = 0;
    while (found < rules.size() && name != rules[found].name) ++found;
    if (found == rules.size()) return aPath + ": unexpected member '" + name + "'";
    if (!HasKind(value, rules[found].kind)) return aPath + "." + name + " must be " + KindName(rules[found].kind);
    if (!aOrdered) continue;
    if (found < next) return aPath + ": member '" + name + "' is out of order";
    for (size_t skipped = next; skipped < found; ++skipped) {
      const char* name = rules[skipped].name;
      if (aObject.contains(name)) return aPath + ": member '" + name + "' is out of order";
      if (!rules[skipped].optional) return aPath + ": member '" + name + "' missing";
    }
    next = found + 1;
  }
  for (const auto& rule : rules) {
    if (!rule.optional && !aObject.contains(rule.name)) return aPath + ": member '" + rule.name + "' missing";
  }
  return {};
}

std::string CheckHeader(const Json& aHeader, const std::string& aPoiid) {
  std::string reason = CheckMembers(aHeader, "MessageHeader",
                                    {{"ProtocolVersion", JsonKind::String},
                                     {"MessageClass", JsonKind::String},
                                     {"MessageCategory", JsonKind::String},
                                     {"MessageType", JsonKind::String},
                                     {"SaleID", JsonKind::String},
                                     {"ServiceID", JsonKind::String},
                                     {"POIID", JsonKind::String}});
  if (!reason.empty()) return reason;
  if (aHeader["ProtocolVersion"] != "3.0") return "MessageHeader.ProtocolVersion must be 3.0";
  if (aHeader["MessageClass"] != "Service") return "MessageHeader.MessageClass must be Service";
  if (aHeader["MessageType"] != "Request") return "MessageHeader.MessageType must be Request";
  if (aHeader["SaleID"].get<std::string>().empty()) return "MessageHeader.SaleID must not be empty";
  const std::string serviceId = aHeader["ServiceID"].get<std::string>();
  if (serviceId.empty() || serviceId.size() > 10) return "MessageHeader.ServiceID must have 1 to 10 characters";
  if (aHeader["POIID"] != aPoiid) {
    return "MessageHeader.POIID '" + aHeader["POIID"].get<std::string>() + "' is not this terminal's POIID";
  }
  return {};
}

std::string CheckRequestBody(const std::string& aCategory, const Json& aRequest, const std::string& aPoiid) {
  const std::string body = aCategory + "Request";
  std::string reason = CheckMembers(aRequest, "SaleToPOIRequest",
                                    {{"MessageHeader", JsonKind::Object}, {body.c_str(), JsonKind::Object}});
  if (!reason.empty()) return reason;
  const Json& value = aRequest[body];
  if (aCategory == "Login") return CheckLogin(value);
  if (aCategory == "Logout") return CheckMembers(value, "LogoutRequest", {});
  if (aCategory == "Payment") return CheckPayment(value);
  if (aCategory == "Reversal") return CheckReversal(value);
  if (aCategory == "TransactionStatus") return CheckTransactionStatus(value);
  if (aCategory == "Reconciliation") {
    reason = CheckMembers(value, "ReconciliationRequest", {{"ReconciliationType", JsonKind::Text}});
    if (reason.empty() && value["ReconciliationType"] != "SaleReconciliation") {
      reason = "ReconciliationRequest.ReconciliationType must be SaleReconciliation";
    }
    return reason;
  }
  if (aCategory == "GetTotals") {
    reason = CheckMembers(value, "GetTotalsRequest", {{"TotalFilter", JsonKind::Object}});
    if (reason.empty()) reason = CheckMembers(value["TotalFilter"], "GetTotalsRequest.TotalFilter", {{"POIID", JsonKind::Text}});
    if (reason.empty() && value["TotalFilter"]["POIID"] != aPoiid) {
      reason = "GetTotalsRequest.TotalFilter.POIID is not this terminal's POIID";
    }
    return reason;
  }
  return "MessageCategory '" + aCategory + "' is not served";
}

bool JsonAmount(const Json& aNumber, int64_t& aAmount) {
  if (!aNumber.is_number()) return false;
  const auto amount = ParseAmount(aNumber.dump());
  if (!amount) return false;
  aAmount = *amount;
  return true;
}

}  // namespace termsim
