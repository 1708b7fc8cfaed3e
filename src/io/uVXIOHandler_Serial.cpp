#include "io/uVXIOHandler_Serial.h"

#include <chrono>

#include "base/uVX_Text.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/Error.h"

namespace {

// Each pass of a read waits at most this long for one byte.
constexpr uint32_t kByteTimeoutMs = 100;

using Clock = std::chrono::steady_clock;

int64_t ElapsedMs(Clock::time_point aStart) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - aStart).count();
}

// A failed read returns at once; waiting out the pass keeps a broken line from spinning the
// read loop (and, in ReadUpTo, from writing a "Read Error" line thousands of times a second).
void PauseAfterFailedRead() { port::SleepMs(static_cast<int>(kByteTimeoutMs)); }

uint32_t PortNumber(std::u16string_view aSerialPort) {
  std::u16string_view digits = aSerialPort.size() > 3 ? aSerialPort.substr(3, 3) : std::u16string_view();
  int32_t number = 0;
  if (!vxtext::TryStrToInt(digits, number)) {
    throw tVX_Error(u"'" + std::u16string(digits) + u"' is not a valid integer value");
  }
  return static_cast<uint32_t>(number);
}

TParity PortParity(vxParity aParity) {
  switch (aParity) {
    case vxParity::None: return TParity::ptNone;
    case vxParity::Even: return TParity::ptEven;
    case vxParity::Odd: return TParity::ptOdd;
  }
  throw tVX_Error(u"Parity invalid");
}

TStopBits PortStopBits(int32_t aStopBits) {
  if (aStopBits == 1) return TStopBits::sbOne;
  if (aStopBits == 2) return TStopBits::sbTwo;
  throw tVX_Error(u"Stop Bits " + vxtext::IntToStr(aStopBits) + u" invalid");
}

std::u16string ParityLine(TParity aParity) {
  switch (aParity) {
    case TParity::ptNone: return u"Parity=none";
    case TParity::ptOdd: return u"Parity=odd";
    case TParity::ptEven: return u"Parity=even";
    case TParity::ptMark: return u"Parity=mark";
    case TParity::ptSpace: return u"Parity=space";
  }
  return u"";
}

std::u16string StopBitsLine(TStopBits aStopBits) {
  switch (aStopBits) {
    case TStopBits::sbOne: return u"StopBits=1";
    case TStopBits::sbOneHalf: return u"StopBits=1.5";
    case TStopBits::sbTwo: return u"StopBits=2";
  }
  return u"";
}

}  // namespace

kIOHandler_Serial::kIOHandler_Serial(const kConnection* aConnection, std::u16string_view aDirectory,
                                     std::u16string_view aFileName)
    : kIOHandler(u"kIOHandler_Serial", aConnection, aDirectory, aFileName) {
  const kConnection defaults;
  const kConnection& connection = aConnection ? *aConnection : defaults;
  uint32_t number = PortNumber(connection.SerialPort());
  TParity parity = PortParity(connection.Parity());
  TStopBits stopBits = PortStopBits(connection.StopBits());
  fComPort = std::make_unique<TComPort>(number, static_cast<uint32_t>(connection.Speed()),
                                        static_cast<uint8_t>(connection.DataBits()), stopBits, parity);
}

kIOHandler_Serial::~kIOHandler_Serial() { fComPort.reset(); }

bool kIOHandler_Serial::Connected() { return fComPort->ComIsOpen(); }

bool kIOHandler_Serial::Connect() {
  kIOHandler::Connect();
  const tVX_MessageType info = tVX_MessageType::let_info;
  Debug(info, u"Serial Driver Version: " + fComPort->DriverVersion());
  Debug(info, u"SerialPort=COM" + vxtext::IntToStr(fComPort->ComNumber()));
  Debug(info, u"Speed=" + vxtext::IntToStr(fComPort->BaudRate()));
  Debug(info, ParityLine(fComPort->Parity()));
  Debug(info, u"DataBits=" + vxtext::IntToStr(fComPort->DataBits()));
  Debug(info, StopBitsLine(fComPort->StopBits()));
  fComPort->Open();
  return fComPort->ComIsOpen();
}

bool kIOHandler_Serial::Disconnect() {
  fComPort->Close();
  return !fComPort->ComIsOpen();
}

void kIOHandler_Serial::ClearBuffers() { fComPort->ClearBuffers(); }

bool kIOHandler_Serial::Write(std::u16string_view aMessage) {
  WriteLog(tVX_MessageType::let_info, u"Write", aMessage);
  fComPort->WriteText(port::EncodeCodePage(aMessage, port::AnsiCodePage()));
  return true;
}

std::u16string kIOHandler_Serial::ReadChars(int32_t aCharsNum) {
  std::u16string result;
  const Clock::time_point start = Clock::now();
  bool timedOut = false;
  do {
    uint8_t byte = 0;
    uint32_t error = 0;
    // A failed single read counts as a pass without a byte.
    int32_t got = fComPort->Read(&byte, 1, kByteTimeoutMs, error);
    if (got == 1) result.push_back(static_cast<char16_t>(byte));
    else if (got < 0) PauseAfterFailedRead();
    timedOut = ElapsedMs(start) > ReadTimeout();
  } while (!timedOut && static_cast<int64_t>(result.size()) < aCharsNum);
  if (timedOut) WriteLog(tVX_MessageType::let_error, u"Read Timeout", result);
  else WriteLog(tVX_MessageType::let_info, u"Read", result);
  return result;
}

std::u16string kIOHandler_Serial::ReadUpTo(const std::vector<uint8_t>& aChars) {
  std::u16string characters, hexes;
  for (uint8_t terminator : aChars) {
    if (!characters.empty()) characters.push_back(u',');
    characters.push_back(static_cast<char16_t>(terminator));
    if (HexLog()) {
      if (!hexes.empty()) hexes.push_back(u',');
      hexes += HexDump(std::u16string(1, static_cast<char16_t>(terminator)));
    }
  }
  Debug(tVX_MessageType::let_info, HexLog() ? u"Waiting for:" + characters + u" [" + hexes + u"]"
                                            : u"Waiting for:" + characters);

  std::u16string result;
  const Clock::time_point start = Clock::now();
  bool found = false, timedOut = false;
  do {
    uint8_t byte = 0;
    // The error code belongs to this pass's read only.
    uint32_t error = 0;
    int32_t got = fComPort->Read(&byte, 1, kByteTimeoutMs, error);
    if (error != 0) WriteLog(tVX_MessageType::let_error, u"Read Error", vxtext::IntToStr(error));
    if (got == 1) {
      result.push_back(static_cast<char16_t>(byte));
      for (uint8_t terminator : aChars) found = found || byte == terminator;
    } else {
      if (got < 0) PauseAfterFailedRead();
      timedOut = ElapsedMs(start) > ReadTimeout();
    }
  } while (!found && !timedOut);
  if (timedOut) WriteLog(tVX_MessageType::let_error, u"Read Timeout", result);
  else WriteLog(tVX_MessageType::let_info, u"Read", result);
  return result;
}

std::u16string kIOHandler_Serial::ReadAll() { throw tVX_Error(u"ReadAll Unsupported"); }

std::u16string kIOHandler_Serial::DecodeError(int32_t) { return u""; }

bool kIOHandler_Serial::InputBufferContainsData() { return fComPort->GetBytesPending() > 0; }

void kIOHandler_Serial::SetParameter(std::u16string_view, std::u16string_view) {}
