#include "platform/Process.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/utsname.h>
#include <unistd.h>

#include "platform/Utf8.h"

namespace port {

std::u16string ExecutablePath() {
  std::string buffer(PATH_MAX, '\0');
  ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0) return {};
  buffer.resize(static_cast<size_t>(length));
  return FromUtf8(buffer);
}

std::vector<std::u16string> CommandLineArguments() {
  // /proc/self/cmdline holds the arguments, each ended by a NUL; the first is the program.
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::u16string> arguments;
  size_t start = 0;
  bool first = true;
  while (start < all.size()) {
    size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    if (!first) arguments.push_back(FromUtf8(std::string_view(all).substr(start, end - start)));
    first = false;
    start = end + 1;
  }
  return arguments;
}

std::optional<std::u16string> EnvironmentVariable(std::u16string_view aName) {
  const char* value = std::getenv(ToUtf8(aName).c_str());
  if (value == nullptr) return std::nullopt;
  return FromUtf8(value);
}

void SetEnvironmentValue(std::u16string_view aName, const std::optional<std::u16string>& aValue) {
  std::string name = ToUtf8(aName);
  if (aValue) setenv(name.c_str(), ToUtf8(*aValue).c_str(), 1);
  else unsetenv(name.c_str());
}

std::u16string HostName() {
  char buffer[HOST_NAME_MAX + 1] = {};
  if (gethostname(buffer, sizeof buffer - 1) != 0) return {};
  return FromUtf8(buffer);
}

std::u16string DefaultMachineName() { return HostName(); }

std::u16string OsName() {
  utsname names{};
  if (uname(&names) != 0) return u"Unknown";
  return FromUtf8(names.sysname);
}

std::u16string OsVersion() {
  utsname names{};
  if (uname(&names) != 0) return u"Unknown";
  // "Linux 6.1.0-18-amd64 (#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1, x86_64)"
  return FromUtf8(std::string(names.sysname) + " " + names.release + " (" + names.version + ", " +
                  names.machine + ")");
}

}  // namespace port
