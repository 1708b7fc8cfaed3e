#include "ResultView.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/Utf8.h"

namespace vxpa {
namespace {

std::string Unescape(std::string aText) {
  const std::pair<std::string_view, std::string_view> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  std::string plain;
  for (size_t i = 0; i < aText.size();) {
    bool replaced = false;
    if (aText[i] == '&') {
      for (const auto& [entity, character] : entities) {
        if (aText.compare(i, entity.size(), entity) == 0) {
          plain += character;
          i += entity.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) plain += aText[i++];
  }
  return plain;
}

// Code points of a UTF-8 text: the width of a receipt line as a terminal shows it.
size_t Columns(std::string_view aText) {
  return static_cast<size_t>(std::count_if(aText.begin(), aText.end(),
                                           [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string LastDigits(const std::string& aMaskedPan) {
  std::string digits;
  for (auto it = aMaskedPan.rbegin(); it != aMaskedPan.rend() && digits.size() < 4; ++it) {
    if (*it >= '0' && *it <= '9') {
      digits.insert(digits.begin(), *it);
    } else if (!digits.empty()) {
      break;
    }
  }
  return digits;
}

}  // namespace

std::string ResultField(std::u16string_view aDocument, std::string_view aName) {
  const std::string document = port::ToUtf8(aDocument);
  const std::string open = "<" + std::string(aName) + ">";
  const std::string close = "</" + std::string(aName) + ">";
  const size_t start = document.find(open);
  if (start == std::string::npos) return {};
  const size_t from = start + open.size();
  const size_t end = document.find(close, from);
  if (end == std::string::npos) return {};
  return Unescape(document.substr(from, end - from));
}

std::string MoneyText(const std::string& aAmount) {
  if (aAmount.empty()) return "0.00";
  const size_t point = aAmount.find('.');
  if (point == std::string::npos) return aAmount + ".00";
  const size_t decimals = aAmount.size() - point - 1;
  return decimals >= 2 ? aAmount : aAmount + std::string(2 - decimals, '0');
}

std::string NetworkName(const std::string& aNetwork) {
  static const std::pair<std::string_view, std::string_view> names[] = {
      {"visa", "Visa"},           {"mastercard", "Mastercard"}, {"amex", "American Express"},
      {"maestro", "Maestro"},     {"vpay", "V PAY"},            {"jcb", "JCB"},
      {"cup", "UnionPay"},        {"diners", "Diners Club"},    {"discover", "Discover"},
      {"applepay", "Apple Pay"},  {"samsungpay", "Samsung Pay"}, {"amazonpay", "Amazon Pay"},
      {"alipay", "Alipay"},       {"paypal", "PayPal"},
  };
  for (const auto& [network, name] : names) {
    if (aNetwork == network) return std::string(name);
  }
  if (aNetwork.empty() || aNetwork == "other" || aNetwork == "unrecognized") return "card";
  std::string name = aNetwork;
  if (name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 'a' + 'A');
  return name;
}

std::string PaymentSentence(std::string_view aSubject, std::u16string_view aDocument, const std::string& aAmount,
                            const std::string& aCurrency) {
  std::string amount = ResultField(aDocument, "PaymentAmount");
  std::string currency = ResultField(aDocument, "PaymentCurrency");
  if (amount.empty() || amount == "0") amount = aAmount;
  if (currency.empty()) currency = aCurrency;
  std::string sentence = std::string(aSubject) + " " + MoneyText(amount) + " " + currency;

  const bool failed = ResultField(aDocument, "Error") != "False";
  const std::string errorText = ResultField(aDocument, "ErrorText");
  // A terminal that decided answers with its identifiers; without them the request never got a
  // decision (no answer, refused by the protocol checks, ...).
  const bool answered = !ResultField(aDocument, "DeviceId").empty();
  if (failed && !answered) {
    return sentence + " failed — " +
           (errorText.empty() ? std::string("the terminal did not answer (is it switched on and reachable?)") : errorText);
  }
  if (failed) return sentence + " declined — " + (errorText.empty() ? std::string("no reason given") : errorText);

  sentence += " approved";
  std::vector<std::string> details;
  const std::string pan = LastDigits(ResultField(aDocument, "MaskedPAN"));
  const std::string network = ResultField(aDocument, "PaymentNetwork");
  if (!pan.empty() || (!network.empty() && network != "other")) {
    details.push_back(NetworkName(network) + (pan.empty() ? "" : " ****" + pan));
  }
  if (const std::string auth = ResultField(aDocument, "AuthCode"); !auth.empty()) details.push_back("auth " + auth);
  const std::string tip = ResultField(aDocument, "TippedAmount");
  if (!tip.empty() && tip != "0") details.push_back("tip " + MoneyText(tip) + " " + currency);
  for (size_t i = 0; i < details.size(); ++i) sentence += (i == 0 ? " — " : ", ") + details[i];
  return sentence;
}

std::string FramedReceipt(const std::string& aTitle, const std::string& aReceipt) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < aReceipt.size()) {
    size_t end = aReceipt.find('\n', start);
    if (end == std::string::npos) end = aReceipt.size();
    std::string line = aReceipt.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  if (lines.empty()) return {};
  size_t width = Columns(aTitle) + 4;
  for (const std::string& line : lines) width = std::max(width, Columns(line));
  std::string text = "  .- " + aTitle + " " + std::string(width - Columns(aTitle) - 1, '-') + ".\n";
  for (const std::string& line : lines) text += "  | " + line + std::string(width - Columns(line), ' ') + " |\n";
  text += "  '" + std::string(width + 2, '-') + "'\n";
  return text;
}

}  // namespace vxpa
