#pragma once
// Reaching the Unix side from a test that runs under wine: Unix commands started from the
// Windows process, and Unix paths of Windows files.
#include <string>

namespace vxtest::wine {

// True when this process runs under wine.
bool UnderWine();
// The wine prefix (a Unix path), empty when WINEPREFIX is not set.
std::string Prefix();
// A Unix path as this process sees it (drive Z: is the Unix root under wine).
std::string OnZ(const std::string& aUnixPath);
// The Unix path of a Windows path; empty when wine cannot tell.
std::string UnixPath(const std::wstring& aWindowsPath);
bool Exists(const std::string& aUnixPath);
// Starts a Unix shell command detached from this process's standard handles. Wine starts Unix
// programs too, but hands back no handle to wait on: callers watch for the command's effects.
bool StartUnix(const std::string& aShellCommand);
// Runs a Unix shell command and waits (at most aTimeoutMs) for it to end; true when it exited
// with 0.
bool RunUnix(const std::string& aShellCommand, int aTimeoutMs = 10000);

}  // namespace vxtest::wine
