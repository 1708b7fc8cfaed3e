#include "platform/StringTable.h"

#include <string>
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

std::optional<std::string> LoadModuleData(std::u16string_view aName) {
  std::wstring name(aName.begin(), aName.end());
  HMODULE module = ThisModule();
  HRSRC info = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (info == nullptr) return std::nullopt;
  HGLOBAL handle = LoadResource(module, info);
  const void* data = handle != nullptr ? LockResource(handle) : nullptr;
  if (data == nullptr) return std::nullopt;
  return std::string(static_cast<const char*>(data), SizeofResource(module, info));
}

}  // namespace port
