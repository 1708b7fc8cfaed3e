#include "FriendlyCommands.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "Console.h"
#include "FriendlySession.h"

namespace vxpa {
namespace {

// The flags of one command: "--name value" pairs and bare switches, each name at most once.
class Flags {
 public:
  Flags(std::string_view aCommand, std::span<const std::string> aArguments, std::initializer_list<std::string_view> aValued,
        std::initializer_list<std::string_view> aSwitches = {}) {
    for (size_t i = 0; i < aArguments.size(); ++i) {
      const std::string& flag = aArguments[i];
      auto is = [&](std::initializer_list<std::string_view> aList) {
        for (std::string_view name : aList) {
          if (flag == name) return true;
        }
        return false;
      };
      if (fValues.contains(flag)) throw std::invalid_argument(flag + " given twice");
      if (is(aSwitches)) {
        fValues[flag] = "true";
      } else if (is(aValued) || flag == "--profile") {
        if (i + 1 >= aArguments.size()) throw std::invalid_argument(flag + " needs a value");
        fValues[flag] = aArguments[++i];
      } else {
        throw std::invalid_argument(std::string(aCommand) + " does not take " + flag);
      }
    }
  }

  std::string Value(const std::string& aName) const {
    auto found = fValues.find(aName);
    return found == fValues.end() ? std::string() : found->second;
  }
  bool Has(const std::string& aName) const { return fValues.contains(aName); }


 private:
  std::map<std::string, std::string> fValues;
};

int Number(const std::string& aFlag, const std::string& aText) {
  try {
    size_t used = 0;
    const int value = std::stoi(aText, &used);
    if (used == aText.size() && value > 0) return value;
  } catch (const std::exception&) {
  }
  throw std::invalid_argument(aFlag + " needs a positive whole number, not \"" + aText + "\"");
}

PaymentOrder ReadOrder(std::string_view aCommand, const std::string& aAction, const Flags& aFlags) {
  PaymentOrder order;
  order.Action = aAction;
  order.Amount = aFlags.Value("--amount");
  order.Currency = aFlags.Value("--currency");
  order.Tip = aFlags.Value("--tip");
  order.AskTip = aFlags.Has("--ask-tip");
  order.TokenReference = aFlags.Value("--token");
  order.Reference = aFlags.Value("--reference");
  order.PaymentId = aFlags.Value("--payment-id");
  order.PaymentTime = aFlags.Value("--payment-time");
  order.ExpectDecline = aFlags.Has("--expect-decline");
  if (!order.Amount.empty()) CheckAmount("--amount", order.Amount);
  if (!order.Tip.empty()) CheckAmount("--tip", order.Tip);
  if (aFlags.Has("--width")) order.Width = std::to_string(Number("--width", aFlags.Value("--width")));
  if (order.PaymentId.empty() != order.PaymentTime.empty()) {
    throw std::invalid_argument(std::string(aCommand) + " needs both --payment-id and --payment-time, or neither");
  }
  return order;
}

// One friendly command on a session. Throws std::invalid_argument for a usage error.
int RunOne(FriendlySession& aSession, std::string_view aName, std::span<const std::string> aArguments) {
  if (aName == "open") {
    Flags flags(aName, aArguments, {});
    return aSession.Open();
  }
  if (aName == "pay") {
    Flags flags(aName, aArguments, {"--amount", "--currency", "--tip", "--token", "--reference", "--width"},
                {"--ask-tip", "--expect-decline"});
    if (!flags.Has("--amount")) throw std::invalid_argument("pay needs --amount");
    return aSession.Pay(ReadOrder(aName, "PAY", flags));
  }
  if (aName == "refund" || aName == "void") {
    Flags flags(aName, aArguments,
                {"--amount", "--currency", "--tip", "--reference", "--width", "--payment-id", "--payment-time"},
                {"--expect-decline"});
    return aSession.Pay(ReadOrder(aName, aName == "refund" ? "REFUND" : "VOID", flags));
  }
  if (aName == "close") {
    Flags flags(aName, aArguments, {"--handle"});
    return aSession.Close(flags.Has("--handle") ? Number("--handle", flags.Value("--handle")) : 0);
  }
  if (aName == "verify" || aName == "reprint") {
    Flags flags(aName, aArguments, {"--receipt-id", "--width"}, {"--reversal"});
    const std::string width = flags.Has("--width") ? std::to_string(Number("--width", flags.Value("--width"))) : "";
    if (aName == "reprint") return aSession.Reprint(flags.Value("--receipt-id"), width);
    return aSession.Verify(flags.Value("--receipt-id"), flags.Has("--reversal"), width);
  }
  if (aName == "totals" || aName == "dayclose") {
    Flags flags(aName, aArguments, {});
    return aSession.Totals(aName == "dayclose");
  }
  throw std::invalid_argument("unknown command " + std::string(aName));
}

// A session line split into words; double quotes group blanks into one word.
std::vector<std::string> Words(const std::string& aLine) {
  std::vector<std::string> words;
  std::optional<std::string> word;
  bool quoted = false;
  for (char c : aLine) {
    if (c == '"') {
      quoted = !quoted;
      if (!word) word.emplace();
    } else if ((c == ' ' || c == '\t' || c == '\r') && !quoted) {
      if (word) words.push_back(std::move(*word));
      word.reset();
    } else {
      if (!word) word.emplace();
      *word += c;
    }
  }
  if (quoted) throw std::invalid_argument("a double quote is not closed");
  if (word) words.push_back(std::move(*word));
  return words;
}

// The profile that --profile names among aArguments, else the default one.
DeviceProfile ProfileFrom(std::span<const std::string> aArguments) {
  for (size_t i = 0; i + 1 < aArguments.size(); ++i) {
    if (aArguments[i] == "--profile") {
      const std::string& named = aArguments[i + 1];
      return DeviceProfile::Load(std::filesystem::path(std::u8string(named.begin(), named.end())));
    }
  }
  return DeviceProfile::Load(DeviceProfile::DefaultPath());
}

// Runs the lines of a session: each a friendly command with its flags, "say TEXT" to print a
// line, a blank line or a # comment. A usage error stops the session (status 2); a command that
// fails does not, and makes the session's status 1.
int RunSession(Context& aContext, std::span<const std::string> aArguments) {
  if (aArguments.empty()) throw std::invalid_argument("session needs a FILE (or - for standard input)");
  Flags flags("session", aArguments.subspan(1), {});
  FriendlySession session(aContext, ProfileFrom(aArguments.subspan(1)));
  std::string source = aArguments[0];
  std::ifstream file;
  if (source != "-") {
    file.open(std::filesystem::path(std::u8string(source.begin(), source.end())), std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + source);
  }
  std::istream& in = source == "-" ? std::cin : file;
  int status = kExitOk;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    if (line.compare(start, 4, "say ") == 0 || line.substr(start) == "say") {
      std::string text = line.size() > start + 4 ? line.substr(start + 4) : std::string();
      if (!text.empty() && text.back() == '\r') text.pop_back();
      Write(stdout, text + "\n");
      continue;
    }
    try {
      const std::vector<std::string> words = Words(line);
      if (words[0] == "session") throw std::invalid_argument("a session cannot run a session");
      if (RunOne(session, words[0], std::span<const std::string>(words).subspan(1)) != kExitOk) status = kExitFailed;
    } catch (const std::invalid_argument& problem) {
      Write(stderr, source + " line " + std::to_string(number) + ": " + problem.what() + "\n");
      return kExitUsage;
    }
  }
  return status;
}

template <const char* kName>
int RunSingle(Context& aContext, std::span<const std::string> aArguments) {
  try {
    FriendlySession session(aContext, ProfileFrom(aArguments));
    return RunOne(session, kName, aArguments);
  } catch (const std::invalid_argument& problem) {
    Write(stderr, std::string("vxpa: ") + problem.what() + "\n");
    return kExitUsage;
  }
}

int RunSessionCommand(Context& aContext, std::span<const std::string> aArguments) {
  try {
    return RunSession(aContext, aArguments);
  } catch (const std::invalid_argument& problem) {
    Write(stderr, std::string("vxpa: ") + problem.what() + "\n");
    return kExitUsage;
  }
}

constexpr char kOpen[] = "open";
constexpr char kPay[] = "pay";
constexpr char kRefund[] = "refund";
constexpr char kVoid[] = "void";
constexpr char kClose[] = "close";
constexpr char kVerify[] = "verify";
constexpr char kReprint[] = "reprint";
constexpr char kTotals[] = "totals";
constexpr char kDayClose[] = "dayclose";

}  // namespace

void AddFriendlyCommands(std::vector<Command>& aCommands) {
  constexpr size_t any = kAnyArgumentCount;
  aCommands.push_back({"open", "[--profile FILE]", "open the terminal of the device profile (vxpa.profile)", any,
                       RunSingle<kOpen>});
  aCommands.push_back({"pay", "--amount N ...", "a sale: [--currency C] [--tip N] [--ask-tip] [--token REF] [--width N]",
                       any, RunSingle<kPay>});
  aCommands.push_back({"refund", "--amount N ...", "refund a sale: --payment-id ID --payment-time T (session: the last)",
                       any, RunSingle<kRefund>});
  aCommands.push_back({"void", "[--amount N] ...", "void a sale: --payment-id ID --payment-time T (session: the last)",
                       any, RunSingle<kVoid>});
  aCommands.push_back({"verify", "[--receipt-id ID]", "the outcome of the last (or that) transaction [--reversal]", any,
                       RunSingle<kVerify>});
  aCommands.push_back({"reprint", "[--receipt-id ID]", "the receipts of the last (or that) transaction again", any,
                       RunSingle<kReprint>});
  aCommands.push_back({"totals", "", "the running totals with their report", any, RunSingle<kTotals>});
  aCommands.push_back({"dayclose", "", "close the day: reconciliation with its report", any, RunSingle<kDayClose>});
  aCommands.push_back({"close", "--handle N", "close an open device", any, RunSingle<kClose>});
  aCommands.push_back({"session", "FILE", "run the commands of FILE (or -) on one device, one a line; say TEXT prints",
                       any, RunSessionCommand});
}

}  // namespace vxpa
