#include <gtest/gtest.h>

#include <chrono>

#include "platform/Error.h"
#include "platform/TcpSocket.h"
#include "support/Loopback.h"

namespace {

using port::TcpStatus;
using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point aStart) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - aStart).count();
}

// A connected client and the server side of its connection.
struct Pair {
  Pair() : listener(port::TcpListener::Listen(0)), client(port::TcpClient::Create()) {
    client->Connect(u"127.0.0.1", listener->Port(), 1000);
    server = listener->Accept(1000);
    client->SetReadTimeout(200);
  }
  std::unique_ptr<port::TcpListener> listener;
  std::unique_ptr<port::TcpClient> client;
  std::unique_ptr<port::TcpConnection> server;
};

TEST(TcpSocket, BytesTravelBothWays) {
  Pair p;
  ASSERT_NE(p.server, nullptr);
  EXPECT_TRUE(p.client->Connected());
  p.client->Write(std::string("ping\0\xFF", 6));
  std::string received;
  while (received.size() < 6 && p.server->Read(received, 100, 1000) == TcpStatus::Ok) {
  }
  EXPECT_EQ(received, std::string("ping\0\xFF", 6));

  p.server->SetNoDelay(true);
  ASSERT_TRUE(p.server->Write("hello world"));
  uint8_t byte = 0;
  ASSERT_EQ(p.client->ReadByte(byte), TcpStatus::Ok);
  EXPECT_EQ(byte, 'h');
  // The rest of the chunk waits in the input buffer.
  EXPECT_TRUE(p.client->HasBufferedInput());
  std::string rest;
  ASSERT_EQ(p.client->Read(rest, 4), TcpStatus::Ok);
  EXPECT_EQ(rest, "ello");
  p.client->ClearInputBuffer();
  EXPECT_FALSE(p.client->HasBufferedInput());
}

TEST(TcpSocket, ReadsTellTimeOutFromOrderlyClose) {
  Pair p;
  uint8_t byte;
  auto start = Clock::now();
  EXPECT_EQ(p.client->ReadByte(byte), TcpStatus::TimedOut);
  EXPECT_GE(MsSince(start), 150);
  EXPECT_EQ(p.client->LastErrorText(), u"Read timed out");

  // A short read keeps what came.
  p.server->Write("abc");
  std::string bytes;
  EXPECT_EQ(p.client->Read(bytes, 10), TcpStatus::TimedOut);
  EXPECT_EQ(bytes, "abc");

  p.server->Write("xy");
  p.server->ShutdownWrite();
  bytes.clear();
  EXPECT_EQ(p.client->Read(bytes, 10), TcpStatus::Closed);
  EXPECT_EQ(bytes, "xy");
  EXPECT_EQ(p.client->LastErrorText(), u"Connection closed gracefully");
  EXPECT_FALSE(p.client->Connected());
}

TEST(TcpSocket, ConnectedNoticesThePeerClosing) {
  Pair p;
  EXPECT_TRUE(p.client->Connected());
  p.server->Close();
  auto start = Clock::now();
  while (p.client->Connected() && MsSince(start) < 2000) {
  }
  EXPECT_FALSE(p.client->Connected());
  p.client->Disconnect();
  EXPECT_FALSE(p.client->Connected());
  uint8_t byte;
  EXPECT_EQ(p.client->ReadByte(byte), TcpStatus::Error);
  EXPECT_THROW(p.client->Write("x"), tVX_Error);
}

TEST(TcpSocket, ConnectFailures) {
  auto client = port::TcpClient::Create();
  auto start = Clock::now();
  EXPECT_THROW(client->Connect(u"127.0.0.1", vxtest::RefusingPort(), 2000), tVX_Error);
  EXPECT_LT(MsSince(start), 1500);  // refused, not timed out
  EXPECT_FALSE(client->Connected());

  vxtest::UnansweredListener silent;
  start = Clock::now();
  try {
    client->Connect(u"127.0.0.1", silent.Port(), 300);
    FAIL() << "connected";
  } catch (const tVX_Error& e) {
    EXPECT_EQ(e.Message(), u"Connect timed out");
  }
  EXPECT_GE(MsSince(start), 250);
  EXPECT_FALSE(client->Connected());
}

TEST(TcpSocket, ListenerAcceptTimesOutAndTakesAGivenPort) {
  auto listener = port::TcpListener::Listen(0);
  EXPECT_EQ(listener->Accept(50), nullptr);
  uint16_t taken = listener->Port();
  listener.reset();
  auto again = port::TcpListener::Listen(taken);
  EXPECT_EQ(again->Port(), taken);
  EXPECT_THROW(port::TcpListener::Listen(taken), tVX_Error);
}

}  // namespace
