#include "platform/StringTable.h"

#include <vector>
#include <windows.h>

namespace port {
namespace {

// The module that holds this code: the DLL in production, the test executable in tests.
HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

}  // namespace

std::u16string LoadModuleString(unsigned aId, int aMaxChars) {
  if (aMaxChars <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<size_t>(aMaxChars) + 1);
  int length = LoadStringW(ThisModule(), aId, buffer.data(), static_cast<int>(buffer.size()));
  if (length <= 0) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), static_cast<size_t>(length));
}

}  // namespace port
