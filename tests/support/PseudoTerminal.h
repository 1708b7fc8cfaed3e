#pragma once
// The far end of a serial line for tests: a pseudo-terminal whose device side the module opens
// as COMn, while the test holds the other side to send and receive bytes and to read back the
// line settings the module made.
//
// Linux: a pseudo-terminal pair; COMn is pointed at its device side through VXPA_COMn.
// Under wine: two pseudo-terminals joined by socat, linked as COMn and COMm in the prefix's
// dosdevices folder; the test's side is COMm, and stty reads the settings back.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vxtest {

// Line settings as the device side holds them. A Linux pseudo-terminal always forces eight data
// bits and parity off, so only the kind of parity (odd, stick) that would apply can be seen.
struct PtyLine {
  uint32_t baudRate = 0;
  int stopBits = 0;          // 1 or 2
  bool oddParity = false;    // odd, or with stickParity mark
  bool stickParity = false;  // mark or space
  int readGapDs = -1;        // VTIME: the gap that ends a read, in tenths of a second
};

class PseudoTerminal {
 public:
  // A fresh pair, or nullptr with aWhy set when this system cannot make one.
  static std::unique_ptr<PseudoTerminal> Create(std::string& aWhy);
  virtual ~PseudoTerminal() = default;
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // The port number under which the module reaches the device side.
  virtual uint32_t ComNumber() const = 0;
  // Bytes to the module.
  virtual void Send(std::string_view aBytes) = 0;
  // Bytes from the module: what arrives within aTimeoutMs, stopping once aCount came.
  virtual std::string Receive(size_t aCount, int aTimeoutMs) = 0;
  // The device side's settings; false where they cannot be read.
  virtual bool ReadLine(PtyLine& aLine) = 0;
  // True when the module's own port layer drives the device side (Linux). Under wine the port
  // goes through wine's serial driver, which keeps the read time-outs itself (VTIME stays 0),
  // lets neither the reads nor the time-out settings of a hung-up line fail, and cannot set a
  // parity again on a reopened pseudo-terminal (the C library reports the parity bit the
  // pseudo-terminal drops as refused).
  virtual bool DrivenDirectly() const = 0;

 protected:
  PseudoTerminal() = default;
};

// Points COMn at any device or file of the Unix file system (/dev/null, a folder) while it
// lives, to make opening or setting up the port fail in chosen ways.
class ComPortAlias {
 public:
  ComPortAlias(uint32_t aComNumber, const std::string& aUnixPath);
  ~ComPortAlias();
  ComPortAlias(const ComPortAlias&) = delete;
  ComPortAlias& operator=(const ComPortAlias&) = delete;
  // False where COM ports cannot be pointed at paths.
  bool Ok() const { return fOk; }

 private:
  uint32_t fComNumber;
  bool fOk = false;
};

}  // namespace vxtest
