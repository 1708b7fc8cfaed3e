#include "platform/CodePage.h"

#include "platform/Error.h"

namespace port {

// The target's conversion for real code pages (code page 0 never reaches it). Both refuse an
// unknown code page even for an empty input.
std::string EncodeSystemCodePage(std::u16string_view aText, uint32_t aCodePage);
std::u16string DecodeSystemCodePage(std::string_view aBytes, uint32_t aCodePage);

namespace {

std::string EncodeLatin1(std::u16string_view aText) {
  std::string out;
  out.reserve(aText.size());
  for (char16_t c : aText) out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
  return out;
}

std::u16string DecodeLatin1(std::string_view aBytes) {
  std::u16string out;
  out.reserve(aBytes.size());
  for (char b : aBytes) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(b)));
  return out;
}

}  // namespace

std::string EncodeCodePage(std::u16string_view aText, uint32_t aCodePage) {
  if (aCodePage == kLatin1CodePage) return EncodeLatin1(aText);
  return EncodeSystemCodePage(aText, aCodePage);
}

std::u16string DecodeCodePage(std::string_view aBytes, uint32_t aCodePage) {
  if (aCodePage == kLatin1CodePage) return DecodeLatin1(aBytes);
  return DecodeSystemCodePage(aBytes, aCodePage);
}

}  // namespace port
