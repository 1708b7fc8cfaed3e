// TCP over BSD sockets. Client sockets stay non-blocking and every wait is a poll() with the
// time left, so no call can block past its time-out.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

#include "platform/Error.h"
#include "platform/TcpBufferedClient.h"
#include "platform/TcpSocket.h"
#include "platform/Utf8.h"

namespace port {

namespace {

using Clock = std::chrono::steady_clock;

std::u16string SystemErrorText(int aError) {
  return FromUtf8("Socket error " + std::to_string(aError) + ": " + std::strerror(aError));
}

int MsLeft(Clock::time_point aDeadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(aDeadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for aEvents on aFd for at most aTimeoutMs: 1 ready, 0 timed out, -1 error (errno set).
int WaitFor(int aFd, short aEvents, int aTimeoutMs) {
  auto deadline = Clock::now() + std::chrono::milliseconds(aTimeoutMs);
  for (;;) {
    pollfd p{aFd, aEvents, 0};
    int rc = poll(&p, 1, MsLeft(deadline));
    if (rc >= 0) return rc > 0 ? 1 : 0;
    if (errno != EINTR) return -1;
  }
}

void SetNonBlocking(int aFd) { fcntl(aFd, F_SETFL, fcntl(aFd, F_GETFL, 0) | O_NONBLOCK); }

class PosixTcpClient final : public TcpBufferedClient {
 public:
  ~PosixTcpClient() override { Disconnect(); }

  void Connect(std::u16string_view aHost, uint16_t aPort, int aTimeoutMs) override {
    Disconnect();
    auto deadline = Clock::now() + std::chrono::milliseconds(aTimeoutMs > 0 ? aTimeoutMs : 1);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    std::string host = ToUtf8(aHost);
    int rc = getaddrinfo(host.c_str(), std::to_string(aPort).c_str(), &hints, &list);
    if (rc != 0) throw tVX_Error(FromUtf8("Cannot resolve host " + host + ": " + gai_strerror(rc)));
    std::u16string failure = u"Connect timed out";
    for (addrinfo* a = list; a != nullptr; a = a->ai_next) {
      int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
      if (fd < 0) {
        failure = SystemErrorText(errno);
        continue;
      }
      SetNonBlocking(fd);
      int error = 0;
      if (connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
        error = errno;
        if (error == EINPROGRESS) {
          int ready = WaitFor(fd, POLLOUT, MsLeft(deadline));
          if (ready == 0) {
            close(fd);
            failure = u"Connect timed out";
            break;  // the time is used up
          }
          socklen_t len = sizeof(error);
          error = ready < 0 ? errno : 0;
          if (ready > 0 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0) error = errno;
        }
      }
      if (error == 0) {
        fFd = fd;
        break;
      }
      close(fd);
      failure = SystemErrorText(error);
    }
    freeaddrinfo(list);
    if (fFd < 0) throw tVX_Error(failure);
  }

  bool Connected() override {
    if (fFd < 0 || PeerClosed()) return false;
    char probe;
    ssize_t n = recv(fFd, &probe, 1, MSG_PEEK);
    if (n == 0) NotePeerClosed();
    else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
    return !PeerClosed();
  }

  void Disconnect() override {
    if (fFd >= 0) close(fFd);
    fFd = -1;
    ResetInput();
  }

  void Write(std::string_view aBytes) override {
    if (fFd < 0) throw tVX_Error(u"Not Connected");
    while (!aBytes.empty()) {
      ssize_t n = send(fFd, aBytes.data(), aBytes.size(), MSG_NOSIGNAL);
      if (n > 0) {
        aBytes.remove_prefix(static_cast<size_t>(n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        int ready = WaitFor(fFd, POLLOUT, ReadTimeout());
        if (ready > 0) continue;
        if (ready == 0) throw tVX_Error(u"Write timed out");
      }
      throw tVX_Error(SystemErrorText(errno));
    }
  }

 private:
  TcpStatus ReceiveChunk(std::string& aChunk) override {
    if (fFd < 0) return Fail(TcpStatus::Error, u"Not Connected");
    auto deadline = Clock::now() + std::chrono::milliseconds(ReadTimeout());
    for (;;) {
      int ready = WaitFor(fFd, POLLIN, MsLeft(deadline));
      if (ready == 0) return Fail(TcpStatus::TimedOut, u"Read timed out");
      if (ready < 0) return Fail(TcpStatus::Error, SystemErrorText(errno));
      char chunk[4096];
      ssize_t n = recv(fFd, chunk, sizeof chunk, 0);
      if (n > 0) {
        aChunk.assign(chunk, static_cast<size_t>(n));
        return TcpStatus::Ok;
      }
      if (n == 0) return MarkPeerClosed();
      if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
        return Fail(TcpStatus::Error, SystemErrorText(errno));
    }
  }

  int fFd = -1;
};

class PosixTcpConnection final : public TcpConnection {
 public:
  explicit PosixTcpConnection(int aFd) : fFd(aFd) {}
  ~PosixTcpConnection() override { Close(); }

  TcpStatus Read(std::string& aBytes, size_t aMaxBytes, int aTimeoutMs) override {
    if (fFd < 0) return TcpStatus::Error;
    int ready = WaitFor(fFd, POLLIN, aTimeoutMs);
    if (ready == 0) return TcpStatus::TimedOut;
    if (ready < 0) return TcpStatus::Error;
    std::string chunk(aMaxBytes > 0 ? aMaxBytes : 1, '\0');
    ssize_t n = recv(fFd, chunk.data(), chunk.size(), 0);
    if (n == 0) return TcpStatus::Closed;
    if (n < 0) return (errno == EAGAIN || errno == EINTR) ? TcpStatus::TimedOut : TcpStatus::Error;
    aBytes.append(chunk.data(), static_cast<size_t>(n));
    return TcpStatus::Ok;
  }

  bool Write(std::string_view aBytes) override {
    while (fFd >= 0 && !aBytes.empty()) {
      ssize_t n = send(fFd, aBytes.data(), aBytes.size(), MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      aBytes.remove_prefix(static_cast<size_t>(n));
    }
    return fFd >= 0;
  }

  void ShutdownWrite() override {
    if (fFd >= 0) shutdown(fFd, SHUT_WR);
  }

  void Close() override {
    if (fFd >= 0) close(fFd);
    fFd = -1;
  }

  void SetNoDelay(bool aOn) override {
    int flag = aOn ? 1 : 0;
    if (fFd >= 0) setsockopt(fFd, IPPROTO_TCP, TCP_NODELAY, &flag, sizeof flag);
  }

 private:
  int fFd;
};

class PosixTcpListener final : public TcpListener {
 public:
  PosixTcpListener(uint16_t aPort, int aBacklog) {
    fFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fFd < 0) throw tVX_Error(SystemErrorText(errno));
    int one = 1;
    setsockopt(fFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(aPort);
    socklen_t len = sizeof address;
    if (bind(fFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fFd, aBacklog) != 0 ||
        getsockname(fFd, reinterpret_cast<sockaddr*>(&address), &len) != 0) {
      int error = errno;
      close(fFd);
      throw tVX_Error(SystemErrorText(error));
    }
    fPort = ntohs(address.sin_port);
  }
  ~PosixTcpListener() override { close(fFd); }

  uint16_t Port() const override { return fPort; }

  std::unique_ptr<TcpConnection> Accept(int aTimeoutMs) override {
    if (WaitFor(fFd, POLLIN, aTimeoutMs) <= 0) return nullptr;
    int fd = accept4(fFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixTcpConnection>(fd);
  }

 private:
  int fFd = -1;
  uint16_t fPort = 0;
};

}  // namespace

std::unique_ptr<TcpClient> TcpClient::Create() { return std::make_unique<PosixTcpClient>(); }

std::unique_ptr<TcpListener> TcpListener::Listen(uint16_t aPort, int aBacklog) {
  return std::make_unique<PosixTcpListener>(aPort, aBacklog);
}

}  // namespace port
