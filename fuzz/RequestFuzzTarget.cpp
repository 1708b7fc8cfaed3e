#include "RequestFuzzTarget.h"

#include <string_view>

#include "payment/uVxPaymentDrivers.h"
#include "platform/HostString.h"
#include "platform/ModuleEntry.h"
#include "platform/Utf8.h"
#include "support/ResultDocuments.h"
#include "vxpa.h"

namespace vxfuzz {
namespace {

struct tCommand {
  std::string_view Name;
  vxpa_export_fn Function;
};

const tCommand kCommands[] = {{"PAY", PAY},         {"REPRINT", REPRINT},     {"OPEN", OPEN},
                              {"GETSTATUS", GETSTATUS}, {"DAYCLOSE", DAYCLOSE}, {"GETTOTALS", GETTOTALS},
                              {"CLOSE", CLOSE},     {"VERIFYTRAN", VERIFYTRAN}};

std::u16string Decode(const uint8_t* aData, size_t aSize) {
  if (aSize >= 2 && aData[0] == 0xFF && aData[1] == 0xFE) {
    std::u16string text;
    for (size_t i = 2; i + 1 < aSize; i += 2) text.push_back(static_cast<char16_t>(aData[i] | aData[i + 1] << 8));
    return text;
  }
  return port::FromUtf8(std::string_view(reinterpret_cast<const char*>(aData), aSize));
}

// One command's answer against the rules: with no driver registered every command but GETSTATUS
// fails, with a non-empty error text that the document carries escaped among the starting values.
std::string Check(const tCommand& aCommand, vxpa_result aResult, BSTR aOutput, BSTR aError) {
  std::string name(aCommand.Name);
  if (aResult != 0 && aResult != 0xFFFF) return name + ": result word " + std::to_string(aResult);
  if (aOutput == nullptr) return name + ": no result document";
  std::u16string output = port::HostStringText(aOutput);
  if (aCommand.Name == "GETSTATUS") {
    if (aResult != 0 || aError != nullptr) return name + ": failed";
    if (output != vxtest::StatusDocument()) return name + ": wrong document";
    return {};
  }
  if (aResult != 0xFFFF) return name + ": succeeded without a driver";
  if (aError == nullptr) return name + ": failed without an error text";
  std::u16string error = port::HostStringText(aError);
  if (output != vxtest::FailureDocument(aCommand.Name, error)) {
    return name + ": document does not match the error text " + port::ToUtf8(error);
  }
  return {};
}

}  // namespace

void Prepare() {
  vxmodule::Start();
  PaymentDrivers().clear();
}

std::string RunRequest(const uint8_t* aData, size_t aSize) {
  std::u16string request = Decode(aData, aSize);
  BSTR argument = port::NewHostString(request);
  std::string problem;
  for (const tCommand& command : kCommands) {
    BSTR output = nullptr;
    BSTR error = nullptr;
    vxpa_result result = command.Function(argument, &output, &error);
    if (problem.empty()) problem = Check(command, result, output, error);
    port::FreeHostString(output);
    port::FreeHostString(error);
  }
  port::FreeHostString(argument);
  return problem;
}

}  // namespace vxfuzz
