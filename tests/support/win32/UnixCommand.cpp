#include "support/win32/UnixCommand.h"

#include <windows.h>

#include <fstream>

namespace vxtest::wine {

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::string Prefix() {
  char buffer[1024];
  DWORD n = GetEnvironmentVariableA("WINEPREFIX", buffer, sizeof(buffer));
  return (n > 0 && n < sizeof(buffer)) ? std::string(buffer, n) : std::string();
}

std::string OnZ(const std::string& aUnixPath) { return "Z:" + aUnixPath; }

std::string UnixPath(const std::wstring& aWindowsPath) {
  using UnixFileName = char*(CDECL*)(const wchar_t*);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto unixFileName = kernel ? reinterpret_cast<UnixFileName>(
                                   reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")))
                             : nullptr;
  if (!unixFileName) return "";
  char* path = unixFileName(aWindowsPath.c_str());
  if (!path) return "";
  std::string result(path);
  HeapFree(GetProcessHeap(), 0, path);
  return result;
}

bool Exists(const std::string& aUnixPath) {
  return GetFileAttributesA(OnZ(aUnixPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool StartUnix(const std::string& aShellCommand) {
  std::string quoted;
  for (char c : aShellCommand) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  std::string command = "/bin/sh -c \"exec </dev/null >/dev/null 2>&1; " + quoted + "\"";
  std::wstring wide(command.begin(), command.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  if (process.hProcess) CloseHandle(process.hProcess);
  if (process.hThread) CloseHandle(process.hThread);
  return true;
}

bool RunUnix(const std::string& aShellCommand, int aTimeoutMs) {
  static int counter = 0;
  std::string marker = Prefix() + "/vx-done-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
  if (!StartUnix(aShellCommand + "; echo $? > " + marker)) return false;
  for (int waited = 0; waited < aTimeoutMs && !Exists(marker); waited += 10) Sleep(10);
  Sleep(20);  // let the shell finish writing the status
  std::ifstream in(OnZ(marker));
  int status = -1;
  in >> status;
  in.close();
  DeleteFileA(OnZ(marker).c_str());
  return status == 0;
}

}  // namespace vxtest::wine
