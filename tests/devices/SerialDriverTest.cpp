// TComPort against a real pseudo-terminal: the test holds the far end of the line.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "base/uVX_Text.h"
#include "io/uvxSerialDriver.h"
#include "support/PseudoTerminal.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point aStart) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - aStart).count();
}

// The message of the TComPortException that aAction raises.
std::string ComError(const std::function<void()>& aAction) {
  try {
    aAction();
  } catch (const TComPortException& e) {
    return vxtext::Utf8(e.Message());
  }
  return "(no TComPortException)";
}

class SerialDriverTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    fPty = vxtest::PseudoTerminal::Create(why);
    if (!fPty) GTEST_SKIP() << why;
  }

  // The test's end of the line reads what the port sends.
  std::string Received(size_t aCount) { return fPty->Receive(aCount, 2000); }

  std::unique_ptr<vxtest::PseudoTerminal> fPty;
};

TEST_F(SerialDriverTest, OpenAndSetLineParametersProgramTheLine) {
  TComPort port(fPty->ComNumber(), 19200, 7, TStopBits::sbTwo, TParity::ptEven);
  EXPECT_FALSE(port.ComIsOpen());
  port.Open();
  EXPECT_TRUE(port.ComIsOpen());
  vxtest::PtyLine line;
  if (!fPty->ReadLine(line)) GTEST_SKIP() << "line settings cannot be read back here";
  EXPECT_EQ(line.baudRate, 19200u);
  EXPECT_EQ(line.stopBits, 2);
  EXPECT_FALSE(line.oddParity);
  EXPECT_FALSE(line.stickParity);

  struct Case {
    uint32_t baud;
    TStopBits stop;
    TParity parity;
    int stopBits;
    bool odd, stick;
  } cases[] = {{115200, TStopBits::sbOne, TParity::ptMark, 1, true, true},
               {9600, TStopBits::sbOneHalf, TParity::ptSpace, 2, false, true},  // 1.5 becomes 2 here
               {4800, TStopBits::sbOne, TParity::ptOdd, 1, true, false}};
  for (const Case& c : cases) {
    port.SetLineParameters(c.baud, 8, c.stop, c.parity);
    ASSERT_TRUE(fPty->ReadLine(line));
    EXPECT_EQ(line.baudRate, c.baud);
    EXPECT_EQ(line.stopBits, c.stopBits) << c.baud;
    EXPECT_EQ(line.oddParity, c.odd) << c.baud;
    EXPECT_EQ(line.stickParity, c.stick) << c.baud;
    EXPECT_EQ(port.BaudRate(), c.baud);
    EXPECT_EQ(port.Parity(), c.parity);
    EXPECT_EQ(port.StopBits(), c.stop);
  }
}

TEST_F(SerialDriverTest, ARefusedSettingKeepsTheStoredValues) {
  TComPort port(fPty->ComNumber(), 9600, 8, TStopBits::sbOne, TParity::ptNone);
  port.Open();
  EXPECT_EQ(ComError([&] { port.SetLineParameters(9600, 3, TStopBits::sbOne, TParity::ptNone); }),
            "SetCommState failed!");
  EXPECT_EQ(port.DataBits(), 8);
  EXPECT_EQ(port.BaudRate(), 9600u);
}

TEST_F(SerialDriverTest, BytesTravelUnchangedBothWays) {
  TComPort port(fPty->ComNumber());
  port.Open();
  const std::string bytes("A\r\n\x00\x7f\xff\x11\x13 z", 10);
  EXPECT_TRUE(port.WriteText(bytes));
  EXPECT_EQ(Received(bytes.size()), bytes);

  fPty->Send(bytes);
  uint8_t buffer[32] = {};
  uint32_t error = 99;
  int32_t got = port.Read(buffer, sizeof(buffer), 1000, error);
  ASSERT_EQ(got, static_cast<int32_t>(bytes.size()));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), got), bytes);
  EXPECT_EQ(error, 0u);
}

TEST_F(SerialDriverTest, ReadWaitsForItsTimeOutOnASilentLine) {
  TComPort port(fPty->ComNumber());
  port.Open();
  uint8_t buffer[4];
  uint32_t error = 0;
  auto start = Clock::now();
  EXPECT_EQ(port.Read(buffer, sizeof(buffer), 300, error), 0);
  long long waited = MsSince(start);
  EXPECT_GE(waited, 250);
  EXPECT_LT(waited, 2000);
  // A later read with no time-out of its own keeps the one programmed.
  start = Clock::now();
  EXPECT_EQ(port.Read(buffer, sizeof(buffer), 0, error), 0);
  EXPECT_GE(MsSince(start), 250);
  // The 100 ms allowed between two bytes is the line's own setting.
  vxtest::PtyLine line;
  if (fPty->DrivenDirectly() && fPty->ReadLine(line)) {
    EXPECT_EQ(line.readGapDs, 1);
  }
}

TEST_F(SerialDriverTest, AReadEndsWhenTheLineFallsSilentAfterItsFirstBytes) {
  TComPort port(fPty->ComNumber());
  port.Open();
  uint8_t buffer[16];
  uint32_t error = 0;
  fPty->Send("ab");
  auto start = Clock::now();
  // Sixteen bytes asked for within three seconds: the 100 ms gap after "ab" ends the read.
  int32_t got = port.Read(buffer, sizeof(buffer), 3000, error);
  long long took = MsSince(start);
  ASSERT_EQ(got, 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 2), "ab");
  EXPECT_LT(took, 1500);
}

TEST_F(SerialDriverTest, ALineHungUpByTheFarEndFailsItsTimeOutSettingAndPurgeAndStillCloses) {
  if (!fPty->DrivenDirectly()) GTEST_SKIP() << "wine's serial driver keeps the time-outs and purges of a hung-up line";
  TComPort port(fPty->ComNumber());
  port.Open();
  uint8_t buffer[4];
  uint32_t error = 0;
  EXPECT_EQ(port.Read(buffer, 1, 100, error), 0);
  fPty.reset();
  EXPECT_EQ(ComError([&] { port.Read(buffer, 1, 200, error); }), "GetCommTimeouts failed.");
  EXPECT_EQ(ComError([&] { port.ClearBuffers(); }), "PurgeComm failed!");
  // The purge fails on closing too; the port is closed all the same.
  port.Close();
  EXPECT_FALSE(port.ComIsOpen());
}

TEST_F(SerialDriverTest, PendingBytesAreCountedAndCleared) {
  TComPort port(fPty->ComNumber());
  EXPECT_EQ(port.GetBytesPending(), 0);
  port.ClearBuffers();  // closed: nothing to do
  port.Open();
  fPty->Send("12345");
  auto start = Clock::now();
  while (port.GetBytesPending() < 5 && MsSince(start) < 2000) {
  }
  EXPECT_EQ(port.GetBytesPending(), 5);
  port.ClearBuffers();
  EXPECT_EQ(port.GetBytesPending(), 0);
  uint8_t buffer[8];
  uint32_t error = 0;
  EXPECT_EQ(port.Read(buffer, sizeof(buffer), 200, error), 0);
}

TEST_F(SerialDriverTest, ModemLinesAreRefusedByALineWithoutThem) {
  TComPort port(fPty->ComNumber());
  EXPECT_EQ(ComError([&] { port.SetDTR(true); }), "SetRTS failed because COM port not open.");
  EXPECT_EQ(ComError([&] { port.SetRTS(true); }), "SetRTS failed because COM port not open.");
  port.Open();
  // A pseudo-terminal has no DTR or RTS: the failure is reported with the system's code.
  EXPECT_EQ(ComError([&] { port.SetDTR(true); }).rfind("SetDTR failed (error #", 0), 0u);
  EXPECT_EQ(ComError([&] { port.SetRTS(false); }).rfind("SetRTS failed (error #", 0), 0u);
}

TEST_F(SerialDriverTest, AClosedPortRefusesReadsAndWritesAndCanBeOpenedAgain) {
  TComPort port(fPty->ComNumber());
  uint8_t buffer[4];
  uint32_t error = 0;
  EXPECT_EQ(ComError([&] { port.Read(buffer, 4, 100, error); }), "Cannot read because COM port is not open.");
  EXPECT_EQ(ComError([&] { port.WriteText("x"); }), "Cannot write because COM port is not open.");
  port.Open();
  port.Close();
  EXPECT_FALSE(port.ComIsOpen());
  EXPECT_EQ(ComError([&] { port.WriteText("x"); }), "Cannot write because COM port is not open.");
  port.Open();
  EXPECT_TRUE(port.WriteText("again"));
  EXPECT_EQ(Received(5), "again");
}

TEST(SerialDriverOpenTest, AMissingPortIsNotValid) {
  TComPort port(239);
  EXPECT_EQ(ComError([&] { port.Open(); }), "COM239 is not a valid COM port.");
  EXPECT_FALSE(port.ComIsOpen());
}

TEST(SerialDriverOpenTest, APortThatCannotBeOpenedNamesTheSystemError) {
  vxtest::ComPortAlias alias(238, "/");
  if (!alias.Ok()) GTEST_SKIP() << "COM ports cannot be pointed at paths here";
  TComPort port(238);
  std::string message = ComError([&] { port.Open(); });
  EXPECT_EQ(message.rfind("Cannot open COM238 (error #", 0), 0u) << message;
  EXPECT_EQ(message.substr(message.size() - 2), ").");
}

TEST(SerialDriverOpenTest, ADeviceThatIsNoSerialLineFailsItsSettingsAndIsClosedAgain) {
  vxtest::ComPortAlias alias(237, "/dev/null");
  if (!alias.Ok()) GTEST_SKIP() << "COM ports cannot be pointed at paths here";
  TComPort port(237);
  EXPECT_EQ(ComError([&] { port.Open(); }), "GetCommState failed!");
  EXPECT_FALSE(port.ComIsOpen());
}

}  // namespace

namespace {

TEST_F(SerialDriverTest, AWriteOnAHungUpLineFails) {
  TComPort port(fPty->ComNumber());
  port.Open();
  fPty.reset();  // the far end goes away
  std::string failure = ComError([&] {
    for (int i = 0; i < 100; ++i) port.WriteText(std::string(4096, 'x'));
  });
  EXPECT_EQ(failure, "Write to com port failed.");
}

}  // namespace
