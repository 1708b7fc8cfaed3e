#include "platform/Locale.h"

#include <windows.h>

namespace port {
namespace {

std::u16string FromWide(const wchar_t* aText, int aLengthWithNul) {
  if (aLengthWithNul <= 1) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(aText), static_cast<size_t>(aLengthWithNul - 1));
}

}  // namespace

std::u16string ShortDateText(int aYear, int aMonth, int aDay) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(aYear);
  st.wMonth = static_cast<WORD>(aMonth);
  st.wDay = static_cast<WORD>(aDay);
  wchar_t buffer[128] = {};
  int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 128, nullptr);
  return FromWide(buffer, length);
}

std::u16string LongTimeText(int aHour, int aMinute, int aSecond) {
  SYSTEMTIME st{};
  st.wYear = 2000;
  st.wMonth = 1;
  st.wDay = 1;
  st.wHour = static_cast<WORD>(aHour);
  st.wMinute = static_cast<WORD>(aMinute);
  st.wSecond = static_cast<WORD>(aSecond);
  wchar_t buffer[128] = {};
  int length = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, buffer, 128);
  return FromWide(buffer, length);
}

}  // namespace port
