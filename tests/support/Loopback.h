#pragma once
// Loopback addresses that fail in a known way, for time-out and refusal tests. Everything stays on
// 127.0.0.1.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/TcpSocket.h"

namespace vxtest {

// A listener that never accepts and whose accept queue has been filled by connections of its
// own: a further connect to its port gets no answer and runs into its time-out.
class UnansweredListener {
 public:
  UnansweredListener();
  uint16_t Port() const { return fListener->Port(); }

 private:
  std::unique_ptr<port::TcpListener> fListener;
  std::vector<std::unique_ptr<port::TcpClient>> fFillers;
};

// A port on 127.0.0.1 on which nothing listens (it was listened on a moment ago): a connect is
// refused at once.
uint16_t RefusingPort();

}  // namespace vxtest
