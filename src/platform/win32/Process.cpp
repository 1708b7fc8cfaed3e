#include "platform/Process.h"

#include <string>
#include <windows.h>
#include <shellapi.h>

namespace port {
namespace {

std::u16string FromWide(const wchar_t* aText, size_t aLength) {
  return std::u16string(reinterpret_cast<const char16_t*>(aText), aLength);
}

std::wstring ToWide(std::u16string_view aText) { return std::wstring(aText.begin(), aText.end()); }

struct OsVersionInfo {
  DWORD major = 0, minor = 0, build = 0;
};

// RtlGetVersion reports the true version; GetVersionEx is capped by the host's manifest.
OsVersionInfo ReadOsVersion() {
  OsVersionInfo info;
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto rtlGetVersion =
      ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
            : nullptr;
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (rtlGetVersion != nullptr && rtlGetVersion(&version) == 0) {
    info.major = version.dwMajorVersion;
    info.minor = version.dwMinorVersion;
    info.build = version.dwBuildNumber;
  }
  return info;
}

std::u16string ProductName(const OsVersionInfo& aInfo) {
  if (aInfo.major == 10) return aInfo.build >= 22000 ? u"Windows 11" : u"Windows 10";
  if (aInfo.major == 6 && aInfo.minor == 3) return u"Windows 8.1";
  if (aInfo.major == 6 && aInfo.minor == 2) return u"Windows 8";
  if (aInfo.major == 6 && aInfo.minor == 1) return u"Windows 7";
  if (aInfo.major == 6 && aInfo.minor == 0) return u"Windows Vista";
  if (aInfo.major == 5) return u"Windows XP";
  return u"Windows";
}

std::u16string Number(DWORD aValue) {
  std::string text = std::to_string(aValue);
  return std::u16string(text.begin(), text.end());
}

}  // namespace

std::u16string ExecutablePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // truncated: try again with more room
  }
}

std::vector<std::u16string> CommandLineArguments() {
  std::vector<std::u16string> arguments;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(FromWide(argv[i], wcslen(argv[i])));
  LocalFree(argv);
  return arguments;
}

std::optional<std::u16string> EnvironmentVariable(std::u16string_view aName) {
  std::wstring name = ToWide(aName);
  SetLastError(ERROR_SUCCESS);
  DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (size == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::u16string();
  }
  std::wstring buffer(size, L'\0');
  DWORD length = GetEnvironmentVariableW(name.c_str(), buffer.data(), size);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  return FromWide(buffer.data(), length < size ? length : 0);
}

void SetEnvironmentValue(std::u16string_view aName, const std::optional<std::u16string>& aValue) {
  std::wstring name = ToWide(aName);
  if (aValue) {
    std::wstring value = ToWide(*aValue);
    SetEnvironmentVariableW(name.c_str(), value.c_str());
  } else {
    SetEnvironmentVariableW(name.c_str(), nullptr);
  }
}

std::u16string HostName() {
  wchar_t buffer[256] = {};
  DWORD size = 256;
  if (!GetComputerNameExW(ComputerNameDnsHostname, buffer, &size)) {
    size = 256;
    if (!GetComputerNameW(buffer, &size)) return {};
  }
  return FromWide(buffer, size);
}

std::u16string DefaultMachineName() { return {}; }

std::u16string OsName() { return ProductName(ReadOsVersion()); }

std::u16string OsVersion() {
  OsVersionInfo info = ReadOsVersion();
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  return ProductName(info) + u" (Version " + Number(info.major) + u"." + Number(info.minor) + u", Build " +
         Number(info.build) + (wow64 ? u", 64-bit Edition)" : u", 32-bit Edition)");
}

}  // namespace port
