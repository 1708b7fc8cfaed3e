#include "drivers/adyen/uVXPA_ADYEN_10_KeyList.h"

#include <string>

#include "base/uVX_Text.h"
#include "platform/Utf8.h"

namespace adyen {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::u16string DecodeItem(std::u16string_view aItem) {
  std::string bytes = port::ToUtf8(aItem);
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '+') {
      out.push_back(' ');
    } else if (c == '%' && i + 2 < bytes.size() && HexValue(bytes[i + 1]) >= 0 && HexValue(bytes[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(bytes[i + 1]) * 16 + HexValue(bytes[i + 2])));
      i += 2;
    } else {
      out.push_back(c);
    }
  }
  return port::FromUtf8(out);
}

bool MustEncode(unsigned char c) {
  if (c <= 32 || c >= 128) return true;
  switch (c) {
    case '*': case '<': case '>': case '#': case '%': case '"': case '{':
    case '}': case '|': case '\\': case '^': case '[': case ']': case '`':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::u16string kKeyValueList::Value(std::u16string_view aName) const {
  for (const std::u16string& line : fLines) {
    size_t eq = line.find(u'=');
    if (eq == std::u16string::npos) continue;
    if (vxtext::SameText(std::u16string_view(line).substr(0, eq), aName)) return line.substr(eq + 1);
  }
  return {};
}

kKeyValueList SplitKeyValueList(std::u16string_view aText) {
  std::vector<std::u16string> lines;
  if (aText.empty()) return kKeyValueList();
  size_t start = 0;
  while (true) {
    size_t amp = aText.find(u'&', start);
    lines.push_back(DecodeItem(aText.substr(start, amp == std::u16string_view::npos ? std::u16string_view::npos : amp - start)));
    if (amp == std::u16string_view::npos) break;
    start = amp + 1;
  }
  return kKeyValueList(std::move(lines));
}

std::u16string EncodeKeyList(std::u16string_view aText) {
  static const char kHex[] = "0123456789ABCDEF";
  std::u16string out;
  for (unsigned char c : port::ToUtf8(aText)) {
    if (MustEncode(c)) {
      out.push_back(u'%');
      out.push_back(static_cast<char16_t>(kHex[c >> 4]));
      out.push_back(static_cast<char16_t>(kHex[c & 15]));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

}  // namespace adyen
