#include "base/uVX_Text.h"

#include <limits>

#include "platform/Utf8.h"

namespace vxtext {

std::u16string Widen(std::string_view aUtf8) { return port::FromUtf8(aUtf8); }
std::string Utf8(std::u16string_view aText) { return port::ToUtf8(aText); }

std::u16string UpperCase(std::u16string_view aText) {
  std::u16string out(aText);
  for (auto& c : out)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return out;
}

std::u16string LowerCase(std::u16string_view aText) {
  std::u16string out(aText);
  for (auto& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return out;
}

bool SameText(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && LowerCase(a) == LowerCase(b);
}

bool StartsWith(std::u16string_view aText, std::u16string_view aPrefix) {
  return aText.substr(0, aPrefix.size()) == aPrefix;
}

bool EndsWith(std::u16string_view aText, std::u16string_view aSuffix) {
  return aText.size() >= aSuffix.size() && aText.substr(aText.size() - aSuffix.size()) == aSuffix;
}

std::u16string Trim(std::u16string_view aText) {
  size_t b = 0, e = aText.size();
  while (b < e && aText[b] <= u' ') ++b;
  while (e > b && aText[e - 1] <= u' ') --e;
  return std::u16string(aText.substr(b, e - b));
}

std::u16string ReplaceAll(std::u16string_view aText, std::u16string_view aFrom, std::u16string_view aTo) {
  if (aFrom.empty()) return std::u16string(aText);
  std::u16string out;
  out.reserve(aText.size());
  size_t pos = 0;
  while (true) {
    size_t hit = aText.find(aFrom, pos);
    if (hit == std::u16string_view::npos) break;
    out.append(aText.substr(pos, hit - pos));
    out.append(aTo);
    pos = hit + aFrom.size();
  }
  out.append(aText.substr(pos));
  return out;
}

std::u16string FormatS(std::u16string_view aPattern, std::u16string_view aValue) {
  size_t hit = aPattern.find(u"%s");
  if (hit == std::u16string_view::npos) return std::u16string(aPattern);
  std::u16string out(aPattern.substr(0, hit));
  out.append(aValue);
  out.append(aPattern.substr(hit + 2));
  return out;
}

std::u16string IntToStr(int64_t aValue) {
  std::string digits = std::to_string(aValue);
  return std::u16string(digits.begin(), digits.end());
}

bool TryStrToInt64(std::u16string_view aText, int64_t& aValue) {
  size_t i = 0;
  bool negative = false;
  if (i < aText.size() && (aText[i] == u'+' || aText[i] == u'-')) negative = aText[i++] == u'-';
  if (i == aText.size()) return false;
  uint64_t magnitude = 0;
  const uint64_t limit = negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                                  : uint64_t(std::numeric_limits<int64_t>::max());
  for (; i < aText.size(); ++i) {
    char16_t c = aText[i];
    if (c < u'0' || c > u'9') return false;
    uint64_t digit = c - u'0';
    if (magnitude > (limit - digit) / 10) return false;
    magnitude = magnitude * 10 + digit;
  }
  aValue = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

bool TryStrToInt(std::u16string_view aText, int32_t& aValue) {
  int64_t wide = 0;
  if (!TryStrToInt64(aText, wide) || wide < std::numeric_limits<int32_t>::min() ||
      wide > std::numeric_limits<int32_t>::max())
    return false;
  aValue = static_cast<int32_t>(wide);
  return true;
}

std::u16string ZeroPad(int64_t aValue, int aWidth) {
  std::u16string digits = IntToStr(aValue < 0 ? -aValue : aValue);
  if (static_cast<int>(digits.size()) < aWidth) digits.insert(0, aWidth - digits.size(), u'0');
  return aValue < 0 ? u"-" + digits : digits;
}

}  // namespace vxtext
