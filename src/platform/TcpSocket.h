#pragma once
// TCP over the system's sockets: a client for devices on the network (BSD sockets on Linux,
// Winsock on Windows) and a loopback listener for tests and tools. Bytes travel as std::string.
// Objects are used by one thread at a time; different objects are independent.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace port {

// Outcome of a read. Closed: the peer ended the stream in an orderly way (no more bytes will
// come); TimedOut: nothing arrived within the read time-out; Error: the connection failed (reset,
// not connected, ...).
enum class TcpStatus : uint8_t { Ok, TimedOut, Closed, Error };

// A TCP client connection with an input buffer: the socket is read in chunks into the buffer, and
// the reads below are served from it.
class TcpClient {
 public:
  static std::unique_ptr<TcpClient> Create();
  virtual ~TcpClient() = default;
  TcpClient(const TcpClient&) = delete;
  TcpClient& operator=(const TcpClient&) = delete;

  // Connects to aHost (a name or an address) on aPort, giving up after aTimeoutMs. Throws
  // tVX_Error with the reason ("Connect timed out", the system's text for a refusal, ...). A
  // client that is already connected is disconnected first.
  virtual void Connect(std::u16string_view aHost, uint16_t aPort, int aTimeoutMs) = 0;
  // Open and not closed by the peer as far as is known (looks at the socket without waiting).
  virtual bool Connected() = 0;
  // Closes the socket and drops the input buffer; harmless when not connected.
  virtual void Disconnect() = 0;

  // Milliseconds a read waits for the next bytes to arrive (at least 1).
  virtual void SetReadTimeout(int aTimeoutMs) = 0;
  virtual int ReadTimeout() const = 0;

  // One byte into aByte; waits at most the read time-out for it.
  virtual TcpStatus ReadByte(uint8_t& aByte) = 0;
  // Appends up to aCount bytes to aBytes; stops early on a non-Ok status, whatever came before
  // it stays appended. Each wait for more bytes lasts at most the read time-out.
  virtual TcpStatus Read(std::string& aBytes, size_t aCount) = 0;
  // Text of the last non-Ok status: "Read timed out", "Connection closed gracefully", or the
  // system's text for the error.
  virtual std::u16string LastErrorText() const = 0;

  // Sends every byte. Throws tVX_Error when not connected or when the send fails.
  virtual void Write(std::string_view aBytes) = 0;

  // Bytes already received into the input buffer; the socket itself is not looked at.
  virtual bool HasBufferedInput() const = 0;
  virtual void ClearInputBuffer() = 0;

 protected:
  TcpClient() = default;
};

// One accepted connection on a TcpListener. Reads are unbuffered.
class TcpConnection {
 public:
  virtual ~TcpConnection() = default;
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;

  // Appends what is available (at most aMaxBytes, at least one byte on Ok) to aBytes, waiting up
  // to aTimeoutMs for the first byte.
  virtual TcpStatus Read(std::string& aBytes, size_t aMaxBytes, int aTimeoutMs) = 0;
  // Sends every byte; false when the connection failed.
  virtual bool Write(std::string_view aBytes) = 0;
  // Orderly end of the sending direction: the peer reads the end of the stream.
  virtual void ShutdownWrite() = 0;
  // Closes the socket (idempotent).
  virtual void Close() = 0;
  virtual void SetNoDelay(bool aOn) = 0;

 protected:
  TcpConnection() = default;
};

// A listening socket on 127.0.0.1.
class TcpListener {
 public:
  // Listens on 127.0.0.1:aPort (0: an ephemeral port) with the given accept backlog. Throws
  // tVX_Error with the system's text when the port cannot be bound.
  static std::unique_ptr<TcpListener> Listen(uint16_t aPort = 0, int aBacklog = 16);
  virtual ~TcpListener() = default;
  TcpListener(const TcpListener&) = delete;
  TcpListener& operator=(const TcpListener&) = delete;

  virtual uint16_t Port() const = 0;
  // The next connection, or nullptr when none came within aTimeoutMs.
  virtual std::unique_ptr<TcpConnection> Accept(int aTimeoutMs) = 0;

 protected:
  TcpListener() = default;
};

}  // namespace port
