#pragma once
// A serial line opened by its Windows port number n (COMn).
//
// Windows: the communications API on "\\.\COMn".
// Linux: termios on a device path. COMn is the path held by the environment variable VXPA_COMn
// when it is set and not empty (VXPA_COM3=/dev/ttyUSB0 points COM3 at any tty, a test points it
// at a pseudo-terminal); otherwise /dev/ttyS(n-1), the name the kernel gives the n-th UART
// (COM1 -> /dev/ttyS0).
//
// A port object is used by one thread at a time; it closes its line when destroyed.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace port {

enum class SerialStopBits : uint8_t { One = 0, OneAndHalf = 1, Two = 2 };
enum class SerialParity : uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };

struct SerialLine {
  uint32_t baudRate = 9600;
  uint8_t dataBits = 8;
  SerialStopBits stopBits = SerialStopBits::One;
  SerialParity parity = SerialParity::None;
};

// Outcome of an operation that reads the line's state and writes it back changed.
enum class SerialStateResult : uint8_t { Ok, ReadFailed, WriteFailed };

class SerialPort {
 public:
  struct OpenResult {
    std::unique_ptr<SerialPort> port;  // null on failure
    bool notFound = false;             // the device does not exist
    uint32_t errorCode = 0;            // the system's error code of the failure
  };

  // Opens COMn for reading and writing, not shared, unbuffered. The line keeps the settings it
  // had until SetLine.
  static OpenResult Open(uint32_t aComNumber);
  // The device that COMn names on this system (see above).
  static std::u16string DevicePath(uint32_t aComNumber);

  virtual ~SerialPort() = default;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Changes only speed, data bits, stop bits and parity; flow control and every other setting
  // stay as the system had them. Linux has no 1.5 stop bits: it sets two, as UARTs do for 5 data
  // bits. Mark and space parity use CMSPAR. A speed termios cannot express fails (WriteFailed).
  virtual SerialStateResult SetLine(const SerialLine& aLine) = 0;
  // Read time-outs: a read returns when aCount bytes came, when aTotalMs passed since it began,
  // or when aIntervalMs passed between two bytes after the first. Linux keeps the gap in the
  // line's VTIME (tenths of a second, rounded up; VMIN 0).
  virtual SerialStateResult SetReadTimeouts(uint32_t aIntervalMs, uint32_t aTotalMs) = 0;
  // Reads up to aCount bytes into aBuffer; the number read (0 on a time-out), or -1 when the read
  // failed, with aErrorFlags set: the communication error flags on Windows, errno on Linux (EIO
  // for a line that was hung up).
  virtual int32_t Read(uint8_t* aBuffer, uint32_t aCount, uint32_t& aErrorFlags) = 0;
  // Sends every byte; false when not all could be written.
  virtual bool Write(std::string_view aBytes) = 0;
  // Drops pending input and output and aborts reads and writes in progress.
  virtual bool Purge() = 0;
  // Raise (true) or drop (false) the DTR or RTS line: 0 on success, else the system's error code
  // (a pseudo-terminal has no modem lines and refuses).
  virtual uint32_t SetDtr(bool aAssert) = 0;
  virtual uint32_t SetRts(bool aAssert) = 0;
  // Bytes waiting in the input queue, -1 when the query fails.
  virtual int32_t BytesPending() = 0;

 protected:
  SerialPort() = default;
};

}  // namespace port
