#include "platform/TcpBufferedClient.h"

#include <algorithm>

namespace port {

TcpStatus TcpBufferedClient::ReadByte(uint8_t& aByte) {
  if (fBufferPos == fBuffer.size()) {
    TcpStatus status = Fill();
    if (status != TcpStatus::Ok) return status;
  }
  aByte = static_cast<uint8_t>(fBuffer[fBufferPos++]);
  return TcpStatus::Ok;
}

TcpStatus TcpBufferedClient::Read(std::string& aBytes, size_t aCount) {
  while (aCount > 0) {
    if (fBufferPos == fBuffer.size()) {
      TcpStatus status = Fill();
      if (status != TcpStatus::Ok) return status;
    }
    size_t take = std::min(aCount, fBuffer.size() - fBufferPos);
    aBytes.append(fBuffer, fBufferPos, take);
    fBufferPos += take;
    aCount -= take;
  }
  return TcpStatus::Ok;
}

void TcpBufferedClient::ClearInputBuffer() {
  fBuffer.clear();
  fBufferPos = 0;
}

void TcpBufferedClient::ResetInput() {
  fPeerClosed = false;
  ClearInputBuffer();
}

TcpStatus TcpBufferedClient::Fill() {
  ClearInputBuffer();
  if (fPeerClosed) return Fail(TcpStatus::Closed, u"Connection closed gracefully");
  return ReceiveChunk(fBuffer);
}

}  // namespace port
