// No display on this build: message boxes, the wait window and the notification icon report that
// nothing was shown. The named lock is a socket in Linux's abstract namespace.
#include "platform/UserInterface.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/Utf8.h"

namespace port {
namespace {

class SocketLock final : public NamedLock {
 public:
  explicit SocketLock(int aSocket) : fSocket(aSocket) {}
  ~SocketLock() override { close(fSocket); }
  SocketLock(const SocketLock&) = delete;
  SocketLock& operator=(const SocketLock&) = delete;

 private:
  int fSocket;
};

}  // namespace

bool ShowMessageBox(std::u16string_view, std::u16string_view, MessageBoxKind) { return false; }

std::unique_ptr<WaitWindow> CreateWaitWindow() { return nullptr; }

bool AddNotifyIcon(const NotifyIconData&) { return false; }
bool DeleteNotifyIcon(const NotifyIconData&) { return false; }

std::unique_ptr<NamedLock> TryAcquireNamedLock(std::u16string_view aName) {
  // The abstract address starts with a NUL byte; the rest is the name, cut to fit.
  std::string name = "vxpa-lock/" + ToUtf8(aName);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  size_t length = std::min(name.size(), sizeof address.sun_path - 1);
  std::memcpy(address.sun_path + 1, name.data(), length);
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
    close(fd);  // EADDRINUSE: someone holds it
    return nullptr;
  }
  return std::make_unique<SocketLock>(fd);
}

void ProcessMessages() {}

void RequestTerminate() {}

}  // namespace port
