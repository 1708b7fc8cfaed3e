#include "io/uVXIOHandler_TCP.h"

#include <algorithm>
#include <chrono>

#include "base/uVX_Text.h"
#include "platform/CodePage.h"
#include "platform/Error.h"

namespace {

using Clock = std::chrono::steady_clock;

int64_t ElapsedMs(Clock::time_point aStart) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - aStart).count();
}

// Bytes as text, each byte the character of the same code.
std::u16string AsText(std::string_view aBytes) { return port::DecodeCodePage(aBytes, port::kLatin1CodePage); }

}  // namespace

kIOHandler_TCP::kIOHandler_TCP(const kConnection* aConnection, std::u16string_view aDirectory,
                               std::u16string_view aFileName)
    : kIOHandler(u"kIOHandler_TCP", aConnection, aDirectory, aFileName), fTCPClient(port::TcpClient::Create()) {
  if (aConnection != nullptr) {
    fHost = aConnection->Address();
    fPort = static_cast<uint16_t>(aConnection->Port() & 0xFFFF);
  }
  fClientConnectTimeout = ConnectTimeout();
  // ReadBytes reads under the client's own time-out: start it at the handler's, never unbounded.
  fTCPClient->SetReadTimeout(ReadTimeout());
}

kIOHandler_TCP::~kIOHandler_TCP() = default;

bool kIOHandler_TCP::Connected() {
  try {
    return fTCPClient->Connected();
  } catch (...) {
    return false;
  }
}

bool kIOHandler_TCP::Connect() {
  bool result = false;
  try {
    kIOHandler::Connect();
    Debug(tVX_MessageType::let_info, u"Host=" + fHost);
    Debug(tVX_MessageType::let_info, u"Port=" + vxtext::IntToStr(fPort));
    if (!fTCPClient->Connected()) fTCPClient->Connect(fHost, fPort, fClientConnectTimeout);
    result = fTCPClient->Connected();
    if (!result) WriteLog(tVX_MessageType::let_error, u"Connect Timeout", u"");
  } catch (const tVX_Error& e) {
    WriteLog(tVX_MessageType::let_error, u"Connect Error", e.Message());
    result = false;
  } catch (const std::exception& e) {
    WriteLog(tVX_MessageType::let_error, u"Connect Error", vxtext::Widen(e.what()));
    result = false;
  }
  return result;
}

bool kIOHandler_TCP::Disconnect() {
  // Also after the peer has closed: the socket is released either way.
  fTCPClient->Disconnect();
  return !Connected();
}

void kIOHandler_TCP::ClearBuffers() { fTCPClient->ClearInputBuffer(); }

bool kIOHandler_TCP::Write(std::u16string_view aMessage) {
  WriteLog(tVX_MessageType::let_info, u"Write", aMessage);
  uint32_t codePage = CodePage() != 0 ? static_cast<uint32_t>(CodePage()) : port::kLatin1CodePage;
  fTCPClient->Write(port::EncodeCodePage(aMessage, codePage));
  return true;
}

bool kIOHandler_TCP::WriteBytes(const std::vector<uint8_t>& aBytes) {
  std::string bytes(aBytes.begin(), aBytes.end());
  WriteLog(tVX_MessageType::let_info, u"Write", AsText(bytes));
  fTCPClient->Write(bytes);
  return true;
}

std::u16string kIOHandler_TCP::ReadUpTo(const std::vector<uint8_t>& aChars) {
  std::u16string characters, hexes;
  for (uint8_t c : aChars) {
    if (!characters.empty()) characters += u",", hexes += u",";
    characters.push_back(static_cast<char16_t>(c));
    hexes += HexDump(std::u16string(1, static_cast<char16_t>(c)));
  }
  Debug(tVX_MessageType::let_info, u"Waiting for:" + characters + (HexLog() ? u" [" + hexes + u"]" : u""));

  std::u16string result;
  try {
    fTCPClient->SetReadTimeout(ReadTimeout());
    const auto start = Clock::now();
    bool timedOut = false, found = false;
    do {
      uint8_t byte = 0;
      if (fTCPClient->ReadByte(byte) != port::TcpStatus::Ok) throw tVX_Error(fTCPClient->LastErrorText());
      result.push_back(static_cast<char16_t>(byte));
      timedOut = ElapsedMs(start) > ReadTimeout();
      found = std::find(aChars.begin(), aChars.end(), byte) != aChars.end();
    } while (!timedOut && !found);
    if (timedOut) WriteLog(tVX_MessageType::let_error, u"Read Timeout", result);
    else WriteLog(tVX_MessageType::let_info, u"Read", result);
  } catch (const tVX_Error& e) {
    WriteLog(tVX_MessageType::let_error, u"ReadUpTo Unexpected error", e.Message());
  }
  return result;
}

std::u16string kIOHandler_TCP::ReadChars(int32_t aCharsNum) {
  std::string bytes;
  fTCPClient->SetReadTimeout(ReadTimeout());
  size_t wanted = aCharsNum > 0 ? static_cast<size_t>(aCharsNum) : 0;
  port::TcpStatus status = fTCPClient->Read(bytes, wanted);
  std::u16string result = AsText(bytes);
  if (status == port::TcpStatus::Error)
    WriteLog(tVX_MessageType::let_error, u"ReadChars Unexpected error", fTCPClient->LastErrorText());
  else if (bytes.size() < wanted)
    WriteLog(tVX_MessageType::let_error, u"Read Timeout", result);
  else
    WriteLog(tVX_MessageType::let_info, u"Read", result);
  return result;
}

std::u16string kIOHandler_TCP::ReadAll() {
  std::u16string result;
  fTCPClient->SetReadTimeout(ReadTimeout());
  const auto start = Clock::now();
  for (;;) {
    uint8_t byte = 0;
    port::TcpStatus status = fTCPClient->ReadByte(byte);
    if (status == port::TcpStatus::Closed) {
      WriteLog(tVX_MessageType::let_info, u"Read", result);
      break;
    }
    if (status != port::TcpStatus::Ok) {
      WriteLog(tVX_MessageType::let_error, u"ReadAll Unexpected error", fTCPClient->LastErrorText());
      break;
    }
    result.push_back(static_cast<char16_t>(byte));
    if (ElapsedMs(start) > ReadTimeout()) {
      WriteLog(tVX_MessageType::let_error, u"Read Timeout", result);
      break;
    }
  }
  return result;
}

std::vector<uint8_t> kIOHandler_TCP::ReadBytes(int32_t aCount) {
  std::string bytes;
  if (aCount > 0 && fTCPClient->Read(bytes, static_cast<size_t>(aCount)) != port::TcpStatus::Ok)
    throw tVX_Error(fTCPClient->LastErrorText());
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::u16string kIOHandler_TCP::DecodeError(int32_t) { return {}; }

bool kIOHandler_TCP::InputBufferContainsData() { return fTCPClient->HasBufferedInput(); }

void kIOHandler_TCP::SetParameter(std::u16string_view, std::u16string_view) {}
