// Code pages through WideCharToMultiByte and MultiByteToWideChar.
#include <windows.h>

#include <string>

#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/Utf8.h"

namespace port {

namespace {

void CheckCodePage(uint32_t aCodePage) {
  if (!IsValidCodePage(aCodePage))
    throw tVX_Error(u"Code page " + FromUtf8(std::to_string(aCodePage)) + u" is not supported");
}

}  // namespace

std::string EncodeSystemCodePage(std::u16string_view aText, uint32_t aCodePage) {
  CheckCodePage(aCodePage);
  if (aText.empty()) return {};
  auto* wide = reinterpret_cast<const wchar_t*>(aText.data());
  int length = static_cast<int>(aText.size());
  // No best-fit: a character the code page lacks becomes '?' rather than a look-alike. A few code
  // pages (UTF-8 among them) refuse the flag.
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  int size = WideCharToMultiByte(aCodePage, flags, wide, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0 && GetLastError() == ERROR_INVALID_FLAGS) {
    flags = 0;
    size = WideCharToMultiByte(aCodePage, flags, wide, length, nullptr, 0, nullptr, nullptr);
  }
  if (size <= 0) throw tVX_Error(u"Code page " + FromUtf8(std::to_string(aCodePage)) + u" is not supported");
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(aCodePage, flags, wide, length, out.data(), size, nullptr, nullptr);
  return out;
}

std::u16string DecodeSystemCodePage(std::string_view aBytes, uint32_t aCodePage) {
  CheckCodePage(aCodePage);
  if (aBytes.empty()) return {};
  int length = static_cast<int>(aBytes.size());
  int size = MultiByteToWideChar(aCodePage, 0, aBytes.data(), length, nullptr, 0);
  if (size <= 0) throw tVX_Error(u"Code page " + FromUtf8(std::to_string(aCodePage)) + u" is not supported");
  std::u16string out(static_cast<size_t>(size), u'\0');
  MultiByteToWideChar(aCodePage, 0, aBytes.data(), length, reinterpret_cast<wchar_t*>(out.data()), size);
  return out;
}

uint32_t AnsiCodePage() { return GetACP(); }

}  // namespace port
