// TCP over Winsock. Client sockets stay non-blocking and every wait is a select() with the time
// left, so no call can block past its time-out. Winsock is started once per process.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>

#include "platform/Error.h"
#include "platform/TcpBufferedClient.h"
#include "platform/TcpSocket.h"
#include "platform/Utf8.h"

namespace port {

namespace {

using Clock = std::chrono::steady_clock;

void StartWinsock() {
  static std::once_flag once;
  std::call_once(once, [] {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  });
}

std::u16string SystemErrorText(int aError) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(aError), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string message = FromUtf8("Socket error " + std::to_string(aError));
  if (n > 0 && text != nullptr) {
    std::u16string system(reinterpret_cast<const char16_t*>(text), n);
    while (!system.empty() && (system.back() == u'\r' || system.back() == u'\n' || system.back() == u' '))
      system.pop_back();
    if (!system.empty()) message += u": " + system;
  }
  if (text != nullptr) LocalFree(text);
  return message;
}

int MsLeft(Clock::time_point aDeadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(aDeadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until aSocket is readable (or, with aWrite, writable or failed to connect) for at most
// aTimeoutMs: 1 ready, 0 timed out, -1 error (WSAGetLastError set).
int WaitFor(SOCKET aSocket, bool aWrite, int aTimeoutMs) {
  fd_set main, failed;
  FD_ZERO(&main);
  FD_ZERO(&failed);
  FD_SET(aSocket, &main);
  FD_SET(aSocket, &failed);
  timeval tv{aTimeoutMs / 1000, (aTimeoutMs % 1000) * 1000};
  int rc = aWrite ? select(0, nullptr, &main, &failed, &tv) : select(0, &main, nullptr, nullptr, &tv);
  if (rc == SOCKET_ERROR) return -1;
  return rc > 0 ? 1 : 0;
}

void SetNonBlocking(SOCKET aSocket) {
  u_long on = 1;
  ioctlsocket(aSocket, FIONBIO, &on);
}

class WinTcpClient final : public TcpBufferedClient {
 public:
  WinTcpClient() { StartWinsock(); }
  ~WinTcpClient() override { Disconnect(); }

  void Connect(std::u16string_view aHost, uint16_t aPort, int aTimeoutMs) override {
    Disconnect();
    auto deadline = Clock::now() + std::chrono::milliseconds(aTimeoutMs > 0 ? aTimeoutMs : 1);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    std::string host = ToUtf8(aHost);
    int rc = getaddrinfo(host.c_str(), std::to_string(aPort).c_str(), &hints, &list);
    if (rc != 0) throw tVX_Error(u"Cannot resolve host " + std::u16string(aHost) + u": " + SystemErrorText(rc));
    std::u16string failure = u"Connect timed out";
    for (addrinfo* a = list; a != nullptr; a = a->ai_next) {
      SOCKET s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
      if (s == INVALID_SOCKET) {
        failure = SystemErrorText(WSAGetLastError());
        continue;
      }
      SetNonBlocking(s);
      int error = 0;
      if (connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == SOCKET_ERROR) {
        error = WSAGetLastError();
        if (error == WSAEWOULDBLOCK) {
          int ready = WaitFor(s, true, MsLeft(deadline));
          if (ready == 0) {
            closesocket(s);
            failure = u"Connect timed out";
            break;  // the time is used up
          }
          int len = sizeof(error);
          error = ready < 0 ? WSAGetLastError() : 0;
          if (ready > 0 && getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &len) != 0)
            error = WSAGetLastError();
        }
      }
      if (error == 0) {
        fSocket = s;
        break;
      }
      closesocket(s);
      failure = SystemErrorText(error);
    }
    freeaddrinfo(list);
    if (fSocket == INVALID_SOCKET) throw tVX_Error(failure);
  }

  bool Connected() override {
    if (fSocket == INVALID_SOCKET || PeerClosed()) return false;
    char probe;
    int n = recv(fSocket, &probe, 1, MSG_PEEK);
    if (n == 0) NotePeerClosed();
    else if (n == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK) return false;
    return !PeerClosed();
  }

  void Disconnect() override {
    if (fSocket != INVALID_SOCKET) closesocket(fSocket);
    fSocket = INVALID_SOCKET;
    ResetInput();
  }

  void Write(std::string_view aBytes) override {
    if (fSocket == INVALID_SOCKET) throw tVX_Error(u"Not Connected");
    while (!aBytes.empty()) {
      int chunk = static_cast<int>(std::min<size_t>(aBytes.size(), 1 << 20));
      int n = send(fSocket, aBytes.data(), chunk, 0);
      if (n > 0) {
        aBytes.remove_prefix(static_cast<size_t>(n));
        continue;
      }
      int error = WSAGetLastError();
      if (n == SOCKET_ERROR && error == WSAEWOULDBLOCK) {
        int ready = WaitFor(fSocket, true, ReadTimeout());
        if (ready > 0) continue;
        if (ready == 0) throw tVX_Error(u"Write timed out");
        error = WSAGetLastError();
      }
      throw tVX_Error(SystemErrorText(error));
    }
  }

 private:
  TcpStatus ReceiveChunk(std::string& aChunk) override {
    if (fSocket == INVALID_SOCKET) return Fail(TcpStatus::Error, u"Not Connected");
    auto deadline = Clock::now() + std::chrono::milliseconds(ReadTimeout());
    for (;;) {
      int ready = WaitFor(fSocket, false, MsLeft(deadline));
      if (ready == 0) return Fail(TcpStatus::TimedOut, u"Read timed out");
      if (ready < 0) return Fail(TcpStatus::Error, SystemErrorText(WSAGetLastError()));
      char chunk[4096];
      int n = recv(fSocket, chunk, sizeof chunk, 0);
      if (n > 0) {
        aChunk.assign(chunk, static_cast<size_t>(n));
        return TcpStatus::Ok;
      }
      if (n == 0) return MarkPeerClosed();
      int error = WSAGetLastError();
      if (error != WSAEWOULDBLOCK) return Fail(TcpStatus::Error, SystemErrorText(error));
    }
  }

  SOCKET fSocket = INVALID_SOCKET;
};

class WinTcpConnection final : public TcpConnection {
 public:
  explicit WinTcpConnection(SOCKET aSocket) : fSocket(aSocket) {}
  ~WinTcpConnection() override { Close(); }

  TcpStatus Read(std::string& aBytes, size_t aMaxBytes, int aTimeoutMs) override {
    if (fSocket == INVALID_SOCKET) return TcpStatus::Error;
    int ready = WaitFor(fSocket, false, aTimeoutMs);
    if (ready == 0) return TcpStatus::TimedOut;
    if (ready < 0) return TcpStatus::Error;
    std::string chunk(std::min<size_t>(aMaxBytes > 0 ? aMaxBytes : 1, 1 << 20), '\0');
    int n = recv(fSocket, chunk.data(), static_cast<int>(chunk.size()), 0);
    if (n == 0) return TcpStatus::Closed;
    if (n == SOCKET_ERROR) return WSAGetLastError() == WSAEWOULDBLOCK ? TcpStatus::TimedOut : TcpStatus::Error;
    aBytes.append(chunk.data(), static_cast<size_t>(n));
    return TcpStatus::Ok;
  }

  bool Write(std::string_view aBytes) override {
    while (fSocket != INVALID_SOCKET && !aBytes.empty()) {
      int chunk = static_cast<int>(std::min<size_t>(aBytes.size(), 1 << 20));
      int n = send(fSocket, aBytes.data(), chunk, 0);
      if (n <= 0) return false;
      aBytes.remove_prefix(static_cast<size_t>(n));
    }
    return fSocket != INVALID_SOCKET;
  }

  void ShutdownWrite() override {
    if (fSocket != INVALID_SOCKET) shutdown(fSocket, SD_SEND);
  }

  void Close() override {
    if (fSocket != INVALID_SOCKET) closesocket(fSocket);
    fSocket = INVALID_SOCKET;
  }

  void SetNoDelay(bool aOn) override {
    BOOL flag = aOn ? TRUE : FALSE;
    if (fSocket != INVALID_SOCKET)
      setsockopt(fSocket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&flag), sizeof flag);
  }

 private:
  SOCKET fSocket;
};

class WinTcpListener final : public TcpListener {
 public:
  WinTcpListener(uint16_t aPort, int aBacklog) {
    StartWinsock();
    fSocket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (fSocket == INVALID_SOCKET) throw tVX_Error(SystemErrorText(WSAGetLastError()));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(aPort);
    int len = sizeof address;
    if (bind(fSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fSocket, aBacklog) != 0 || getsockname(fSocket, reinterpret_cast<sockaddr*>(&address), &len) != 0) {
      int error = WSAGetLastError();
      closesocket(fSocket);
      throw tVX_Error(SystemErrorText(error));
    }
    fPort = ntohs(address.sin_port);
  }
  ~WinTcpListener() override { closesocket(fSocket); }

  uint16_t Port() const override { return fPort; }

  std::unique_ptr<TcpConnection> Accept(int aTimeoutMs) override {
    if (WaitFor(fSocket, false, aTimeoutMs) <= 0) return nullptr;
    SOCKET s = accept(fSocket, nullptr, nullptr);
    if (s == INVALID_SOCKET) return nullptr;
    u_long off = 0;  // accepted sockets may inherit the listener's mode: make them blocking
    ioctlsocket(s, FIONBIO, &off);
    return std::make_unique<WinTcpConnection>(s);
  }

 private:
  SOCKET fSocket = INVALID_SOCKET;
  uint16_t fPort = 0;
};

}  // namespace

std::unique_ptr<TcpClient> TcpClient::Create() { return std::make_unique<WinTcpClient>(); }

std::unique_ptr<TcpListener> TcpListener::Listen(uint16_t aPort, int aBacklog) {
  return std::make_unique<WinTcpListener>(aPort, aBacklog);
}

}  // namespace port
