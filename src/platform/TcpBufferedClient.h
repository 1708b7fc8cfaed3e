#pragma once
// The part of a TCP client that is the same on every system: the input buffer the reads are
// served from, the read time-out, the text of the last failure and the peer's orderly close. A
// system's client adds the socket: connecting, writing, and receiving one chunk (ReceiveChunk).
#include <string>

#include "platform/TcpSocket.h"

namespace port {

class TcpBufferedClient : public TcpClient {
 public:
  void SetReadTimeout(int aTimeoutMs) override { fReadTimeout = aTimeoutMs > 0 ? aTimeoutMs : 1; }
  int ReadTimeout() const override { return fReadTimeout; }

  TcpStatus ReadByte(uint8_t& aByte) override;
  TcpStatus Read(std::string& aBytes, size_t aCount) override;
  std::u16string LastErrorText() const override { return fLastError; }

  bool HasBufferedInput() const override { return fBufferPos < fBuffer.size(); }
  void ClearInputBuffer() override;

 protected:
  // Waits up to the read time-out for the next bytes and appends them to the empty aChunk. Ok
  // with at least one byte, or the failure recorded with Fail (MarkPeerClosed when the peer
  // ended the stream).
  virtual TcpStatus ReceiveChunk(std::string& aChunk) = 0;

  TcpStatus Fail(TcpStatus aStatus, std::u16string aText) {
    fLastError = std::move(aText);
    return aStatus;
  }
  // The peer ended the stream: no more bytes will come on this connection.
  void NotePeerClosed() { fPeerClosed = true; }
  TcpStatus MarkPeerClosed() {
    NotePeerClosed();
    return Fail(TcpStatus::Closed, u"Connection closed gracefully");
  }
  bool PeerClosed() const { return fPeerClosed; }
  // Forgets the buffered input and the peer's close, for a new connection or none.
  void ResetInput();

 private:
  // Receives the next chunk into the emptied input buffer.
  TcpStatus Fill();

  bool fPeerClosed = false;
  int fReadTimeout = 1000;
  std::string fBuffer;
  size_t fBufferPos = 0;
  std::u16string fLastError;
};

}  // namespace port
