#pragma once
// The commands of the host program, as one table: each has a name, the form of its arguments, a
// line of help and the function that runs it. A new command is a new row.
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "HostModule.h"

namespace vxpa {

// What a command runs with: the arguments after its name and the module, loaded on first use.
class Context {
 public:
  explicit Context(std::filesystem::path aModulePath) : fModulePath(std::move(aModulePath)) {}
  HostModule& Module();
  const std::filesystem::path& ModulePath() const { return fModulePath; }

 private:
  std::filesystem::path fModulePath;
  std::unique_ptr<HostModule> fModule;
};

// Exit status of the program.
enum ExitCode : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// The ArgumentCount of a command that reads its own flags.
inline constexpr size_t kAnyArgumentCount = static_cast<size_t>(-1);

struct Command {
  std::string_view Name;       // exact, case-sensitive: the export names are upper case
  std::string_view Arguments;  // "FILE", "DRIVER", ...
  std::string_view Help;       // one line
  size_t ArgumentCount;        // exactly this many arguments follow the name, or kAnyArgumentCount
  int (*Run)(Context& aContext, std::span<const std::string> aArguments);
};

const std::vector<Command>& Commands();
const Command* FindCommand(std::string_view aName);

}  // namespace vxpa
