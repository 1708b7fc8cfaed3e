// The serial handler on a real pseudo-terminal: its settings, its log lines and its timed reads.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "devices/HandlerLog.h"
#include "io/uVXIOHandler_Serial.h"
#include "platform/Error.h"
#include "support/PseudoTerminal.h"

namespace {

using Clock = std::chrono::steady_clock;
using vxtest::HasLine;
using vxtest::U8;

std::string RaisedBy(const std::function<void()>& aAction) {
  try {
    aAction();
  } catch (const tVX_Error& e) {
    return U8(e.Message());
  }
  return "(nothing raised)";
}

kConnection SerialConnection(const std::u16string& aPort) {
  kConnection connection;
  connection.SetConnectionType(vxConnectionType::Serial);
  connection.SetSerialPort(aPort);
  connection.SetSpeed(19200);
  connection.SetDataBits(7);
  connection.SetParity(vxParity::Even);
  connection.SetStopBits(2);
  connection.SetReadTimeOut(300);
  return connection;
}

TEST(SerialHandlerSetupTest, ThePortComesFromTheCharactersAfterCom) {
  kConnection connection = SerialConnection(u"COM10");
  EXPECT_EQ(kIOHandler_Serial(&connection, u"", u"").ComPort().ComNumber(), 10u);
  connection.SetSerialPort(u"COM2045");  // at most three digits are read
  EXPECT_EQ(kIOHandler_Serial(&connection, u"", u"").ComPort().ComNumber(), 204u);
  connection.SetSerialPort(u"COMx1");
  EXPECT_EQ(RaisedBy([&] { kIOHandler_Serial handler(&connection, u"", u""); }), "'x1' is not a valid integer value");
  connection.SetSerialPort(u"COM");
  EXPECT_EQ(RaisedBy([&] { kIOHandler_Serial handler(&connection, u"", u""); }), "'' is not a valid integer value");
}

TEST(SerialHandlerSetupTest, ParityIsCheckedBeforeTheStopBits) {
  kConnection connection = SerialConnection(u"COM3");
  connection.SetStopBits(0);
  EXPECT_EQ(RaisedBy([&] { kIOHandler_Serial handler(&connection, u"", u""); }), "Stop Bits 0 invalid");
  connection.SetParity(static_cast<vxParity>(7));
  EXPECT_EQ(RaisedBy([&] { kIOHandler_Serial handler(&connection, u"", u""); }), "Parity invalid");
  connection.SetParity(vxParity::Odd);
  connection.SetStopBits(2);
  kIOHandler_Serial handler(&connection, u"", u"");
  EXPECT_EQ(handler.ComPort().Parity(), TParity::ptOdd);
  EXPECT_EQ(handler.ComPort().StopBits(), TStopBits::sbTwo);
  EXPECT_EQ(handler.ComPort().BaudRate(), 19200u);
  EXPECT_EQ(handler.ComPort().DataBits(), 7);
  EXPECT_FALSE(handler.Connected());
}

TEST(SerialHandlerSetupTest, AMissingPortFailsTheConnect) {
  kConnection connection = SerialConnection(u"COM236");
  kIOHandler_Serial handler(&connection, u"", u"");
  EXPECT_EQ(RaisedBy([&] { handler.Connect(); }), "COM236 is not a valid COM port.");
  EXPECT_FALSE(handler.Connected());
}

class SerialHandlerTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    fPty = vxtest::PseudoTerminal::Create(why);
    if (!fPty) GTEST_SKIP() << why;
    fConnection = SerialConnection(u"COM" + vxtext::IntToStr(fPty->ComNumber()));
    fHandler = std::make_unique<kIOHandler_Serial>(&fConnection, fFolder.Text(), u"serial");
    fLogFile = fHandler->GetLogFileName();
  }

  std::vector<std::string> CloseAndReadLog() {
    fHandler.reset();
    return vxtest::LogLines(fLogFile);
  }

  vxtest::TempDir fFolder;
  std::unique_ptr<vxtest::PseudoTerminal> fPty;
  kConnection fConnection;
  std::unique_ptr<kIOHandler_Serial> fHandler;
  std::u16string fLogFile;
};

TEST_F(SerialHandlerTest, ConnectLogsTheLineAndOpensThePort) {
  EXPECT_TRUE(fHandler->Connect());
  EXPECT_TRUE(fHandler->Connected());
  vxtest::PtyLine line;
  if (fPty->ReadLine(line)) {
    EXPECT_EQ(line.baudRate, 19200u);
    EXPECT_EQ(line.stopBits, 2);
  }
  EXPECT_TRUE(fHandler->Disconnect());
  EXPECT_FALSE(fHandler->Connected());
  std::vector<std::string> log = CloseAndReadLog();
  const std::string port = "COM" + std::to_string(fPty->ComNumber());
  const std::vector<std::string> expected = {"kIOHandler_Serial", "", "ConnectTimeout=1000", "ReadTimeout=300",
                                             "Serial Driver Version: 1.0", "SerialPort=" + port, "Speed=19200",
                                             "Parity=even", "DataBits=7", "StopBits=2"};
  int at = vxtest::IndexOf(log, std::string(61, '*'));
  ASSERT_GE(at, 0);
  ASSERT_GE(log.size(), at + 1 + expected.size());
  EXPECT_EQ(std::vector<std::string>(log.begin() + at + 1, log.begin() + at + 1 + expected.size()), expected);
}

TEST_F(SerialHandlerTest, AReconnectLogsAndAppliesTheSettingsTheOpenPortWasGiven) {
  struct Case {
    TParity parity;
    TStopBits stop;
    const char* parityLine;
    const char* stopLine;
  } cases[] = {{TParity::ptMark, TStopBits::sbOneHalf, "Parity=mark", "StopBits=1.5"},
               {TParity::ptSpace, TStopBits::sbOne, "Parity=space", "StopBits=1"},
               {TParity::ptNone, TStopBits::sbTwo, "Parity=none", "StopBits=2"},
               {TParity::ptOdd, TStopBits::sbOne, "Parity=odd", "StopBits=1"}};
  if (!fPty->DrivenDirectly()) GTEST_SKIP() << "wine cannot set a parity again on a reopened pseudo-terminal";
  ASSERT_TRUE(fHandler->Connect());
  for (const Case& c : cases) {
    fHandler->ComPort().SetLineParameters(57600, 8, c.stop, c.parity);
    ASSERT_TRUE(fHandler->Disconnect());
    ASSERT_TRUE(fHandler->Connect());
    vxtest::PtyLine line;
    if (!fPty->ReadLine(line)) continue;
    EXPECT_EQ(line.baudRate, 57600u);
    EXPECT_EQ(line.stopBits, c.stop == TStopBits::sbOne ? 1 : 2) << c.stopLine;
    EXPECT_EQ(line.stickParity, c.parity == TParity::ptMark || c.parity == TParity::ptSpace) << c.parityLine;
  }
  std::vector<std::string> log = CloseAndReadLog();
  EXPECT_TRUE(HasLine(log, "Speed=57600"));
  for (const Case& c : cases) {
    int at = vxtest::IndexOf(log, c.parityLine);
    ASSERT_GE(at, 0) << c.parityLine;
    ASSERT_LT(static_cast<size_t>(at + 2), log.size());
    EXPECT_EQ(log[at + 1], "DataBits=8");
    EXPECT_EQ(log[at + 2], c.stopLine);
  }
}

TEST_F(SerialHandlerTest, WriteSendsTheTextInTheAnsiCodePage) {
  fHandler->Connect();
  EXPECT_TRUE(fHandler->Write(u"Gr\u00fc\u00dfe!"));
  EXPECT_EQ(fPty->Receive(6, 2000), "Gr\xfc\xdf" "e!");
  EXPECT_TRUE(HasLine(CloseAndReadLog(), "Write:Gr\u00fc\u00dfe!"));
}

TEST_F(SerialHandlerTest, ReadCharsLogsReadWhenTheCountCameAndReadTimeoutWhenItDidNot) {
  fHandler->Connect();
  fPty->Send("abc");
  EXPECT_EQ(fHandler->ReadChars(3), u"abc");
  fPty->Send("de");
  auto start = Clock::now();
  EXPECT_EQ(fHandler->ReadChars(3), u"de");
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
  std::vector<std::string> log = CloseAndReadLog();
  EXPECT_TRUE(HasLine(log, "Read:abc"));
  EXPECT_TRUE(HasLine(log, "ERROR - Read Timeout:de"));
}

TEST_F(SerialHandlerTest, ReadUpToStopsAtATerminatorAndLogsWhatItWaitsFor) {
  fHandler->SetHexLog(true);
  fHandler->Connect();
  fPty->Send("OK\x03rest");
  EXPECT_EQ(fHandler->ReadUpTo({3, 10}), u"OK\x03");
  EXPECT_TRUE(fHandler->InputBufferContainsData());
  fHandler->ClearBuffers();
  EXPECT_FALSE(fHandler->InputBufferContainsData());
  auto start = Clock::now();
  EXPECT_EQ(fHandler->ReadUpTo({3}), u"");
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
  std::vector<std::string> log = CloseAndReadLog();
  EXPECT_TRUE(HasLine(log, "Waiting for:\x03,\n [03,0a]"));
  EXPECT_TRUE(HasLine(log, "Read:OK\x03 [4f 4b 03]"));
  EXPECT_TRUE(HasLine(log, "ERROR - Read Timeout: []"));
}

TEST_F(SerialHandlerTest, ReadUpToKeepsReadingWhileTheLineKeepsSending) {
  fHandler->Connect();
  // A byte every 50 ms for about three read time-outs, then the terminator.
  std::thread sender([this] {
    for (int i = 0; i < 18; ++i) {
      fPty->Send("x");
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    fPty->Send("\n");
  });
  auto start = Clock::now();
  std::u16string result = fHandler->ReadUpTo({10});
  auto took = Clock::now() - start;
  sender.join();
  EXPECT_EQ(result, std::u16string(18, u'x') + u"\n");
  EXPECT_GE(took, std::chrono::milliseconds(800));
  EXPECT_TRUE(HasLine(CloseAndReadLog(), "Read:" + std::string(18, 'x') + "\n"));
}

TEST_F(SerialHandlerTest, AReadOnALineThatWasHungUpLogsItsErrorsWithoutSpinning) {
  if (!fPty->DrivenDirectly()) GTEST_SKIP() << "wine's serial driver does not fail the reads of a hung-up line";
  fHandler->Connect();
  fPty->Send("A");
  EXPECT_EQ(fHandler->ReadChars(1), u"A");  // the port's read time-outs are set
  fPty.reset();
  auto start = Clock::now();
  EXPECT_EQ(fHandler->ReadUpTo({10}), u"");
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
  std::vector<std::string> log = CloseAndReadLog();
  int errors = 0;
  for (const std::string& line : log) errors += line.rfind("ERROR - Read Error:", 0) == 0 ? 1 : 0;
  // One failed read per 100 ms pass at most, each naming the system's code.
  EXPECT_GE(errors, 1);
  EXPECT_LE(errors, 6);
  EXPECT_TRUE(HasLine(log, "ERROR - Read Error:5"));
  EXPECT_TRUE(HasLine(log, "ERROR - Read Timeout:"));
}

TEST_F(SerialHandlerTest, PortErrorsPassThroughAndReadAllIsNotSupported) {
  EXPECT_EQ(RaisedBy([&] { fHandler->ReadChars(1); }), "Cannot read because COM port is not open.");
  EXPECT_EQ(RaisedBy([&] { fHandler->Write(u"x"); }), "Cannot write because COM port is not open.");
  EXPECT_EQ(RaisedBy([&] { fHandler->ReadAll(); }), "ReadAll Unsupported");
  EXPECT_EQ(fHandler->DecodeError(3), u"");
  fHandler->SetParameter(u"a", u"b");
}

}  // namespace
