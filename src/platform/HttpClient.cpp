#include "platform/HttpClient.h"

namespace port {

namespace {

bool SameAsciiText(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
    if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::optional<std::u16string> HttpResult::Header(std::u16string_view aName) const {
  for (const auto& header : headers)
    if (SameAsciiText(header.name, aName)) return header.value;
  return std::nullopt;
}

}  // namespace port
