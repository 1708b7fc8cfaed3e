#include "support/Loopback.h"

#include <stdexcept>

#include "platform/Error.h"

namespace vxtest {

UnansweredListener::UnansweredListener() : fListener(port::TcpListener::Listen(0, 1)) {
  // Connect until one connect gets no answer: from then on the queue is full.
  for (int i = 0; i < 64; ++i) {
    auto client = port::TcpClient::Create();
    try {
      client->Connect(u"127.0.0.1", fListener->Port(), 150);
    } catch (const tVX_Error&) {
      return;
    }
    fFillers.push_back(std::move(client));
  }
  throw std::runtime_error("the listener's accept queue did not fill up");
}

uint16_t RefusingPort() { return port::TcpListener::Listen(0)->Port(); }

}  // namespace vxtest
