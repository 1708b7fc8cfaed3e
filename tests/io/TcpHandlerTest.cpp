#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "LogFile.h"
#include "base/uVX_Text.h"
#include "io/uVXIOHandler_TCP.h"
#include "platform/Error.h"
#include "support/Loopback.h"
#include "support/TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point aStart) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - aStart).count();
}

bool Contains(const std::vector<vxtest::LogEntry>& aEntries, bool aError, const std::u16string& aMessage) {
  return std::any_of(aEntries.begin(), aEntries.end(),
                     [&](const vxtest::LogEntry& e) { return e.error == aError && e.message == aMessage; });
}

bool HasPrefix(const std::vector<vxtest::LogEntry>& aEntries, bool aError, const std::u16string& aPrefix) {
  return std::any_of(aEntries.begin(), aEntries.end(), [&](const vxtest::LogEntry& e) {
    return e.error == aError && e.message.rfind(aPrefix, 0) == 0;
  });
}

// A TCP handler connected to a loopback peer, logging into a temporary folder. Finish()
// destroys the handler and reads its log back.
struct Device {
  explicit Device(int aReadTimeout = 200) : listener(port::TcpListener::Listen(0)) {
    connection.SetAddress(u"127.0.0.1");
    connection.SetPort(listener->Port());
    connection.SetReadTimeOut(aReadTimeout);
    connection.SetConnectTimeOut(1000);
    handler = std::make_unique<kIOHandler_TCP>(&connection, dir.Text(), u"TCP_1");
  }
  void Open() {
    ASSERT_TRUE(handler->Connect());
    peer = listener->Accept(1000);
    ASSERT_NE(peer, nullptr);
    peer->SetNoDelay(true);
  }
  std::string Received(size_t aCount) {
    std::string bytes;
    while (bytes.size() < aCount && peer->Read(bytes, aCount - bytes.size(), 1000) == port::TcpStatus::Ok) {
    }
    return bytes;
  }
  std::vector<vxtest::LogEntry> Finish() {
    std::u16string file = handler->GetLogFileName();
    handler.reset();
    return vxtest::ReadLogEntries(std::filesystem::path(file));
  }

  vxtest::TempDir dir;
  std::unique_ptr<port::TcpListener> listener;
  kConnection connection;
  std::unique_ptr<kIOHandler_TCP> handler;
  std::unique_ptr<port::TcpConnection> peer;
};

TEST(TcpHandler, ConnectLogsAndNeverThrows) {
  Device d;
  d.Open();
  EXPECT_TRUE(d.handler->Connected());
  EXPECT_TRUE(d.handler->Disconnect());
  EXPECT_FALSE(d.handler->Connected());
  auto log = d.Finish();
  EXPECT_TRUE(Contains(log, false, u"kIOHandler_TCP"));
  EXPECT_TRUE(Contains(log, false, u"Host=127.0.0.1"));
  EXPECT_TRUE(Contains(log, false, u"Port=" + vxtext::IntToStr(d.connection.Port())));
}

TEST(TcpHandler, ConnectFailuresAreLogged) {
  vxtest::TempDir dir;
  kConnection c;
  c.SetAddress(u"127.0.0.1");
  c.SetPort(vxtest::RefusingPort());
  c.SetConnectTimeOut(300);
  std::u16string file;
  {
    kIOHandler_TCP refused(&c, dir.Text(), u"TCP_2");
    file = refused.GetLogFileName();
    EXPECT_FALSE(refused.Connect());
    EXPECT_FALSE(refused.Connected());

    vxtest::UnansweredListener unanswered;
    c.SetPort(unanswered.Port());
    kIOHandler_TCP silent(&c, u"", u"");
    auto start = Clock::now();
    EXPECT_FALSE(silent.Connect());
    EXPECT_GE(MsSince(start), 250);
    EXPECT_LT(MsSince(start), 3000);
  }
  auto log = vxtest::ReadLogEntries(std::filesystem::path(file));
  EXPECT_TRUE(HasPrefix(log, true, u"Connect Error:"));
}

TEST(TcpHandler, ReadUpToStopsAtATerminator) {
  Device d;
  d.Open();
  d.handler->SetHexLog(true);
  d.peer->Write("abc\ndef\x03rest");
  EXPECT_EQ(d.handler->ReadUpTo({0x03, 0x0A}), u"abc\n");
  EXPECT_EQ(d.handler->ReadUpTo({0x03, 0x0A}), u"def\x03");
  EXPECT_TRUE(d.handler->InputBufferContainsData());
  d.handler->ClearBuffers();
  EXPECT_FALSE(d.handler->InputBufferContainsData());
  auto log = d.Finish();
  EXPECT_TRUE(Contains(log, false, u"Waiting for:\x03,\n [03,0a]"));
  EXPECT_TRUE(Contains(log, false, u"Read:abc\n [61 62 63 0a]"));
}

TEST(TcpHandler, ReadUpToWithoutTerminatorEndsByTime) {
  Device d(200);
  d.Open();
  // Bytes keep coming: the time limit ends the read.
  std::atomic<bool> stop{false};
  std::thread talker([&] {
    auto until = Clock::now() + std::chrono::seconds(3);  // a read that ignores its limit fails, not hangs
    while (!stop && Clock::now() < until) {
      d.peer->Write("x");
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  auto start = Clock::now();
  std::u16string first = d.handler->ReadUpTo({});
  long long elapsed = MsSince(start);
  stop = true;
  talker.join();
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(first.find_first_not_of(u'x'), std::u16string::npos);
  EXPECT_GE(elapsed, 200);
  EXPECT_LT(elapsed, 1500);

  // The line falls silent: the single-byte read times out and keeps what came.
  d.handler->ClearBuffers();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  d.handler->ClearBuffers();
  std::string drained;
  while (d.handler->TCPClient().Read(drained, 1) == port::TcpStatus::Ok) {
  }
  d.peer->Write("ab");
  EXPECT_EQ(d.handler->ReadUpTo({0x0A}), u"ab");
  auto log = d.Finish();
  EXPECT_TRUE(HasPrefix(log, true, u"Read Timeout:x"));
  EXPECT_TRUE(Contains(log, false, u"Waiting for:"));
  EXPECT_TRUE(Contains(log, true, u"ReadUpTo Unexpected error:Read timed out"));
}

TEST(TcpHandler, ReadCharsAndReadBytes) {
  Device d(200);
  d.Open();
  d.peer->Write("12345678");
  EXPECT_EQ(d.handler->ReadChars(3), u"123");
  auto bytes = d.handler->ReadBytes(2);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{'4', '5'}));
  // Only three more come: a short read.
  EXPECT_EQ(d.handler->ReadChars(5), u"678");
  try {
    d.handler->ReadBytes(1);
    FAIL() << "no error";
  } catch (const tVX_Error& e) {
    EXPECT_EQ(e.Message(), u"Read timed out");
  }
  d.peer->Write(std::string("\xE9\x00", 2));
  EXPECT_EQ(d.handler->ReadChars(2), std::u16string(u"\u00E9\0", 2));
  auto log = d.Finish();
  EXPECT_TRUE(Contains(log, false, u"Read:123"));
  EXPECT_TRUE(Contains(log, true, u"Read Timeout:678"));
}

TEST(TcpHandler, ReadAllEndsAtCloseOrSilence) {
  Device d(300);
  d.Open();
  d.peer->Write("hello");
  d.peer->ShutdownWrite();
  EXPECT_EQ(d.handler->ReadAll(), u"hello");
  EXPECT_FALSE(d.handler->Connected());

  Device quiet(200);
  quiet.Open();
  quiet.peer->Write("hi");
  EXPECT_EQ(quiet.handler->ReadAll(), u"hi");

  auto log = d.Finish();
  EXPECT_TRUE(Contains(log, false, u"Read:hello"));
  auto quietLog = quiet.Finish();
  EXPECT_TRUE(Contains(quietLog, true, u"ReadAll Unexpected error:Read timed out"));
}

TEST(TcpHandler, WritesInTheCodePage) {
  Device d;
  d.Open();
  EXPECT_TRUE(d.handler->Write(u"A\u00E9\u20AC"));
  EXPECT_EQ(d.Received(3), "A\xE9?");
  d.handler->SetCodePage(1252);
  EXPECT_TRUE(d.handler->Write(u"A\u00E9\u20AC"));
  EXPECT_EQ(d.Received(3), "A\xE9\x80");
  d.handler->SetCodePage(437);
  EXPECT_TRUE(d.handler->Write(u"\u00E9"));
  EXPECT_EQ(d.Received(1), "\x82");
  EXPECT_TRUE(d.handler->WriteBytes({0x02, 0xFF, 0x03}));
  EXPECT_EQ(d.Received(3), "\x02\xFF\x03");
  d.handler->Disconnect();
  EXPECT_THROW(d.handler->Write(u"x"), tVX_Error);
  auto log = d.Finish();
  EXPECT_TRUE(Contains(log, false, u"Write:A\u00E9\u20AC"));
  EXPECT_TRUE(Contains(log, false, u"Write:\x02\u00FF\x03"));
}

TEST(TcpHandler, HostAndPortFromTheConnection) {
  kConnection c;
  c.SetAddress(u"device.local");
  c.SetPort(65536 + 9100);
  kIOHandler_TCP h(&c, u"", u"");
  EXPECT_EQ(h.Host(), u"device.local");
  EXPECT_EQ(h.Port(), 9100);
  EXPECT_EQ(h.DecodeError(5), u"");
  EXPECT_FALSE(h.Connected());
  EXPECT_FALSE(h.InputBufferContainsData());
}

}  // namespace
