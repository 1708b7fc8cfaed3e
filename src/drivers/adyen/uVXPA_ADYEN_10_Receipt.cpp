#include "drivers/adyen/uVXPA_ADYEN_10_Receipt.h"

#include <string_view>
#include <vector>

#include "drivers/adyen/uVXPA_ADYEN_10_KeyList.h"

namespace adyen {

namespace {

bool IsHeading(std::u16string_view aKey) {
  return aKey == u"header1" || aKey == u"header2" || aKey == u"merchantTitle" || aKey == u"cardholderHeader" ||
         aKey == u"refused" || aKey == u"approved";
}

std::u16string Blanks(int64_t aCount) { return aCount > 0 ? std::u16string(static_cast<size_t>(aCount), u' ') : std::u16string(); }

}  // namespace

std::u16string RenderReceiptLines(const tJson* aOutputText, int32_t aWidth) {
  std::vector<std::u16string> lines(1);
  if (aOutputText != nullptr && aOutputText->is_array()) {
    for (const tJson& item : *aOutputText) {
      kKeyValueList fields = SplitKeyValueList(kJSONUtils::GetString(&item, u"Text"));
      std::u16string key = fields.Value(u"key");
      std::u16string name = fields.Value(u"name");
      std::u16string value = fields.Value(u"value");
      std::u16string& line = lines.back();
      if (IsHeading(key)) {
        line = Blanks((static_cast<int64_t>(aWidth) - static_cast<int64_t>(name.size())) / 2) + name;
      } else if (key != u"QRCode") {
        if (!name.empty()) line = name;
        if (!value.empty())
          line += Blanks(static_cast<int64_t>(aWidth) - static_cast<int64_t>(line.size()) -
                         static_cast<int64_t>(value.size())) + value;
      }
      if (kJSONUtils::GetBoolean(&item, u"EndOfLineFlag")) lines.emplace_back();
    }
  }
  std::u16string text;
  for (const std::u16string& line : lines) text += line + u"\r\n";
  return text;
}

void RenderPaymentReceipt(const tJson* aReceipt, int32_t aWidth, _int_PAY_result& aResult) {
  aResult.SignatureRequested = kJSONUtils::GetBoolean(aReceipt, u"RequiredSignatureFlag");
  std::u16string text = RenderReceiptLines(kJSONUtils::GetArray(aReceipt, u"OutputContent.OutputText"), aWidth);
  if (kJSONUtils::GetString(aReceipt, u"DocumentQualifier") == u"CashierReceipt")
    aResult.CashierReceiptText = std::move(text);
  else
    aResult.ReceiptText = std::move(text);
}

}  // namespace adyen
