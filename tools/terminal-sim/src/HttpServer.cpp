#include "HttpServer.h"

#include "TlsContext.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>

namespace termsim {

namespace {

bool SameTextAscii(std::string_view aLeft, std::string_view aRight) {
  if (aLeft.size() != aRight.size()) return false;
  for (size_t i = 0; i < aLeft.size(); ++i) {
    char l = aLeft[i], r = aRight[i];
    if (l >= 'A' && l <= 'Z') l = static_cast<char>(l - 'A' + 'a');
    if (r >= 'A' && r <= 'Z') r = static_cast<char>(r - 'A' + 'a');
    if (l != r) return false;
  }
  return true;
}

std::string_view Trim(std::string_view aText) {
  while (!aText.empty() && (aText.front() == ' ' || aText.front() == '\t')) aText.remove_prefix(1);
  while (!aText.empty() && (aText.back() == ' ' || aText.back() == '\t')) aText.remove_suffix(1);
  return aText;
}

bool IsTokenChar(char aChar) {
  const auto c = static_cast<unsigned char>(aChar);
  if (c <= 32 || c >= 127) return false;
  return std::string_view("()<>@,;:\\\"/[]?={}").find(aChar) == std::string_view::npos;
}

// One accepted connection, plain or TLS, with blocking reads and writes bounded by the socket's
// time-outs.
class Channel {
 public:
  Channel(int aFd, SSL* aSsl) : fFd(aFd), fSsl(aSsl) {}
  ~Channel() {
    if (fSsl != nullptr) SSL_free(fSsl);
  }
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  // Appends what arrives to aBuffer; false when the peer closed or the read failed.
  bool ReadMore(std::string& aBuffer) {
    char chunk[16384];
    long got;
    if (fSsl != nullptr) {
      got = SSL_read(fSsl, chunk, sizeof(chunk));
    } else {
      do {
        got = ::recv(fFd, chunk, sizeof(chunk), 0);
      } while (got < 0 && errno == EINTR);
    }
    if (got <= 0) return false;
    aBuffer.append(chunk, static_cast<size_t>(got));
    return true;
  }

  bool Write(std::string_view aData) {
    while (!aData.empty()) {
      long sent;
      if (fSsl != nullptr) {
        sent = SSL_write(fSsl, aData.data(), static_cast<int>(aData.size()));
      } else {
        do {
          sent = ::send(fFd, aData.data(), aData.size(), MSG_NOSIGNAL);
        } while (sent < 0 && errno == EINTR);
      }
      if (sent <= 0) return false;
      aData.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
  }

  // Ends the connection; a graceful end says goodbye on TLS first.
  void Finish(bool aGraceful) {
    if (fSsl != nullptr && aGraceful) SSL_shutdown(fSsl);
    ::shutdown(fFd, SHUT_RDWR);
  }

 private:
  int fFd;
  SSL* fSsl;
};

enum class ReadResult : uint8_t { Ok, Closed, Bad };

struct ParseError {
  int status = 400;
  std::string text;
};

// Reads one request from the channel into aRequest, keeping what follows it in aBuffer.
ReadResult ReadRequest(Channel& aChannel, std::string& aBuffer, HttpRequest& aRequest, ParseError& aError) {
  size_t headerEnd;
  while ((headerEnd = aBuffer.find("\r\n\r\n")) == std::string::npos) {
    if (aBuffer.size() > HttpServer::kMaxHeaderBytes) {
      aError = {431, "request header too large"};
      return ReadResult::Bad;
    }
    if (!aChannel.ReadMore(aBuffer)) {
      if (aBuffer.empty()) return ReadResult::Closed;
      aError = {400, "incomplete request"};
      return ReadResult::Bad;
    }
  }
  if (headerEnd > HttpServer::kMaxHeaderBytes) {
    aError = {431, "request header too large"};
    return ReadResult::Bad;
  }
  const std::string head = aBuffer.substr(0, headerEnd);
  aBuffer.erase(0, headerEnd + 4);

  // Request line: METHOD SP target SP version.
  const size_t lineEnd = head.find("\r\n");
  const std::string line = head.substr(0, lineEnd);
  const size_t sp1 = line.find(' ');
  const size_t sp2 = sp1 == std::string::npos ? std::string::npos : line.find(' ', sp1 + 1);
  if (sp1 == std::string::npos || sp2 == std::string::npos || line.find(' ', sp2 + 1) != std::string::npos) {
    aError = {400, "malformed request line"};
    return ReadResult::Bad;
  }
  aRequest = HttpRequest{};
  aRequest.method = line.substr(0, sp1);
  aRequest.target = line.substr(sp1 + 1, sp2 - sp1 - 1);
  aRequest.version = line.substr(sp2 + 1);
  if (aRequest.method.empty() || aRequest.target.empty() || aRequest.target[0] != '/') {
    aError = {400, "malformed request line"};
    return ReadResult::Bad;
  }
  for (const char c : aRequest.method) {
    if (!IsTokenChar(c)) {
      aError = {400, "malformed method"};
      return ReadResult::Bad;
    }
  }
  if (aRequest.version != "HTTP/1.1" && aRequest.version != "HTTP/1.0") {
    aError = {505, "unsupported HTTP version"};
    return ReadResult::Bad;
  }
  const size_t question = aRequest.target.find('?');
  aRequest.path = aRequest.target.substr(0, question);
  if (question != std::string::npos) aRequest.query = aRequest.target.substr(question + 1);

  // Header fields.
  size_t pos = lineEnd == std::string::npos ? head.size() : lineEnd + 2;
  while (pos < head.size()) {
    size_t end = head.find("\r\n", pos);
    if (end == std::string::npos) end = head.size();
    const std::string_view field(head.data() + pos, end - pos);
    const size_t colon = field.find(':');
    if (colon == std::string_view::npos || colon == 0) {
      aError = {400, "malformed header field"};
      return ReadResult::Bad;
    }
    for (size_t i = 0; i < colon; ++i) {
      if (!IsTokenChar(field[i])) {
        aError = {400, "malformed header name"};
        return ReadResult::Bad;
      }
    }
    aRequest.headers.emplace_back(std::string(field.substr(0, colon)), std::string(Trim(field.substr(colon + 1))));
    pos = end + 2;
  }

  // Body: Content-Length or chunked, never both.
  const std::string transferEncoding = aRequest.Header("Transfer-Encoding");
  std::string lengthText;
  int lengthHeaders = 0;
  for (const auto& [name, value] : aRequest.headers) {
    if (SameTextAscii(name, "Content-Length")) {
      if (lengthHeaders++ > 0 && value != lengthText) {
        aError = {400, "conflicting Content-Length"};
        return ReadResult::Bad;
      }
      lengthText = value;
    }
  }
  if (!transferEncoding.empty() && lengthHeaders > 0) {
    aError = {400, "both Content-Length and Transfer-Encoding"};
    return ReadResult::Bad;
  }
  const bool chunked = SameTextAscii(transferEncoding, "chunked");
  if (!transferEncoding.empty() && !chunked) {
    aError = {501, "unsupported Transfer-Encoding"};
    return ReadResult::Bad;
  }
  size_t length = 0;
  if (lengthHeaders > 0) {
    if (lengthText.empty() || lengthText.size() > 9) {
      aError = {lengthText.size() > 9 ? 413 : 400, "bad Content-Length"};
      return ReadResult::Bad;
    }
    for (const char c : lengthText) {
      if (c < '0' || c > '9') {
        aError = {400, "bad Content-Length"};
        return ReadResult::Bad;
      }
      length = length * 10 + static_cast<size_t>(c - '0');
    }
    if (length > HttpServer::kMaxBodyBytes) {
      aError = {413, "request body too large"};
      return ReadResult::Bad;
    }
  }
  const bool expectContinue = SameTextAscii(aRequest.Header("Expect"), "100-continue");
  if (expectContinue && aRequest.version == "HTTP/1.1" && (chunked || aBuffer.size() < length)) {
    if (!aChannel.Write("HTTP/1.1 100 Continue\r\n\r\n")) return ReadResult::Closed;
  }

  if (!chunked) {
    while (aBuffer.size() < length) {
      if (!aChannel.ReadMore(aBuffer)) {
        aError = {400, "incomplete body"};
        return ReadResult::Bad;
      }
    }
    aRequest.body = aBuffer.substr(0, length);
    aBuffer.erase(0, length);
    return ReadResult::Ok;
  }

  // Chunked: size line, data, CRLF ... a zero size, optional trailer fields, CRLF.
  while (true) {
    size_t sizeEnd;
    while ((sizeEnd = aBuffer.find("\r\n")) == std::string::npos) {
      if (aBuffer.size() > 64 || !aChannel.ReadMore(aBuffer)) {
        aError = {400, "malformed chunk"};
        return ReadResult::Bad;
      }
    }
    size_t chunkSize = 0;
    size_t digits = 0;
    for (; digits < sizeEnd && digits < 8; ++digits) {
      const char c = aBuffer[digits];
      int v = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
      if (v < 0) break;
      chunkSize = chunkSize * 16 + static_cast<size_t>(v);
    }
    if (digits == 0 || (digits < sizeEnd && aBuffer[digits] != ';')) {
      aError = {400, "malformed chunk size"};
      return ReadResult::Bad;
    }
    aBuffer.erase(0, sizeEnd + 2);
    if (chunkSize == 0) break;
    if (aRequest.body.size() + chunkSize > HttpServer::kMaxBodyBytes) {
      aError = {413, "request body too large"};
      return ReadResult::Bad;
    }
    while (aBuffer.size() < chunkSize + 2) {
      if (!aChannel.ReadMore(aBuffer)) {
        aError = {400, "incomplete chunk"};
        return ReadResult::Bad;
      }
    }
    if (aBuffer.compare(chunkSize, 2, "\r\n") != 0) {
      aError = {400, "malformed chunk"};
      return ReadResult::Bad;
    }
    aRequest.body.append(aBuffer, 0, chunkSize);
    aBuffer.erase(0, chunkSize + 2);
  }
  // Trailer fields are read and ignored up to the empty line.
  while (true) {
    size_t end;
    while ((end = aBuffer.find("\r\n")) == std::string::npos) {
      if (aBuffer.size() > HttpServer::kMaxHeaderBytes || !aChannel.ReadMore(aBuffer)) {
        aError = {400, "malformed chunk trailer"};
        return ReadResult::Bad;
      }
    }
    aBuffer.erase(0, end + 2);
    if (end == 0) break;
  }
  return ReadResult::Ok;
}

std::string FormatResponse(const HttpResponse& aResponse, bool aKeepAlive) {
  std::string out = "HTTP/1.1 " + std::to_string(aResponse.status) + " " + ReasonPhrase(aResponse.status) + "\r\n";
  out += "Server: terminal-sim\r\n";
  if (!aResponse.contentType.empty()) out += "Content-Type: " + aResponse.contentType + "\r\n";
  out += "Content-Length: " + std::to_string(aResponse.body.size()) + "\r\n";
  out += aKeepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
  out += "\r\n";
  out += aResponse.body;
  return out;
}

}  // namespace

std::string HttpRequest::Header(std::string_view aName) const {
  for (const auto& [name, value] : headers) {
    if (SameTextAscii(name, aName)) return value;
  }
  return {};
}

const char* ReasonPhrase(int aStatus) {
  switch (aStatus) {
    case 100: return "Continue";
    case 200: return "OK";
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 413: return "Payload Too Large";
    case 415: return "Unsupported Media Type";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    case 505: return "HTTP Version Not Supported";
    default: return "Unknown";
  }
}

HttpServer::HttpServer(HttpHandler aHandler, const TlsContext* aTls) : fHandler(std::move(aHandler)), fTls(aTls) {}

HttpServer::~HttpServer() { Stop(); }

void HttpServer::Start(uint16_t aPort) {
  if (fListenFd >= 0) throw std::runtime_error("server already started");
  // A peer that hangs up while TLS writes must not end the process.
  ::signal(SIGPIPE, SIG_IGN);
  fListenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fListenFd < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
  const int on = 1;
  ::setsockopt(fListenFd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(aPort);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fListenFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(fListenFd, 64) != 0) {
    const std::string reason = std::strerror(errno);
    ::close(fListenFd);
    fListenFd = -1;
    throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(aPort) + ": " + reason);
  }
  socklen_t size = sizeof(address);
  ::getsockname(fListenFd, reinterpret_cast<sockaddr*>(&address), &size);
  fPort = ntohs(address.sin_port);
  if (::pipe2(fWakePipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  fAcceptThread = std::thread([this] { AcceptLoop(); });
}

void HttpServer::Stop() {
  if (fListenFd < 0) return;
  {
    std::lock_guard<std::mutex> lock(fMutex);
    fStopping = true;
  }
  fStopSignal.notify_all();
  const char wake = 1;
  [[maybe_unused]] const auto ignored = ::write(fWakePipe[1], &wake, 1);
  if (fAcceptThread.joinable()) fAcceptThread.join();
  {
    std::lock_guard<std::mutex> lock(fMutex);
    for (auto& worker : fWorkers) {
      if (!*worker.done) ::shutdown(worker.fd, SHUT_RDWR);
    }
  }
  Reap(true);
  ::close(fListenFd);
  ::close(fWakePipe[0]);
  ::close(fWakePipe[1]);
  fListenFd = -1;
}

void HttpServer::AcceptLoop() {
  while (!fStopping) {
    pollfd fds[2] = {{fListenFd, POLLIN, 0}, {fWakePipe[0], POLLIN, 0}};
    const int ready = ::poll(fds, 2, 1000);
    Reap(false);
    if (ready <= 0 || (fds[1].revents & POLLIN) != 0) continue;
    if ((fds[0].revents & POLLIN) == 0) continue;
    const int fd = ::accept4(fListenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    timeval idle{kIdleSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &idle, sizeof(idle));
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &idle, sizeof(idle));
    std::lock_guard<std::mutex> lock(fMutex);
    if (fStopping || static_cast<int>(fWorkers.size()) >= kMaxConnections) {
      ::close(fd);
      continue;
    }
    Worker& worker = fWorkers.emplace_back();
    worker.fd = fd;
    worker.done = std::make_shared<std::atomic<bool>>(false);
    worker.thread = std::thread([this, fd, done = worker.done] {
      Serve(fd);
      *done = true;
    });
  }
}

void HttpServer::Reap(bool aAll) {
  std::list<Worker> finished;
  {
    std::lock_guard<std::mutex> lock(fMutex);
    for (auto it = fWorkers.begin(); it != fWorkers.end();) {
      if (aAll || *it->done) {
        auto next = std::next(it);
        finished.splice(finished.end(), fWorkers, it);
        it = next;
      } else {
        ++it;
      }
    }
  }
  // The socket is closed only after its thread ended, so its number cannot be reused while a
  // shutdown from Stop might still reach it.
  for (auto& worker : finished) {
    if (worker.thread.joinable()) worker.thread.join();
    ::close(worker.fd);
  }
}

bool HttpServer::Wait(int aMs) {
  std::unique_lock<std::mutex> lock(fMutex);
  return !fStopSignal.wait_for(lock, std::chrono::milliseconds(aMs), [this] { return fStopping.load(); });
}

void HttpServer::Serve(int aFd) {
  SSL* ssl = nullptr;
  if (fTls != nullptr) {
    ssl = SSL_new(fTls->Native());
    if (ssl == nullptr) return;
    SSL_set_fd(ssl, aFd);
    if (SSL_accept(ssl) != 1) {
      SSL_free(ssl);
      ::shutdown(aFd, SHUT_RDWR);
      return;
    }
  }
  Channel channel(aFd, ssl);
  std::string buffer;
  while (!fStopping) {
    HttpRequest request;
    ParseError error;
    const ReadResult read = ReadRequest(channel, buffer, request, error);
    if (read == ReadResult::Closed) break;
    if (read == ReadResult::Bad) {
      HttpResponse bad;
      bad.status = error.status;
      bad.body = "{\"errors\":[\"" + error.text + "\"]}";
      channel.Write(FormatResponse(bad, false));
      break;
    }
    request.tls = fTls != nullptr;

    HttpResponse response;
    try {
      response = fHandler(request);
    } catch (const std::exception& e) {
      response = HttpResponse{};
      response.status = 500;
      response.contentType = "text/plain";
      response.body = std::string("internal error: ") + e.what();
    }
    if (response.delayMs > 0 && !Wait(response.delayMs)) break;
    if (response.drop) {
      channel.Finish(false);
      return;
    }
    const std::string connection = request.Header("Connection");
    const bool keepAlive = request.version == "HTTP/1.1" ? !SameTextAscii(connection, "close")
                                                         : SameTextAscii(connection, "keep-alive");
    if (!channel.Write(FormatResponse(response, keepAlive)) || !keepAlive) break;
  }
  channel.Finish(true);
}

}  // namespace termsim
