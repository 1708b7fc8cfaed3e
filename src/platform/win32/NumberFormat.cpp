#include "platform/NumberFormat.h"

#include <windows.h>

namespace port {
namespace {

// One locale text of the user's default locale; empty when the locale has none.
std::u16string LocaleText(LCTYPE aType) {
  wchar_t buffer[16] = {};
  int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, aType, buffer, 16);
  if (length <= 1) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(length - 1));
}

}  // namespace

NumberSeparators LocaleNumberSeparators() {
  NumberSeparators separators{LocaleText(LOCALE_SDECIMAL), LocaleText(LOCALE_STHOUSAND)};
  if (separators.decimal.empty()) separators.decimal = u".";
  return separators;
}

}  // namespace port
