#pragma once
// A small HTTP/1.1 server on 127.0.0.1, plain or TLS, one thread per connection. It parses
// requests strictly (a malformed one gets 400 and the connection is closed) and hands each
// complete request to one handler.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace termsim {

class TlsContext;

struct HttpRequest {
  std::string method;
  std::string target;  // as sent: path and query
  std::string path;    // target before '?'
  std::string query;   // target after '?', without it
  std::string version; // "HTTP/1.1" or "HTTP/1.0"
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  bool tls = false;

  // The first header of that name, compared without regard to case; "" when absent.
  std::string Header(std::string_view aName) const;
};

struct HttpResponse {
  int status = 200;
  std::string contentType = "application/json";
  std::string body;
  int delayMs = 0;    // wait this long before answering (cut short when the server stops)
  bool drop = false;  // close the connection without answering
};

// Called on the connection's thread; may be called from several threads at once.
using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

// The standard reason phrase of a status code ("Unauthorized" for 401).
const char* ReasonPhrase(int aStatus);

class HttpServer {
 public:
  // aTls: nullptr serves plain HTTP; otherwise every connection speaks TLS. Not owned; it must
  // outlive the server.
  HttpServer(HttpHandler aHandler, const TlsContext* aTls);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds 127.0.0.1:aPort (0 picks a free port) and starts accepting. Throws std::runtime_error
  // when the port cannot be bound.
  void Start(uint16_t aPort);
  uint16_t Port() const { return fPort; }
  // Stops accepting, ends every connection and waits for their threads. Idempotent.
  void Stop();

  static constexpr size_t kMaxHeaderBytes = 16 * 1024;
  static constexpr size_t kMaxBodyBytes = 1024 * 1024;
  static constexpr int kMaxConnections = 64;
  static constexpr int kIdleSeconds = 30;

 private:
  struct Worker {
    std::thread thread;
    int fd = -1;
    std::shared_ptr<std::atomic<bool>> done;
  };

  void AcceptLoop();
  void Serve(int aFd);
  // Joins finished workers and closes their sockets; all of them when aAll.
  void Reap(bool aAll);
  // Sleeps up to aMs, returning early (false) when the server stops.
  bool Wait(int aMs);

  HttpHandler fHandler;
  const TlsContext* fTls;
  int fListenFd = -1;
  int fWakePipe[2] = {-1, -1};
  uint16_t fPort = 0;
  std::thread fAcceptThread;
  std::atomic<bool> fStopping{false};
  std::mutex fMutex;  // guards fWorkers and the wait below
  std::condition_variable fStopSignal;
  std::list<Worker> fWorkers;
};

}  // namespace termsim
