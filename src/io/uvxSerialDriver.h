#pragma once
// TComPort: one serial port by its number n (COMn), with its line settings and timed reads.
// Every failure raises TComPortException. The port is used by one thread at a time.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Error.h"

namespace port {
class SerialPort;
}

enum class TStopBits : uint8_t { sbOne = 0, sbOneHalf = 1, sbTwo = 2 };
enum class TParity : uint8_t { ptNone = 0, ptOdd = 1, ptEven = 2, ptMark = 3, ptSpace = 4 };

class TComPortException : public tVX_Error {
 public:
  using tVX_Error::tVX_Error;
};

class TComPort {
 public:
  // Defaults: 9600 baud, 8 data bits, one stop bit, no parity; not open. Nothing touches the
  // hardware until Open.
  explicit TComPort(uint32_t aComNumber);
  TComPort(uint32_t aComNumber, uint32_t aBaudRate);
  TComPort(uint32_t aComNumber, uint32_t aBaudRate, uint8_t aDataBits, TStopBits aStopBits, TParity aParity);
  // Closes the port when it is open.
  ~TComPort();
  TComPort(const TComPort&) = delete;
  TComPort& operator=(const TComPort&) = delete;

  // Opens COMn exclusively and applies the line settings.
  void Open();
  // Drops pending data both ways and closes; the port counts as closed afterwards in every case.
  void Close();
  // Programs the line; the stored values change only when the port took them.
  void SetLineParameters(uint32_t aBaudRate, uint8_t aDataBits, TStopBits aStopBits, TParity aParity);
  // Reads up to aCount bytes into aBuffer, waiting at most aTimeout ms in all (0: the time-outs
  // programmed last) and 100 ms between two bytes. The number read, or -1 when the read failed
  // with the port's error flags in aErrorCode.
  int32_t Read(uint8_t* aBuffer, uint32_t aCount, uint32_t aTimeout, uint32_t& aErrorCode);
  // Sends the bytes of the one-byte string aText; true when all were written.
  bool WriteText(std::string_view aText);
  // Drops pending input and output; nothing when the port is closed.
  void ClearBuffers();
  void SetDTR(bool aAssert);
  void SetRTS(bool aAssert);
  // Bytes waiting in the input queue; 0 when that cannot be told.
  int32_t GetBytesPending();

  uint32_t ComNumber() const { return fComNumber; }
  uint32_t BaudRate() const { return fBaudRate; }
  uint8_t DataBits() const { return fDataBits; }
  TStopBits StopBits() const { return fStopBits; }
  TParity Parity() const { return fParity; }
  bool ComIsOpen() const { return fComHandle != nullptr; }
  std::u16string DriverVersion() const { return u"1.0"; }

 private:
  uint32_t fComNumber;
  uint32_t fBaudRate = 9600;
  uint8_t fDataBits = 8;
  TStopBits fStopBits = TStopBits::sbOne;
  TParity fParity = TParity::ptNone;
  std::unique_ptr<port::SerialPort> fComHandle;
  int64_t fCurrentComTimeout = -1;  // read time-out last programmed; -1: none since Open
};
