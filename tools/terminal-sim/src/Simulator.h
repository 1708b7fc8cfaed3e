#pragma once
// The terminal simulator: HTTP(S) server, message security, terminal behaviour, scenarios and
// the request log, behind one object that a program or a test starts and stops.
#include "HttpServer.h"
#include "MessageSecurity.h"
#include "Options.h"
#include "RequestLog.h"
#include "Scenarios.h"
#include "Terminal.h"
#include "TlsContext.h"

#include <memory>
#include <mutex>
#include <string>

namespace termsim {

class Simulator {
 public:
  // Derives the keys, makes the certificate for HTTPS and applies the start-up scenarios.
  // Throws std::runtime_error (std::invalid_argument for a bad scenario).
  explicit Simulator(SimOptions aOptions);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Listens on 127.0.0.1 and writes the port and certificate files. Throws when it cannot.
  void Start();
  void Stop();

  uint16_t Port() const { return fServer.Port(); }
  const char* Scheme() const { return fOptions.https ? "https" : "http"; }
  // "http://127.0.0.1:PORT"
  std::string BaseUrl() const;
  const SimOptions& Options() const { return fOptions; }

  // Routes one HTTP request (what the server calls).
  HttpResponse Handle(const HttpRequest& aRequest);

 private:
  HttpResponse HandleNexo(const HttpRequest& aRequest);
  HttpResponse HandleControl(const std::string& aBody);
  // Applies a control object or array, all or nothing. Throws std::invalid_argument.
  void ApplyControl(const Json& aControl);
  // Reads, applies and removes the control file when there is one. Called under fMutex.
  void ApplyControlFile();
  void Report(const Json& aEntry) const;

  SimOptions fOptions;
  MessageSecurity fSecurity;
  std::unique_ptr<TlsContext> fTls;
  std::mutex fMutex;  // guards everything below
  Terminal fTerminal;
  ScenarioBook fScenarios;
  RequestLog fLog;
  HttpServer fServer;  // last: stopped (and its threads joined) before the rest goes
};

}  // namespace termsim
