#include "io/uvxSerialDriver.h"

#include "base/uVX_Text.h"
#include "platform/SerialPort.h"

namespace {

// Gap allowed between two bytes of one read.
constexpr uint32_t kReadIntervalMs = 100;

std::u16string Number(int64_t aValue) { return vxtext::IntToStr(aValue); }

}  // namespace

TComPort::TComPort(uint32_t aComNumber) : fComNumber(aComNumber) {}

TComPort::TComPort(uint32_t aComNumber, uint32_t aBaudRate) : fComNumber(aComNumber), fBaudRate(aBaudRate) {}

TComPort::TComPort(uint32_t aComNumber, uint32_t aBaudRate, uint8_t aDataBits, TStopBits aStopBits, TParity aParity)
    : fComNumber(aComNumber), fBaudRate(aBaudRate), fDataBits(aDataBits), fStopBits(aStopBits), fParity(aParity) {}

TComPort::~TComPort() {
  if (ComIsOpen()) Close();
}

void TComPort::Open() {
  port::SerialPort::OpenResult opened = port::SerialPort::Open(fComNumber);
  if (!opened.port) {
    if (opened.notFound) throw TComPortException(u"COM" + Number(fComNumber) + u" is not a valid COM port.");
    throw TComPortException(u"Cannot open COM" + Number(fComNumber) + u" (error #" + Number(opened.errorCode) + u").");
  }
  // Held locally until the line is set: a port whose settings fail is closed again.
  std::unique_ptr<port::SerialPort> handle = std::move(opened.port);
  std::swap(fComHandle, handle);
  try {
    SetLineParameters(fBaudRate, fDataBits, fStopBits, fParity);
  } catch (...) {
    fComHandle.reset();
    throw;
  }
  fCurrentComTimeout = -1;
}

void TComPort::Close() {
  if (!fComHandle) return;
  // The handle is closed even when the purge fails: a handle left open would keep the port
  // locked against every later open.
  fComHandle->Purge();
  fComHandle.reset();
}

void TComPort::SetLineParameters(uint32_t aBaudRate, uint8_t aDataBits, TStopBits aStopBits, TParity aParity) {
  if (!fComHandle) throw TComPortException(u"GetCommState failed!");
  port::SerialLine line;
  line.baudRate = aBaudRate;
  line.dataBits = aDataBits;
  line.stopBits = static_cast<port::SerialStopBits>(aStopBits);
  line.parity = static_cast<port::SerialParity>(aParity);
  switch (fComHandle->SetLine(line)) {
    case port::SerialStateResult::ReadFailed: throw TComPortException(u"GetCommState failed!");
    case port::SerialStateResult::WriteFailed: throw TComPortException(u"SetCommState failed!");
    case port::SerialStateResult::Ok: break;
  }
  fBaudRate = aBaudRate;
  fDataBits = aDataBits;
  fStopBits = aStopBits;
  fParity = aParity;
}

int32_t TComPort::Read(uint8_t* aBuffer, uint32_t aCount, uint32_t aTimeout, uint32_t& aErrorCode) {
  if (!fComHandle) throw TComPortException(u"Cannot read because COM port is not open.");
  if (aTimeout != 0 && static_cast<int64_t>(aTimeout) != fCurrentComTimeout) {
    switch (fComHandle->SetReadTimeouts(kReadIntervalMs, aTimeout)) {
      case port::SerialStateResult::ReadFailed: throw TComPortException(u"GetCommTimeouts failed.");
      case port::SerialStateResult::WriteFailed: throw TComPortException(u"SetCommTimeouts failed.");
      case port::SerialStateResult::Ok: break;
    }
    fCurrentComTimeout = aTimeout;
  }
  return fComHandle->Read(aBuffer, aCount, aErrorCode);
}

bool TComPort::WriteText(std::string_view aText) {
  if (!fComHandle) throw TComPortException(u"Cannot write because COM port is not open.");
  if (!fComHandle->Write(aText)) throw TComPortException(u"Write to com port failed.");
  return true;
}

void TComPort::ClearBuffers() {
  if (!fComHandle) return;
  if (!fComHandle->Purge()) throw TComPortException(u"PurgeComm failed!");
}

void TComPort::SetDTR(bool aAssert) {
  if (!fComHandle) throw TComPortException(u"SetRTS failed because COM port not open.");
  if (uint32_t error = fComHandle->SetDtr(aAssert)) {
    throw TComPortException(u"SetDTR failed (error #" + Number(error) + u").");
  }
}

void TComPort::SetRTS(bool aAssert) {
  if (!fComHandle) throw TComPortException(u"SetRTS failed because COM port not open.");
  if (uint32_t error = fComHandle->SetRts(aAssert)) {
    throw TComPortException(u"SetRTS failed (error #" + Number(error) + u").");
  }
}

int32_t TComPort::GetBytesPending() {
  if (!fComHandle) return 0;
  int32_t pending = fComHandle->BytesPending();
  return pending < 0 ? 0 : pending;
}
