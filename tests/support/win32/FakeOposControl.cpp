#include "support/FakeOposControl.h"

#include <windows.h>

namespace vxtest {
namespace {

const wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{6F1C2A40-5E0B-4C7D-9A34-2B8D7E6F1A01}";
const wchar_t kProgIdKey[] = L"Software\\Classes\\OPOS.FiscalPrinter";
const wchar_t kClassId[] = L"{6F1C2A40-5E0B-4C7D-9A34-2B8D7E6F1A01}";

std::wstring Wide(const std::string& aText) { return std::wstring(aText.begin(), aText.end()); }

std::string Narrow(const std::wstring& aText) {
  std::string text;
  for (wchar_t c : aText) text.push_back(c < 128 ? static_cast<char>(c) : '?');
  return text;
}

// The classes of the machine, where a process may write them (wine), else those of the user.
HKEY gRoot = HKEY_LOCAL_MACHINE;

bool SetDefault(const wchar_t* aKey, const wchar_t* aName, const std::wstring& aValue) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(gRoot, aKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  LONG result = RegSetValueExW(key, aName, 0, REG_SZ, reinterpret_cast<const BYTE*>(aValue.c_str()),
                               static_cast<DWORD>((aValue.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

using CallsFn = const wchar_t* (*)();
using SetResultFn = void (*)(const wchar_t*, LONG);
using SetValueFn = void (*)(const wchar_t*, const wchar_t*);
using ResetFn = void (*)();

template <class T>
T Procedure(void* aLibrary, const char* aName) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(aLibrary), aName)));
}

}  // namespace

FakeOposControl::FakeOposControl(const std::string& aLibraryPath) {
  // The build names the library by its Unix path; under wine that is drive Z:.
  std::wstring path = Wide(aLibraryPath);
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
  fLibrary = LoadLibraryW(path.c_str());
  if (!fLibrary) {
    fWhy = "cannot load " + aLibraryPath;
    return;
  }
  std::wstring inproc = std::wstring(kClassKey) + L"\\InprocServer32";
  HKEY probe = nullptr;
  gRoot = HKEY_LOCAL_MACHINE;
  if (RegCreateKeyExW(gRoot, L"Software\\Classes", 0, nullptr, 0, KEY_WRITE, nullptr, &probe, nullptr) !=
      ERROR_SUCCESS) {
    gRoot = HKEY_CURRENT_USER;
  } else {
    RegCloseKey(probe);
  }
  if (!SetDefault(kProgIdKey, nullptr, L"OPOS Fiscal Printer (test stand-in)") ||
      !SetDefault((std::wstring(kProgIdKey) + L"\\CLSID").c_str(), nullptr, kClassId) ||
      !SetDefault(inproc.c_str(), nullptr, path) || !SetDefault(inproc.c_str(), L"ThreadingModel", L"Apartment")) {
    fWhy = "cannot register the stand-in control";
    return;
  }
  Procedure<ResetFn>(fLibrary, "VxFakeOposReset")();
  fOk = true;
}

FakeOposControl::~FakeOposControl() {
  RegDeleteTreeW(gRoot, kProgIdKey);
  RegDeleteTreeW(gRoot, kClassKey);
  if (fLibrary) FreeLibrary(static_cast<HMODULE>(fLibrary));
}

std::string FakeOposControl::Calls() const {
  return fOk ? Narrow(Procedure<CallsFn>(fLibrary, "VxFakeOposCalls")()) : "";
}

void FakeOposControl::SetResult(const std::string& aMethod, int32_t aCode) {
  if (fOk) Procedure<SetResultFn>(fLibrary, "VxFakeOposSetResult")(Wide(aMethod).c_str(), aCode);
}

void FakeOposControl::SetValue(const std::string& aName, const std::string& aValue) {
  if (fOk) Procedure<SetValueFn>(fLibrary, "VxFakeOposSetValue")(Wide(aName).c_str(), Wide(aValue).c_str());
}

}  // namespace vxtest
