#include "Commands.h"

#include <cstdio>

#include "Console.h"
#include "FriendlyCommands.h"
#include "platform/Utf8.h"

namespace vxpa {
namespace {

// Prints what an export answered: the document (or version text) on standard output, the error
// text and the result code on standard error. The exit status follows the result code.
int Report(const HostModule::Answer& aAnswer) {
  if (aAnswer.Output) {
    Write(stdout, *aAnswer.Output);
    Write(stdout, std::string_view("\n"));
  }
  if (aAnswer.ErrorMessage) {
    Write(stderr, std::string_view("error: "));
    Write(stderr, *aAnswer.ErrorMessage);
    Write(stderr, std::string_view("\n"));
  }
  int16_t code = VXPA_CODE(aAnswer.Result);
  Write(stderr, "result: " + std::to_string(code) + "\n");
  return code == 0 ? kExitOk : kExitFailed;
}

template <const char* kExport>
int RunRequest(Context& aContext, std::span<const std::string> aArguments) {
  std::u16string request = ReadRequest(aArguments[0]);
  return Report(aContext.Module().Call(kExport, request));
}

int RunVersion(Context& aContext, std::span<const std::string> aArguments) {
  HostModule::Answer answer = aContext.Module().Call("VERSION", port::FromUtf8(aArguments[0]));
  if (!answer.Output) Write(stderr, "driver " + aArguments[0] + " is not registered\n");
  return Report(answer);
}

constexpr char kOpen[] = "OPEN";
constexpr char kPay[] = "PAY";
constexpr char kReprint[] = "REPRINT";
constexpr char kVerifyTran[] = "VERIFYTRAN";
constexpr char kDayClose[] = "DAYCLOSE";
constexpr char kGetTotals[] = "GETTOTALS";
constexpr char kGetStatus[] = "GETSTATUS";
constexpr char kClose[] = "CLOSE";

}  // namespace

HostModule& Context::Module() {
  if (!fModule) fModule = std::make_unique<HostModule>(fModulePath);
  return *fModule;
}

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = [] {
    std::vector<Command> table = {
      {"OPEN", "FILE", "open a device; prints its handle", 1, RunRequest<kOpen>},
      {"PAY", "FILE", "a payment, refund or void (Payment node)", 1, RunRequest<kPay>},
      {"REPRINT", "FILE", "the receipts of the last or a named transaction", 1, RunRequest<kReprint>},
      {"VERIFYTRAN", "FILE", "the outcome of the last or a named transaction", 1, RunRequest<kVerifyTran>},
      {"DAYCLOSE", "FILE", "reconciliation with its report (DayClose node)", 1, RunRequest<kDayClose>},
      {"GETTOTALS", "FILE", "totals report without closing (GetTotals node)", 1, RunRequest<kGetTotals>},
      {"GETSTATUS", "FILE", "the status document (the request is not read)", 1, RunRequest<kGetStatus>},
      {"CLOSE", "FILE", "close the device named by the request's Handle", 1, RunRequest<kClose>},
      {"VERSION", "DRIVER", "the version text of a registered driver, e.g. VXPA_ADYEN_10", 1, RunVersion},
    };
    AddFriendlyCommands(table);
    return table;
  }();
  return commands;
}

const Command* FindCommand(std::string_view aName) {
  for (const Command& command : Commands()) {
    if (command.Name == aName) return &command;
  }
  return nullptr;
}

}  // namespace vxpa
