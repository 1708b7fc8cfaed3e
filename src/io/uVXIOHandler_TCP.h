#pragma once
// The I/O handler of a raw TCP device: terminator-based, counted and timed reads, one byte per
// character on the wire (or a Windows code page for written text). Reads never throw: failures
// become log lines and short results. ReadBytes and the writes pass errors on.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "io/uVXIOHandler.h"
#include "platform/TcpSocket.h"

class kIOHandler_TCP : public kIOHandler {
 public:
  // aConnection may be null. With one: host := its Address, port := its Port (low 16 bits).
  kIOHandler_TCP(const kConnection* aConnection, std::u16string_view aDirectory, std::u16string_view aFileName);
  ~kIOHandler_TCP() override;

  bool Connected() override;
  // The banner, "Host=" and "Port=" lines, then connects (bounded by the connect time-out given
  // at creation). False, with a log line, when that fails; never throws.
  bool Connect() override;
  bool Disconnect() override;
  void ClearBuffers() override;  // drops the bytes already received
  // Logs and sends aMessage, one byte per character (0..255; '?' above), or in CodePage when it is
  // non-zero. Throws tVX_Error when the send fails.
  bool Write(std::u16string_view aMessage) override;
  bool WriteBytes(const std::vector<uint8_t>& aBytes);
  // Reads byte by byte until a terminator (kept in the result) or until ReadTimeout has passed.
  std::u16string ReadUpTo(const std::vector<uint8_t>& aChars) override;
  // aCharsNum bytes; fewer when the line falls silent for ReadTimeout or the peer closes.
  std::u16string ReadChars(int32_t aCharsNum) override;
  // Everything until ReadTimeout has passed, the peer closes or the line falls silent.
  std::u16string ReadAll() override;
  // Exactly aCount bytes under the client's current read time-out; throws tVX_Error otherwise.
  std::vector<uint8_t> ReadBytes(int32_t aCount);
  std::u16string DecodeError(int32_t aErrorCode) override;  // empty text
  bool InputBufferContainsData() override;  // bytes already received, not yet read
  void SetParameter(std::u16string_view aName, std::u16string_view aValue) override;  // nothing

  port::TcpClient& TCPClient() const { return *fTCPClient; }
  const std::u16string& Host() const { return fHost; }
  uint16_t Port() const { return fPort; }

 private:
  std::unique_ptr<port::TcpClient> fTCPClient;
  std::u16string fHost;
  uint16_t fPort = 0;
  int32_t fClientConnectTimeout = 0;
};
