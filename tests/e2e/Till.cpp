#include "Till.h"

#include <gtest/gtest.h>

#include <utility>

#include "ModuleUnderTest.h"

namespace vxtest {
namespace {

std::u16string Unescape(std::u16string_view aText) {
  const std::pair<std::u16string_view, char16_t> entities[] = {
      {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&quot;", u'"'}, {u"&apos;", u'\''}, {u"&amp;", u'&'}};
  std::u16string plain;
  for (size_t i = 0; i < aText.size();) {
    bool replaced = false;
    for (const auto& [entity, character] : entities) {
      if (aText.substr(i, entity.size()) == entity) {
        plain += character;
        i += entity.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) plain += aText[i++];
  }
  return plain;
}

}  // namespace

std::u16string Widen(std::string_view aAscii) { return std::u16string(aAscii.begin(), aAscii.end()); }

std::string Narrow(std::u16string_view aText) {
  std::string out;
  for (size_t i = 0; i < aText.size(); ++i) {
    uint32_t c = aText[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < aText.size()) c = 0x10000 + ((c - 0xD800) << 10) + (aText[++i] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string FromUtf8(std::string_view aText) {
  std::u16string out;
  for (size_t i = 0; i < aText.size();) {
    const auto byte = [&](size_t k) { return static_cast<uint32_t>(static_cast<unsigned char>(aText[k])); };
    uint32_t c = byte(i);
    size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (extra > 0) c &= (0x3F >> extra);
    for (size_t k = 1; k <= extra && i + k < aText.size(); ++k) c = (c << 6) | (byte(i + k) & 0x3F);
    i += extra + 1;
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

std::u16string Element(std::u16string_view aName, std::u16string_view aValue) {
  std::u16string escaped;
  for (char16_t c : aValue) {
    switch (c) {
      case u'&': escaped += u"&amp;"; break;
      case u'<': escaped += u"&lt;"; break;
      case u'>': escaped += u"&gt;"; break;
      default: escaped += c;
    }
  }
  return u"<" + std::u16string(aName) + u">" + escaped + u"</" + std::u16string(aName) + u">";
}

ResultDoc::ResultDoc(const vxpa::HostModule::Answer& aAnswer)
    : fDocument(aAnswer.Output.value_or(u"")), fCode(VXPA_CODE(aAnswer.Result)) {
  size_t at = 0;
  while ((at = fDocument.find(u'<', at)) != std::u16string::npos) {
    const size_t close = fDocument.find(u'>', at);
    if (close == std::u16string::npos) break;
    const std::u16string name = fDocument.substr(at + 1, close - at - 1);
    const std::u16string endTag = u"</" + name + u">";
    const size_t end = fDocument.find(endTag, close + 1);
    if (end == std::u16string::npos) break;
    fFields[Narrow(name)] = Unescape(std::u16string_view(fDocument).substr(close + 1, end - close - 1));
    at = end + endTag.size();
  }
}

std::u16string ResultDoc::operator[](std::string_view aName) const {
  auto found = fFields.find(std::string(aName));
  return found == fFields.end() ? std::u16string() : found->second;
}

Till::Till(const SimTerminal& aSim, TillSettings aSettings) : fSettings(std::move(aSettings)) {
  if (fSettings.Url.empty()) fSettings.Url = aSim.Url();
}

Till::~Till() {
  if (fHandle > 0) Close();
}

std::u16string Till::Request(std::u16string_view aCommandXml) const {
  std::u16string xml = u"<Request>" + Element(u"Driver", u"VXPA_ADYEN_10") + Element(u"LogId", fSettings.LogId);
  if (fHandle > 0) xml += Element(u"Handle", Widen(std::to_string(fHandle)));
  xml += u"<Connection>" + Element(u"Type", u"HTTP") + Element(u"URL", fSettings.Url) + u"</Connection>";
  xml += u"<Parameters>" + Element(u"POIID", fSettings.POIID) + Element(u"KeyIdentifier", fSettings.KeyIdentifier) +
         Element(u"KeyVersion", fSettings.KeyVersion) + Element(u"Secret", fSettings.Secret) + u"</Parameters>";
  return xml + std::u16string(aCommandXml) + u"</Request>";
}

ResultDoc Till::Open() {
  ResultDoc result(Call("OPEN", Request(u"")));
  if (result.Text("Error") == "False") fHandle = std::stoi(result.Text("Handle"));
  return result;
}

ResultDoc Till::Close() {
  ResultDoc result(Call("CLOSE", Request(u"")));
  fHandle = 0;
  return result;
}

ResultDoc Till::Pay(std::u16string_view aPaymentChildren) const {
  return ResultDoc(Call("PAY", Request(u"<Payment>" + Element(u"StoreCode", fSettings.StoreCode) +
                                       Element(u"TillCode", fSettings.TillCode) + std::u16string(aPaymentChildren) +
                                       u"</Payment>")));
}

ResultDoc Till::Sale(std::u16string_view aAmount, std::u16string_view aMore) const {
  return Pay(Element(u"Amount", aAmount) + Element(u"Currency", u"EUR") + std::u16string(aMore));
}

ResultDoc Till::Reverse(std::u16string_view aAction, const ResultDoc& aSale, std::u16string_view aAmount,
                        std::u16string_view aMore) const {
  return Pay(Element(u"Action", aAction) + Element(u"Amount", aAmount) + Element(u"Currency", u"EUR") +
             std::u16string(aMore) + u"<RefundReference>" + Element(u"PaymentId", aSale["RefundReference"]) +
             Element(u"PaymentDateTime", aSale["PaymentDateTime"]) + u"</RefundReference>");
}

ResultDoc Till::Command(std::string_view aExport, std::u16string_view aNode, std::u16string_view aChildren) const {
  const std::u16string node(aNode);
  return ResultDoc(Call(aExport, Request(u"<" + node + u">" + Element(u"StoreCode", fSettings.StoreCode) +
                                         Element(u"TillCode", fSettings.TillCode) + std::u16string(aChildren) +
                                         u"</" + node + u">")));
}

ResultDoc Till::VerifyTran(std::u16string_view aChildren) const { return Command("VERIFYTRAN", u"VerifyTran", aChildren); }
ResultDoc Till::Reprint(std::u16string_view aChildren) const { return Command("REPRINT", u"Reprint", aChildren); }
ResultDoc Till::DayClose() const { return Command("DAYCLOSE", u"DayClose", u""); }
ResultDoc Till::GetTotals() const { return Command("GETTOTALS", u"GetTotals", u""); }

std::vector<std::u16string> ReceiptLines(std::u16string_view aReceipt) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start < aReceipt.size()) {
    const size_t end = aReceipt.find(u"\r\n", start);
    if (end == std::u16string_view::npos) {
      ADD_FAILURE() << "receipt text does not end with CR LF";
      lines.emplace_back(aReceipt.substr(start));
      break;
    }
    lines.emplace_back(aReceipt.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace vxtest
