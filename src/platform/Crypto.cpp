// The target-independent half of the crypto port: hexadecimal text, the strict Base64 syntax
// check and the constant-time comparison.
#include "platform/Crypto.h"

#include "platform/CryptoBackend.h"

namespace port {

namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsBase64Letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

bool IsWellFormedBase64(std::string_view aText) {
  if (aText.size() % 4 != 0) return false;
  size_t padding = 0;
  while (padding < 2 && padding < aText.size() && aText[aText.size() - 1 - padding] == '=') ++padding;
  for (size_t i = 0; i < aText.size() - padding; ++i) {
    if (!IsBase64Letter(aText[i])) return false;
  }
  return true;
}

}  // namespace

std::string HexEncode(const Bytes& aData) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(aData.size() * 2);
  for (uint8_t b : aData) {
    text.push_back(kDigits[b >> 4]);
    text.push_back(kDigits[b & 0x0F]);
  }
  return text;
}

bool HexDecode(std::string_view aText, Bytes& aData) {
  aData.clear();
  if (aText.size() % 2 != 0) return false;
  Bytes data;
  data.reserve(aText.size() / 2);
  for (size_t i = 0; i < aText.size(); i += 2) {
    int high = HexDigitValue(aText[i]);
    int low = HexDigitValue(aText[i + 1]);
    if (high < 0 || low < 0) return false;
    data.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  aData = std::move(data);
  return true;
}

bool Base64Decode(std::string_view aText, Bytes& aData) {
  aData.clear();
  if (!IsWellFormedBase64(aText)) return false;
  if (aText.empty()) return true;
  aData = detail::Base64DecodeWellFormed(aText);
  return true;
}

bool ConstantTimeEqual(const Bytes& a, const Bytes& b) {
  if (a.size() != b.size()) return false;
  // volatile keeps the compiler from turning the loop into an early-exit comparison.
  volatile uint8_t difference = 0;
  for (size_t i = 0; i < a.size(); ++i) difference = difference | static_cast<uint8_t>(a[i] ^ b[i]);
  return difference == 0;
}

}  // namespace port
