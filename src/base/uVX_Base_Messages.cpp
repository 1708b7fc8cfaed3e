// The application's message table: loading and the localised, formatted texts.
#include <cmath>
#include <cstdio>

#include "base/uVX_Base.h"
#include "base/uVX_Text.h"
#include "platform/StringTable.h"
#include "platform/Utf8.h"

namespace {

struct Placeholder {
  bool leftAlign = false;
  int width = 0;
  int precision = -1;
  char16_t conversion = 0;
};

bool IsConversion(char16_t c) { return std::u16string_view(u"sduxXfgeE").find(c) != std::u16string_view::npos; }

// Parses "%[-][width][.precision]conversion" at aText[aPos] (the '%'); answers the length, 0 when
// it is not a placeholder.
size_t ParsePlaceholder(std::u16string_view aText, size_t aPos, Placeholder& aOut) {
  size_t i = aPos + 1;
  if (i < aText.size() && aText[i] == u'-') {
    aOut.leftAlign = true;
    ++i;
  }
  while (i < aText.size() && aText[i] >= u'0' && aText[i] <= u'9' && aOut.width < 1000)
    aOut.width = aOut.width * 10 + (aText[i++] - u'0');
  if (i < aText.size() && aText[i] == u'.') {
    aOut.precision = 0;
    ++i;
    while (i < aText.size() && aText[i] >= u'0' && aText[i] <= u'9' && aOut.precision < 100)
      aOut.precision = aOut.precision * 10 + (aText[i++] - u'0');
  }
  if (i >= aText.size() || !IsConversion(aText[i])) return 0;
  aOut.conversion = aText[i];
  return i + 1 - aPos;
}

std::u16string Number(const Placeholder& aSpec, const tVX_MessageValue& aValue) {
  char buffer[512];
  char conversion = static_cast<char>(aSpec.conversion);
  int precision = aSpec.precision;
  if (conversion == 'd' || conversion == 'u' || conversion == 'x' || conversion == 'X') {
    long long n = std::holds_alternative<int64_t>(aValue) ? std::get<int64_t>(aValue)
                                                          : std::llround(std::get<double>(aValue));
    const char* format = conversion == 'x' ? "%llx" : conversion == 'X' ? "%llX" : conversion == 'u' ? "%llu" : "%lld";
    std::snprintf(buffer, sizeof buffer, format, n);
  } else {
    double d = std::holds_alternative<double>(aValue) ? std::get<double>(aValue)
                                                      : static_cast<double>(std::get<int64_t>(aValue));
    const char format[] = {'%', '.', '*', conversion, 0};
    if (precision < 0) precision = conversion == 'g' ? 15 : 6;
    std::snprintf(buffer, sizeof buffer, format, precision, d);
  }
  return vxtext::Widen(buffer);
}

std::u16string Render(const Placeholder& aSpec, const tVX_MessageValue& aValue) {
  std::u16string text;
  if (const auto* s = std::get_if<std::u16string>(&aValue)) {
    text = aSpec.precision >= 0 ? s->substr(0, static_cast<size_t>(aSpec.precision)) : *s;
  } else {
    text = Number(aSpec, aValue);
  }
  if (text.size() < static_cast<size_t>(aSpec.width)) {
    std::u16string pad(static_cast<size_t>(aSpec.width) - text.size(), u' ');
    text = aSpec.leftAlign ? text + pad : pad + text;
  }
  return text;
}

// aPattern with "%%" as "%" and each placeholder replaced by the next value; a placeholder left
// without a value, or anything after a "%" that is not a placeholder, stays as written.
std::u16string FormatText(std::u16string_view aPattern, const std::vector<tVX_MessageValue>& aValues) {
  std::u16string out;
  size_t next = 0;
  for (size_t i = 0; i < aPattern.size(); ++i) {
    if (aPattern[i] != u'%') {
      out += aPattern[i];
      continue;
    }
    if (i + 1 < aPattern.size() && aPattern[i + 1] == u'%') {
      out += u'%';
      ++i;
      continue;
    }
    Placeholder placeholder;
    size_t length = ParsePlaceholder(aPattern, i, placeholder);
    if (length == 0 || next >= aValues.size()) {
      out += u'%';
      continue;
    }
    out += Render(placeholder, aValues[next++]);
    i += length - 1;
  }
  return out;
}

}  // namespace

std::u16string tVX_Application::GetMessage(std::u16string_view aMessageId) const {
  return vxtext::ReplaceAll(GetMessage(aMessageId, {}), u"\\r\\n", u"\r\n");
}

std::u16string tVX_Application::GetMessage(std::u16string_view aMessageId,
                                           const std::vector<tVX_MessageValue>& aValues) const {
  std::u16string id(aMessageId);
  auto found = fMessages.find(fLanguage + u"." + id);
  if (found == fMessages.end()) found = fMessages.find(fDefaultLanguage + u"." + id);
  return FormatText(found != fMessages.end() ? std::u16string_view(found->second) : aMessageId, aValues);
}

void tVX_Application::LoadMessages(std::u16string_view aResourceName) {
  std::optional<std::string> data = port::LoadModuleData(aResourceName);
  if (!data) return;
  std::string_view bytes(*data);
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  LoadMessagesFromText(port::FromUtf8(bytes));
}

void tVX_Application::LoadMessagesFromText(std::u16string_view aText) {
  size_t start = 0;
  while (start < aText.size()) {
    size_t end = aText.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) end = aText.size();
    std::u16string_view line = aText.substr(start, end - start);
    start = end + 1;
    size_t first = line.find(u':');
    if (first == std::u16string_view::npos) continue;
    size_t second = line.find(u':', first + 1);
    std::u16string_view value =
        line.substr(first + 1, second == std::u16string_view::npos ? std::u16string_view::npos : second - first - 1);
    fMessages.emplace(std::u16string(line.substr(0, first)), std::u16string(value));  // first value wins
  }
}
