// vxpa: the host program. Loads the driver module the way a point-of-sale host does and calls its
// exports with request documents.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "Commands.h"
#include "Console.h"
#include "platform/Utf8.h"

namespace vxpa {
namespace {

void PrintHelp() {
  std::string text =
      "usage: vxpa [--module PATH] COMMAND ARGUMENT\n"
      "\n"
      "Loads the payment driver module and calls one of its exports. The module is\n"
      "VXPA_ADYEN_10 beside this program unless --module names another file.\n"
      "\n"
      "Commands (upper-case names call the export of that name):\n";
  for (const Command& command : Commands()) {
    std::string head = "  " + std::string(command.Name) + " " + std::string(command.Arguments);
    if (head.size() < 22) head.resize(22, ' ');
    text += head + " " + std::string(command.Help) + "\n";
  }
  text +=
      "\n"
      "FILE is a request document in UTF-8 or UTF-16 (with byte order mark), or - to read it\n"
      "from standard input. The result document (or the version text) goes to standard\n"
      "output; the error text and the result code go to standard error.\n"
      "\n"
      "Exit status: 0 when the export answered 0, 1 when it answered -1, 2 for a usage\n"
      "error or a module that cannot be loaded.\n"
      "\n"
      "Examples:\n"
      "  vxpa OPEN open.xml\n"
      "  vxpa PAY - < pay.xml\n"
      "  vxpa VERSION VXPA_ADYEN_10\n";
  Write(stdout, text);
}

int Usage(const std::string& aProblem) {
  Write(stderr, "vxpa: " + aProblem + "\n(vxpa --help lists the commands)\n");
  return kExitUsage;
}

int Run(std::vector<std::string> aArguments) {
  std::filesystem::path modulePath;
  size_t next = 0;
  while (next < aArguments.size() && aArguments[next].starts_with("--")) {
    const std::string& option = aArguments[next];
    if (option == "--help") {
      PrintHelp();
      return kExitOk;
    }
    if (option == "--module" && next + 1 < aArguments.size()) {
      const std::string& path = aArguments[next + 1];
      modulePath = std::filesystem::path(std::u8string(path.begin(), path.end()));
      next += 2;
      continue;
    }
    return Usage(option == "--module" ? "--module needs a path" : "unknown option " + option);
  }
  if (next == aArguments.size()) return Usage("no command given");
  const Command* command = FindCommand(aArguments[next]);
  if (command == nullptr) return Usage("unknown command " + aArguments[next]);
  std::vector<std::string> rest(aArguments.begin() + static_cast<std::ptrdiff_t>(next + 1), aArguments.end());
  if (command->ArgumentCount != kAnyArgumentCount && rest.size() != command->ArgumentCount) {
    return Usage(std::string(command->Name) + " takes " + std::string(command->Arguments));
  }
  Context context(modulePath.empty() ? HostModule::DefaultPath() : modulePath);
  try {
    return command->Run(context, rest);
  } catch (const std::exception& failure) {
    Write(stderr, std::string("vxpa: ") + failure.what() + "\n");
    return kExitUsage;
  }
}

}  // namespace
}  // namespace vxpa

#if defined(_WIN32)
int wmain(int argc, wchar_t** argv) {
  vxpa::PrepareConsole();
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    std::u16string_view wide(reinterpret_cast<const char16_t*>(argv[i]));
    arguments.push_back(port::ToUtf8(wide));
  }
  return vxpa::Run(std::move(arguments));
}
#else
int main(int argc, char** argv) {
  vxpa::PrepareConsole();
  return vxpa::Run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
