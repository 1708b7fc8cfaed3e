#pragma once
// The I/O handler of a serial device: one TComPort, one byte per character on the line, reads
// byte by byte with 100 ms port time-outs under the handler's ReadTimeout.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "io/uVXIOHandler.h"
#include "io/uvxSerialDriver.h"

class kIOHandler_Serial : public kIOHandler {
 public:
  // Port number: the integer in characters 4 to 6 of the connection's SerialPort ("COM10" -> 10);
  // a non-number throws "'<text>' is not a valid integer value". Parity outside None, Even, Odd
  // throws "Parity invalid"; stop bits other than 1 and 2 throw "Stop Bits <n> invalid" (the
  // parity is tested first). Does not open the port.
  kIOHandler_Serial(const kConnection* aConnection, std::u16string_view aDirectory, std::u16string_view aFileName);
  ~kIOHandler_Serial() override;  // closes the port before the STOP banner

  bool Connected() override;  // the port is open
  // The banner and the line settings, then opens the port; TComPortException passes on.
  bool Connect() override;
  bool Disconnect() override;
  void ClearBuffers() override;
  // Logs "Write" and sends aMessage in the system's ANSI code page; port errors pass on.
  bool Write(std::u16string_view aMessage) override;
  // Reads until a terminator byte (kept in the result) arrives, or until the line has been
  // silent when ReadTimeout has passed: a line that keeps sending keeps the read going.
  std::u16string ReadUpTo(const std::vector<uint8_t>& aChars) override;
  // Reads until aCharsNum characters came or ReadTimeout has passed.
  std::u16string ReadChars(int32_t aCharsNum) override;
  std::u16string ReadAll() override;  // throws "ReadAll Unsupported"
  std::u16string DecodeError(int32_t aErrorCode) override;  // empty text
  bool InputBufferContainsData() override;
  void SetParameter(std::u16string_view aName, std::u16string_view aValue) override;  // nothing

  TComPort& ComPort() { return *fComPort; }

 private:
  std::unique_ptr<TComPort> fComPort;
};
