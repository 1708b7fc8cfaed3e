#include "platform/Utf8.h"

namespace port {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& aOut, char32_t aCode) {
  if (aCode < 0x80) {
    aOut.push_back(static_cast<char>(aCode));
  } else if (aCode < 0x800) {
    aOut.push_back(static_cast<char>(0xC0 | (aCode >> 6)));
    aOut.push_back(static_cast<char>(0x80 | (aCode & 0x3F)));
  } else if (aCode < 0x10000) {
    aOut.push_back(static_cast<char>(0xE0 | (aCode >> 12)));
    aOut.push_back(static_cast<char>(0x80 | ((aCode >> 6) & 0x3F)));
    aOut.push_back(static_cast<char>(0x80 | (aCode & 0x3F)));
  } else {
    aOut.push_back(static_cast<char>(0xF0 | (aCode >> 18)));
    aOut.push_back(static_cast<char>(0x80 | ((aCode >> 12) & 0x3F)));
    aOut.push_back(static_cast<char>(0x80 | ((aCode >> 6) & 0x3F)));
    aOut.push_back(static_cast<char>(0x80 | (aCode & 0x3F)));
  }
}

void AppendUtf16(std::u16string& aOut, char32_t aCode) {
  if (aCode < 0x10000) {
    aOut.push_back(static_cast<char16_t>(aCode));
  } else {
    aCode -= 0x10000;
    aOut.push_back(static_cast<char16_t>(0xD800 + (aCode >> 10)));
    aOut.push_back(static_cast<char16_t>(0xDC00 + (aCode & 0x3FF)));
  }
}

// Decodes one code point at aPos; advances aPos past it. Returns kReplacement (and sets aValid
// false) for a malformed sequence, consuming one byte.
char32_t DecodeOne(std::string_view aBytes, size_t& aPos, bool& aValid) {
  const auto b0 = static_cast<unsigned char>(aBytes[aPos]);
  if (b0 < 0x80) {
    ++aPos;
    return b0;
  }
  int length = 0;
  char32_t code = 0;
  char32_t minimum = 0;
  if ((b0 & 0xE0) == 0xC0) {
    length = 2, code = b0 & 0x1F, minimum = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    length = 3, code = b0 & 0x0F, minimum = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    length = 4, code = b0 & 0x07, minimum = 0x10000;
  } else {
    ++aPos;
    aValid = false;
    return kReplacement;
  }
  if (aPos + length > aBytes.size()) {
    ++aPos;
    aValid = false;
    return kReplacement;
  }
  for (int i = 1; i < length; ++i) {
    const auto b = static_cast<unsigned char>(aBytes[aPos + i]);
    if ((b & 0xC0) != 0x80) {
      ++aPos;
      aValid = false;
      return kReplacement;
    }
    code = (code << 6) | (b & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    ++aPos;
    aValid = false;
    return kReplacement;
  }
  aPos += length;
  return code;
}

}  // namespace

std::string ToUtf8(std::u16string_view aText) {
  std::string out;
  out.reserve(aText.size());
  for (size_t i = 0; i < aText.size(); ++i) {
    char32_t unit = aText[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < aText.size() && aText[i + 1] >= 0xDC00 &&
        aText[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (aText[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

std::u16string FromUtf8(std::string_view aBytes) {
  std::u16string out;
  out.reserve(aBytes.size());
  bool valid = true;
  for (size_t pos = 0; pos < aBytes.size();) AppendUtf16(out, DecodeOne(aBytes, pos, valid));
  return out;
}

bool IsValidUtf8(std::string_view aBytes) {
  bool valid = true;
  for (size_t pos = 0; pos < aBytes.size() && valid;) DecodeOne(aBytes, pos, valid);
  return valid;
}

}  // namespace port
