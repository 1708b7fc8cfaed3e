#pragma once
// The system's message text for a Win32 error code, without the line end and the final period
// that FormatMessageW leaves, so that callers can put it inside a sentence.
#include <windows.h>

#include <string>

namespace port::win32 {

inline std::u16string SysErrorText(DWORD aError) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                    FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, aError, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text;
  if (length && buffer) text.assign(reinterpret_cast<const char16_t*>(buffer), length);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() <= u' ' || text.back() == u'.')) text.pop_back();
  if (text.empty()) {
    std::string code = "System error " + std::to_string(aError);
    text.assign(code.begin(), code.end());
  }
  return text;
}

}  // namespace port::win32
