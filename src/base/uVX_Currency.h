#pragma once
// The module's amount: a signed 64-bit count of ten-thousandths (four fixed decimals). Parsers
// and text forms of amounts live here and nowhere else.
#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

class tVX_Currency {
 public:
  constexpr tVX_Currency() = default;
  static constexpr tVX_Currency FromUnits(int64_t aTenThousandths) { return tVX_Currency(aTenThousandths); }
  // Nearest amount, ties to even (the way a floating-point value is stored into a currency).
  // False when the value is not finite or out of range.
  static bool TryFromDouble(double aValue, tVX_Currency& aResult);

  constexpr int64_t Units() const { return fUnits; }
  double ToDouble() const { return static_cast<double>(fUnits) / 10000.0; }

  // Decimal text with "." as separator whatever the locale: optional blanks, optional sign,
  // digits with an optional fraction (at least one digit in all), optional exponent
  // (e/E, optional sign, digits), optional blanks. No digit grouping. Rounded to four decimals,
  // ties to even. False for anything else or a value out of range.
  static bool TryParseDecimal(std::u16string_view aText, tVX_Currency& aResult);

  // "-" before negatives, "." separator, no grouping, at most four decimals, no trailing zeros:
  // 12.5, 100, 0, -0.0001.
  std::u16string ToPlainString() const;

  // The JSON number form used on the wire: the shortest decimal text, "." as separator whatever
  // the locale (12.5, 10, 0.35); the same text as ToPlainString.
  std::u16string ToJsonNumberString() const { return ToPlainString(); }
  // An amount read from a JSON number's text (as TryParseDecimal reads it); text that does not
  // convert gives 0.
  static tVX_Currency FromJsonNumberString(std::u16string_view aText) {
    tVX_Currency value;
    return TryParseDecimal(aText, value) ? value : tVX_Currency();
  }

  constexpr tVX_Currency operator+(tVX_Currency o) const { return tVX_Currency(fUnits + o.fUnits); }
  constexpr tVX_Currency operator-(tVX_Currency o) const { return tVX_Currency(fUnits - o.fUnits); }
  constexpr tVX_Currency operator-() const { return tVX_Currency(-fUnits); }
  tVX_Currency& operator+=(tVX_Currency o) { fUnits += o.fUnits; return *this; }
  tVX_Currency& operator-=(tVX_Currency o) { fUnits -= o.fUnits; return *this; }
  constexpr auto operator<=>(const tVX_Currency&) const = default;

  // The printed-report form "#,###.#0": rounded half away from zero to two decimals, thousands
  // groups joined by aThousandSeparator (none when it is empty), aDecimalSeparator before exactly
  // two decimals, and no digit before it when the whole part is zero: 1,234.50, .50, -5.00, .00.
  // A value that rounds to zero carries no sign.
  std::u16string ToReportString(std::u16string_view aDecimalSeparator, std::u16string_view aThousandSeparator) const;

 private:
  constexpr explicit tVX_Currency(int64_t aUnits) : fUnits(aUnits) {}
  int64_t fUnits = 0;
};
