#include "platform/SerialPort.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/Utf8.h"

namespace port {
namespace {

// Device numbers of the device sides of pseudo-terminals (UNIX98_PTY_SLAVE_MAJOR and the
// seven majors after it).
constexpr unsigned kPtySlaveMajorFirst = 136;
constexpr unsigned kPtySlaveMajorLast = 143;

int64_t MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool SpeedConstant(uint32_t aBaud, speed_t& aSpeed) {
  static const struct {
    uint32_t baud;
    speed_t speed;
  } kSpeeds[] = {{50, B50},         {75, B75},           {110, B110},         {134, B134},
                 {150, B150},       {200, B200},         {300, B300},         {600, B600},
                 {1200, B1200},     {1800, B1800},       {2400, B2400},       {4800, B4800},
                 {9600, B9600},     {19200, B19200},     {38400, B38400},     {57600, B57600},
                 {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
                 {576000, B576000}, {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
                 {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
                 {3500000, B3500000}, {4000000, B4000000}};
  for (const auto& entry : kSpeeds) {
    if (entry.baud == aBaud) {
      aSpeed = entry.speed;
      return true;
    }
  }
  return false;
}

class PosixSerialPort final : public SerialPort {
 public:
  explicit PosixSerialPort(int aFd) : fFd(aFd) {}
  ~PosixSerialPort() override { ::close(fFd); }

  SerialStateResult SetLine(const SerialLine& aLine) override {
    termios state{};
    if (tcgetattr(fFd, &state) != 0) return SerialStateResult::ReadFailed;
    speed_t speed;
    if (!SpeedConstant(aLine.baudRate, speed) || aLine.dataBits < 5 || aLine.dataBits > 8) {
      return SerialStateResult::WriteFailed;
    }
    cfsetispeed(&state, speed);
    cfsetospeed(&state, speed);
    static const tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    state.c_cflag = (state.c_cflag & ~CSIZE) | kSizes[aLine.dataBits - 5];
    state.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (aLine.parity) {
      case SerialParity::None: break;
      case SerialParity::Odd: state.c_cflag |= PARENB | PARODD; break;
      case SerialParity::Even: state.c_cflag |= PARENB; break;
      case SerialParity::Mark: state.c_cflag |= PARENB | PARODD | CMSPAR; break;
      case SerialParity::Space: state.c_cflag |= PARENB | CMSPAR; break;
    }
    if (aLine.stopBits == SerialStopBits::One) state.c_cflag &= ~CSTOPB;
    else state.c_cflag |= CSTOPB;
    if (tcsetattr(fFd, TCSANOW, &state) != 0 && !TookAllItCarries(state)) return SerialStateResult::WriteFailed;
    return SerialStateResult::Ok;
  }

  // The gap allowed between two bytes goes into the line's own inter-byte timer (VTIME, in
  // tenths of a second, rounded up); the total time-out is kept here and waited out by Read.
  SerialStateResult SetReadTimeouts(uint32_t aIntervalMs, uint32_t aTotalMs) override {
    termios state{};
    if (tcgetattr(fFd, &state) != 0) return SerialStateResult::ReadFailed;
    state.c_cc[VMIN] = 0;
    state.c_cc[VTIME] = static_cast<cc_t>(std::min<uint32_t>(255, (aIntervalMs + 99) / 100));
    if (tcsetattr(fFd, TCSANOW, &state) != 0) return SerialStateResult::WriteFailed;
    fIntervalMs = aIntervalMs;
    fTotalMs = aTotalMs;
    return SerialStateResult::Ok;
  }

  int32_t Read(uint8_t* aBuffer, uint32_t aCount, uint32_t& aErrorFlags) override {
    aErrorFlags = 0;
    uint32_t got = 0;
    const int64_t deadline = MonotonicMs() + fTotalMs;
    while (got < aCount) {
      const int64_t left = std::max<int64_t>(0, deadline - MonotonicMs());
      // Once a byte came, a read ends after the line's inter-byte timer (VMIN 0, VTIME set):
      // it returns what arrives, or nothing when the gap passed. Before the first byte, and
      // when less than one gap of the total is left, only the total counts.
      const bool gapRead = got > 0 && fIntervalMs > 0 && (fTotalMs == 0 || left >= fIntervalMs);
      if (!gapRead) {
        pollfd watch{fFd, POLLIN, 0};
        int ready = ::poll(&watch, 1, fTotalMs > 0 ? static_cast<int>(left) : -1);
        if (ready < 0) {
          if (errno == EINTR) continue;
          aErrorFlags = static_cast<uint32_t>(errno);
          return -1;
        }
        if (ready == 0) break;  // timed out
      }
      ssize_t n = ::read(fFd, aBuffer + got, aCount - got);
      if (n > 0) {
        got += static_cast<uint32_t>(n);
      } else if (n == 0 && gapRead) {
        break;  // the gap between two bytes passed
      } else if (n == 0) {
        // Readable but nothing to read: the line was hung up. A read on a vanished port fails.
        aErrorFlags = EIO;
        return -1;
      } else if (errno != EINTR) {
        aErrorFlags = static_cast<uint32_t>(errno);
        return -1;
      }
    }
    return static_cast<int32_t>(got);
  }

  bool Write(std::string_view aBytes) override {
    // The line is in blocking mode: like a Windows port without write time-outs, a write waits
    // until the line takes every byte.
    size_t sent = 0;
    while (sent < aBytes.size()) {
      ssize_t n = ::write(fFd, aBytes.data() + sent, aBytes.size() - sent);
      if (n > 0) sent += static_cast<size_t>(n);
      else if (n < 0 && errno == EINTR) continue;
      else return false;
    }
    return true;
  }

  bool Purge() override { return tcflush(fFd, TCIOFLUSH) == 0; }

  uint32_t SetDtr(bool aAssert) override { return SetModemLine(TIOCM_DTR, aAssert); }
  uint32_t SetRts(bool aAssert) override { return SetModemLine(TIOCM_RTS, aAssert); }

  int32_t BytesPending() override {
    int pending = 0;
    if (ioctl(fFd, FIONREAD, &pending) != 0) return -1;
    return pending;
  }

 private:
  // A pseudo-terminal keeps eight data bits and no parity whatever it is told, and the C
  // library then reports the setting as refused (EINVAL), though only on some calls. On such a
  // line the request counts as applied when everything else was taken.
  bool TookAllItCarries(const termios& aWanted) {
    struct stat device {};
    if (errno != EINVAL || fstat(fFd, &device) != 0 || !S_ISCHR(device.st_mode)) return false;
    const unsigned kind = major(device.st_rdev);
    if (kind < kPtySlaveMajorFirst || kind > kPtySlaveMajorLast) return false;
    termios actual{};
    if (tcgetattr(fFd, &actual) != 0) return false;
    const tcflag_t ignored = CSIZE | PARENB;
    return (actual.c_cflag & ~ignored) == (aWanted.c_cflag & ~ignored) &&
           cfgetospeed(&actual) == cfgetospeed(&aWanted);
  }

  uint32_t SetModemLine(int aLine, bool aAssert) {
    int bits = aLine;
    if (ioctl(fFd, aAssert ? TIOCMBIS : TIOCMBIC, &bits) != 0) return static_cast<uint32_t>(errno);
    return 0;
  }

  int fFd;
  uint32_t fIntervalMs = 0;  // 0: no limit between bytes
  uint32_t fTotalMs = 0;     // 0: no limit for the whole read
};

}  // namespace

std::u16string SerialPort::DevicePath(uint32_t aComNumber) {
  std::string variable = "VXPA_COM" + std::to_string(aComNumber);
  const char* mapped = std::getenv(variable.c_str());
  if (mapped && *mapped) return FromUtf8(mapped);
  if (aComNumber == 0) return u"";
  return FromUtf8("/dev/ttyS" + std::to_string(aComNumber - 1));
}

SerialPort::OpenResult SerialPort::Open(uint32_t aComNumber) {
  OpenResult result;
  std::string path = ToUtf8(DevicePath(aComNumber));
  int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    int error = path.empty() ? ENOENT : errno;
    result.notFound = error == ENOENT || error == ENODEV || error == ENXIO;
    result.errorCode = static_cast<uint32_t>(error);
    return result;
  }
  // Not shared: a second open of the line is refused (root excepted, as the kernel rules).
  ioctl(fd, TIOCEXCL);
  // A Windows port passes every byte unchanged; a tty does so only in raw mode. Input and output
  // processing, echo, line editing and the XON/XOFF characters go (a terminal's defaults, which
  // would swallow bytes 0x11 and 0x13 of a binary protocol); hardware flow control and the line
  // settings stay as they were.
  termios state{};
  if (tcgetattr(fd, &state) == 0) {
    state.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    state.c_oflag &= ~OPOST;
    state.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    state.c_cflag |= CREAD | CLOCAL;
    state.c_cc[VMIN] = 0;
    state.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &state);
  }
  // Opened without waiting for a carrier; from now on reads and writes block, with the read
  // time-outs of SetReadTimeouts.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  result.port = std::make_unique<PosixSerialPort>(fd);
  return result;
}

}  // namespace port
