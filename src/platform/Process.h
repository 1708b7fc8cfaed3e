#pragma once
// The host process and the machine it runs on.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace port {

// Full path of the host program's executable (not of this module); empty when it cannot be read.
std::u16string ExecutablePath();

// The host program's command-line parameters, without the program path, in order.
std::vector<std::u16string> CommandLineArguments();

// The value of an environment variable; nullopt when it is not set (an empty value is set).
std::optional<std::u16string> EnvironmentVariable(std::u16string_view aName);
// Sets (aValue present) or removes (nullopt) an environment variable of this process.
void SetEnvironmentValue(std::u16string_view aName, const std::optional<std::u16string>& aValue);

// The machine's network host name; empty when it cannot be read.
std::u16string HostName();

// The machine name to use when COMPUTERNAME is not set: the host name on POSIX systems, which
// do not set that variable; empty on Windows, where the system always sets it.
std::u16string DefaultMachineName();

// The operating system's product name ("Windows 10", "Linux").
std::u16string OsName();
// The operating system's full description: name, version number, build and edition
// ("Windows 10 (Version 10.0, Build 19045, 64-bit Edition)").
std::u16string OsVersion();

}  // namespace port
