#pragma once
// Key lists: name=value items joined by "&", the form of URL query parameters, in which the
// terminal reports additional response data and receipt lines and receives sale data.
#include <string>
#include <string_view>
#include <vector>

namespace adyen {

// The decoded items of a key list, each a line "name=value", in their order.
class kKeyValueList {
 public:
  kKeyValueList() = default;
  explicit kKeyValueList(std::vector<std::u16string> aLines) : fLines(std::move(aLines)) {}

  const std::vector<std::u16string>& Lines() const { return fLines; }
  // The text after the first "=" of the first line whose text before that "=" equals aName
  // ignoring ASCII letter case; empty when there is no such line.
  std::u16string Value(std::u16string_view aName) const;

 private:
  std::vector<std::u16string> fLines;
};

// Splits at every "&", then in each item turns "+" into a blank and percent-decodes the result
// as UTF-8 (an invalid escape stays as written). Splitting comes first, so an encoded "&" inside
// a value survives; an empty text gives no lines.
kKeyValueList SplitKeyValueList(std::u16string_view aText);

// Percent-encodes a whole key list for sending: every UTF-8 byte of a character at or below the
// blank, at or above 128, or among * < > # % " { } | \ ^ [ ] ` becomes "%" and two upper-case
// hex digits; everything else ("&", "=", "+", "/", ":", "," included) stays.
std::u16string EncodeKeyList(std::u16string_view aText);

}  // namespace adyen
