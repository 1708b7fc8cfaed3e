#pragma once
// The simulator's settings and the command line that sets them.
#include "Terminal.h"

#include <cstdint>
#include <string>
#include <vector>

namespace termsim {

struct SimOptions {
  uint16_t port = 0;  // 0: a free port chosen by the system
  bool https = false;
  std::string secret = "terminal-sim secret";  // UTF-8; hashed as Windows-1252
  std::string keyIdentifier = "SimKey";
  int keyVersion = 1;
  TerminalSettings terminal;
  std::string portFile;        // the chosen port is written here
  std::string requestLogFile;  // each request is appended here as one JSON line
  std::string controlFile;     // a control object read (and removed) before each request
  std::string certFile;        // the HTTPS certificate is written here (PEM)
  int maxSeconds = 0;          // 0: run until SIGTERM or SIGINT
  bool verbose = false;        // one line per request on standard error
  std::vector<std::string> scenarios;  // control objects (JSON text) applied at start
};

// Fills aOptions from the arguments (without the program name). Answers false with the reason in
// aError for an unknown option or a bad value; aHelp becomes true for --help.
bool ParseOptions(const std::vector<std::string>& aArgs, SimOptions& aOptions, bool& aHelp, std::string& aError);

// The --help text: options, scenarios, amount codes and endpoints.
std::string HelpText();

}  // namespace termsim
