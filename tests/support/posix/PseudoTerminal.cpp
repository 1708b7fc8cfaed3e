#include "support/PseudoTerminal.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>

namespace vxtest {
namespace {

int64_t NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

uint32_t BaudOf(speed_t aSpeed) {
  static const struct {
    speed_t speed;
    uint32_t baud;
  } kSpeeds[] = {{B1200, 1200},     {B2400, 2400},     {B4800, 4800},     {B9600, 9600},
                 {B19200, 19200},   {B38400, 38400},   {B57600, 57600},   {B115200, 115200},
                 {B230400, 230400}, {B460800, 460800}, {B921600, 921600}};
  for (const auto& entry : kSpeeds) {
    if (entry.speed == aSpeed) return entry.baud;
  }
  return 0;
}

class PosixPseudoTerminal final : public PseudoTerminal {
 public:
  PosixPseudoTerminal(int aMaster, uint32_t aComNumber) : fMaster(aMaster), fComNumber(aComNumber) {}
  ~PosixPseudoTerminal() override {
    unsetenv(Variable().c_str());
    close(fMaster);
  }

  uint32_t ComNumber() const override { return fComNumber; }

  void Send(std::string_view aBytes) override {
    size_t sent = 0;
    while (sent < aBytes.size()) {
      ssize_t n = write(fMaster, aBytes.data() + sent, aBytes.size() - sent);
      if (n > 0) sent += static_cast<size_t>(n);
      else if (errno != EINTR && errno != EAGAIN) return;
    }
  }

  std::string Receive(size_t aCount, int aTimeoutMs) override {
    std::string bytes;
    const int64_t deadline = NowMs() + aTimeoutMs;
    while (bytes.size() < aCount) {
      int64_t left = deadline - NowMs();
      if (left <= 0) break;
      pollfd watch{fMaster, POLLIN, 0};
      if (poll(&watch, 1, static_cast<int>(left)) <= 0) continue;
      char buffer[256];
      ssize_t n = read(fMaster, buffer, std::min(sizeof(buffer), aCount - bytes.size()));
      if (n > 0) bytes.append(buffer, static_cast<size_t>(n));
      else usleep(10000);  // the device side is closed for now (EIO): wait for it
    }
    return bytes;
  }

  bool ReadLine(PtyLine& aLine) override {
    termios state{};
    // On Linux the settings calls on the master side act on the device side.
    if (tcgetattr(fMaster, &state) != 0) return false;
    aLine.baudRate = BaudOf(cfgetospeed(&state));
    aLine.oddParity = (state.c_cflag & PARODD) != 0;
    aLine.stickParity = (state.c_cflag & CMSPAR) != 0;
    aLine.stopBits = (state.c_cflag & CSTOPB) ? 2 : 1;
    aLine.readGapDs = state.c_cc[VTIME];
    return true;
  }

  bool DrivenDirectly() const override { return true; }

  std::string Variable() const { return "VXPA_COM" + std::to_string(fComNumber); }

 private:
  int fMaster;
  uint32_t fComNumber;
};

}  // namespace

std::unique_ptr<PseudoTerminal> PseudoTerminal::Create(std::string& aWhy) {
  static std::atomic<uint32_t> next{41};
  int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    aWhy = "no pseudo-terminal: errno " + std::to_string(errno);
    if (master >= 0) close(master);
    return nullptr;
  }
  const char* device = ptsname(master);
  auto terminal = std::make_unique<PosixPseudoTerminal>(master, next++);
  setenv(terminal->Variable().c_str(), device, 1);
  return terminal;
}

}  // namespace vxtest

namespace vxtest {

ComPortAlias::ComPortAlias(uint32_t aComNumber, const std::string& aUnixPath) : fComNumber(aComNumber) {
  fOk = setenv(("VXPA_COM" + std::to_string(aComNumber)).c_str(), aUnixPath.c_str(), 1) == 0;
}

ComPortAlias::~ComPortAlias() { unsetenv(("VXPA_COM" + std::to_string(fComNumber)).c_str()); }

}  // namespace vxtest
