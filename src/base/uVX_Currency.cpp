#include "base/uVX_Currency.h"

#include <cmath>
#include <limits>
#include <string>

bool tVX_Currency::TryFromDouble(double aValue, tVX_Currency& aResult) {
  if (!std::isfinite(aValue)) return false;
  double scaled = std::nearbyint(aValue * 10000.0);  // default rounding mode: ties to even
  if (scaled >= 9.2233720368547758e18 || scaled < -9.2233720368547758e18) return false;
  aResult = tVX_Currency(static_cast<int64_t>(scaled));
  return true;
}

bool tVX_Currency::TryParseDecimal(std::u16string_view aText, tVX_Currency& aResult) {
  size_t i = 0, n = aText.size();
  while (i < n && aText[i] == u' ') ++i;
  while (n > i && aText[n - 1] == u' ') --n;
  bool negative = false;
  if (i < n && (aText[i] == u'+' || aText[i] == u'-')) negative = aText[i++] == u'-';

  // Collect the significant digits exactly; the value is digits * 10^exponent10.
  std::string digits;
  int64_t exponent10 = 0;
  bool anyDigit = false;
  for (; i < n && aText[i] >= u'0' && aText[i] <= u'9'; ++i) {
    anyDigit = true;
    if (!digits.empty() || aText[i] != u'0') digits.push_back(static_cast<char>(aText[i]));
  }
  if (i < n && aText[i] == u'.') {
    for (++i; i < n && aText[i] >= u'0' && aText[i] <= u'9'; ++i) {
      anyDigit = true;
      if (!digits.empty() || aText[i] != u'0') digits.push_back(static_cast<char>(aText[i]));
      --exponent10;
    }
  }
  if (!anyDigit) return false;
  if (i < n && (aText[i] == u'e' || aText[i] == u'E')) {
    ++i;
    bool expNegative = false;
    if (i < n && (aText[i] == u'+' || aText[i] == u'-')) expNegative = aText[i++] == u'-';
    if (i == n) return false;
    int64_t e = 0;
    for (; i < n && aText[i] >= u'0' && aText[i] <= u'9'; ++i)
      if (e < 100000) e = e * 10 + (aText[i] - u'0');
    exponent10 += expNegative ? -e : e;
  }
  if (i != n) return false;

  if (digits.empty()) {
    aResult = tVX_Currency(0);
    return true;
  }
  // Scale to ten-thousandths: units = digits * 10^(exponent10 + 4). At most 19 digits stay, which
  // fits an unsigned 64-bit number; the range check follows.
  int64_t shift = exponent10 + 4;
  int64_t length = static_cast<int64_t>(digits.size());
  if (length + shift > 19) return false;
  int64_t keep = shift < 0 ? length + shift : length;  // digits above the fourth decimal
  uint64_t units = 0;
  for (int64_t k = 0; k < keep; ++k) units = units * 10 + (digits[k] - '0');
  for (int64_t k = 0; k < shift; ++k) units *= 10;
  if (keep < length) {
    // Round the dropped digits half to even. With keep < 0 every digit lies below half a unit.
    int firstDropped = keep >= 0 ? digits[keep] - '0' : 0;
    bool restNonZero = keep < 0;
    for (int64_t k = keep + 1; k < length && k >= 0; ++k)
      if (digits[k] != '0') restNonZero = true;
    if (firstDropped > 5 || (firstDropped == 5 && (restNonZero || (units & 1)))) units += 1;
  }
  const uint64_t limit = negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                                  : uint64_t(std::numeric_limits<int64_t>::max());
  if (units > limit) return false;
  aResult = tVX_Currency(negative ? static_cast<int64_t>(0 - static_cast<uint64_t>(units))
                                  : static_cast<int64_t>(units));
  return true;
}

std::u16string tVX_Currency::ToPlainString() const {
  uint64_t magnitude = fUnits < 0 ? 0 - static_cast<uint64_t>(fUnits) : static_cast<uint64_t>(fUnits);
  std::string text = fUnits < 0 ? "-" : "";
  text += std::to_string(magnitude / 10000);
  uint64_t fraction = magnitude % 10000;
  if (fraction != 0) {
    std::string f = std::to_string(fraction);
    f.insert(0, 4 - f.size(), '0');
    while (f.back() == '0') f.pop_back();
    text += "." + f;
  }
  return std::u16string(text.begin(), text.end());
}

std::u16string tVX_Currency::ToReportString(std::u16string_view aDecimalSeparator,
                                            std::u16string_view aThousandSeparator) const {
  uint64_t magnitude = fUnits < 0 ? 0 - static_cast<uint64_t>(fUnits) : static_cast<uint64_t>(fUnits);
  uint64_t cents = magnitude / 100 + (magnitude % 100 >= 50 ? 1 : 0);  // half away from zero
  std::string whole = cents / 100 == 0 ? std::string() : std::to_string(cents / 100);
  std::u16string text = fUnits < 0 && cents != 0 ? u"-" : u"";
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) text += aThousandSeparator;
    text += static_cast<char16_t>(whole[i]);
  }
  text += aDecimalSeparator;
  text += static_cast<char16_t>(u'0' + cents % 100 / 10);
  text += static_cast<char16_t>(u'0' + cents % 10);
  return text;
}
