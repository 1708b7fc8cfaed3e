#pragma once
// A small HTTP/1.1 server on 127.0.0.1 (an ephemeral port) for tests: it answers each request with
// the next canned response (or the default one), records every request it reads, and can delay an
// answer, close without answering, or hold the connection without ever answering. Requests are
// served one at a time on the server's own thread; every answer closes its connection.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace port {
class TcpListener;
class TcpConnection;
}  // namespace port

namespace vxtest {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct RecordedRequest {
  std::string method;   // "POST"
  std::string target;   // "/nexo?x=1"
  std::string version;  // "HTTP/1.1"
  HeaderList headers;   // in the order received
  std::string body;
  // The first header of that name (ASCII case ignored), or nothing.
  std::optional<std::string> Header(const std::string& aName) const;
};

struct CannedResponse {
  enum class Action { Answer, CloseWithoutAnswer, NeverAnswer };
  int status = 200;
  std::string reason = "OK";
  HeaderList headers;  // Content-Length and "Connection: close" are added unless given
  std::string body;
  int delayMs = 0;     // wait this long before answering
  Action action = Action::Answer;
};

class TestHttpServer {
 public:
  TestHttpServer();
  ~TestHttpServer();  // stops the thread; a held connection is closed
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  uint16_t Port() const { return fPort; }
  // "http://127.0.0.1:<port>" + aPath
  std::string Url(const std::string& aPath = "/") const;
  std::u16string Url16(const std::string& aPath = "/") const;

  // The answer used when no queued one is left (200 "OK" with an empty body at first).
  void SetDefaultResponse(CannedResponse aResponse);
  // Answers the next request (queued answers are used in order, each once).
  void Enqueue(CannedResponse aResponse);

  std::vector<RecordedRequest> Requests() const;
  // Waits until at least aCount requests have been read; false after aTimeoutMs.
  bool WaitForRequests(size_t aCount, int aTimeoutMs) const;

 private:
  void Run();
  void Serve(port::TcpConnection& aConnection);
  bool ReadRequest(port::TcpConnection& aConnection, RecordedRequest& aRequest);
  CannedResponse NextResponse();
  bool Stopping() const;

  std::unique_ptr<port::TcpListener> fListener;
  uint16_t fPort = 0;
  mutable std::mutex fMutex;
  mutable std::condition_variable fChanged;
  bool fStop = false;
  CannedResponse fDefault;
  std::deque<CannedResponse> fQueue;
  std::vector<RecordedRequest> fRequests;
  std::thread fThread;
};

}  // namespace vxtest
