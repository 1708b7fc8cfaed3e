// The base handler's log, banners, custom error and temporary time-outs, seen through the HTTP
// handler (the base is abstract). Each test reads the device's log file back after the handler
// is gone, which also proves that every line was written before the STOP banner.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "LogFile.h"
#include "base/uVX_DateTime.h"
#include "io/uVXIOHandler_HTTP.h"
#include "io/uVX_HTTPClient_Defs.h"
#include "platform/Clock.h"
#include "support/TempDir.h"

namespace {

using tVX_MessageType::let_error;
using tVX_MessageType::let_info;

const std::u16string kStart = u"*************************** START ***************************";
const std::u16string kStop = u"*************************** STOP ****************************";

// Exposes the protected hex dump.
struct Probe : kIOHandler_HTTP {
  using kIOHandler_HTTP::kIOHandler_HTTP;
  using kIOHandler::HexDump;
};

TEST(IOHandler, HexDump) {
  EXPECT_EQ(Probe::HexDump(u"AB"), u"41 42");
  EXPECT_EQ(Probe::HexDump(u""), u"");
  EXPECT_EQ(Probe::HexDump(u"\n"), u"0a");
  EXPECT_EQ(Probe::HexDump(u"\u00FF\u20AC\u0100x"), u"ff 20ac 0100 78");
}

TEST(IOHandler, LogFileHoldsBannersAndFormattedLines) {
  vxtest::TempDir dir;
  kConnection connection;
  connection.SetConnectTimeOut(2500);
  connection.SetReadTimeOut(700);
  connection.SetURL(u"http://127.0.0.1:1/x");
  std::u16string logDir = dir.Text() + u"LogFiles";
  std::u16string fileName;
  {
    kIOHandler_HTTP handler(&connection, logDir, u"VXPA_TEST_7");
    fileName = handler.GetLogFileName();
    EXPECT_EQ(handler.ConnectTimeout(), 2500);
    EXPECT_EQ(handler.ReadTimeout(), 700);
    handler.SetVersion(u"1.2.3");
    EXPECT_TRUE(handler.Connect());
    handler.WriteLog(let_info, u"Title", u"Message");
    handler.WriteLog(let_error, u"Oops", u"");
    handler.SetHexLog(true);
    handler.WriteLog(let_info, u"Hex", u"OK");
    handler.Debug(let_error, u"plain \u00E9");
    // The log event of the HTTP client is bound straight to WriteLog.
    vxWriteLogEvent event = std::bind_front(&kIOHandler::WriteLog, &handler);
    event(let_info, u"Bound", u"A");
    handler.SetHexLog(false);

    handler.SetTemporaryReadTimeout(0);
    EXPECT_EQ(handler.ReadTimeout(), 700);
    handler.ResetTemporaryReadTimeout();
    EXPECT_EQ(handler.ReadTimeout(), 700);
    handler.SetTemporaryReadTimeout(5000);
    EXPECT_EQ(handler.ReadTimeout(), 5000);
    handler.ResetTemporaryReadTimeout();
    EXPECT_EQ(handler.ReadTimeout(), 700);
    handler.ResetTemporaryReadTimeout();  // the saved value stays
    EXPECT_EQ(handler.ReadTimeout(), 700);
  }
  port::LocalTime now = port::Now();
  std::filesystem::path expected = std::filesystem::path(logDir) /
                                   ("VXPA_TEST_7_" + std::to_string(now.year * 10000 + now.month * 100 + now.day) + ".log");
  EXPECT_EQ(std::filesystem::path(fileName), expected);

  auto entries = vxtest::ReadLogEntries(expected);
  std::vector<std::u16string> messages;
  for (const auto& entry : entries) messages.push_back(entry.message);
  const std::vector<std::u16string> want = {
      kStart,
      std::u16string(61, u'*'),
      u"kIOHandler_HTTP",
      u"1.2.3",
      u"ConnectTimeout=2500",
      u"ReadTimeout=700",
      u"URL=http://127.0.0.1:1/x",
      u"Title:Message",
      u"Oops:",
      u"Hex:OK [4f 4b]",
      u"plain \u00E9",
      u"Bound:A [41]",
      u"Set Read Timeout to 0ms from 700 ms",
      u"Reset Timeout to 0 ms",
      u"Set Read Timeout to 5000ms from 700 ms",
      u"Reset Timeout to 700 ms",
      u"Reset Timeout to 700 ms",
      kStop,
  };
  EXPECT_EQ(messages, want);
  ASSERT_EQ(entries.size(), want.size());
  EXPECT_FALSE(entries[7].error);
  EXPECT_TRUE(entries[8].error);
  EXPECT_TRUE(entries[10].error);
}

TEST(IOHandler, WithoutFileNameNothingIsLogged) {
  vxtest::TempDir dir;
  std::u16string logDir = dir.Text() + u"NoLog";
  {
    kIOHandler_HTTP handler(nullptr, logDir, u"");
    handler.SetHexLog(true);
    handler.WriteLog(let_info, u"T", u"M");
    handler.Debug(let_error, u"D");
    handler.SetTemporaryReadTimeout(10);
    EXPECT_EQ(handler.ReadTimeout(), 10);
    EXPECT_TRUE(handler.Connect());
    EXPECT_EQ(handler.GetLogFileName(), u"");
    // Without a connection the time-outs keep their defaults.
    handler.ResetTemporaryReadTimeout();
    EXPECT_EQ(handler.ReadTimeout(), 1000);
    EXPECT_EQ(handler.ConnectTimeout(), 1000);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "NoLog"));
}

TEST(IOHandler, CustomErrorIsKeptUntilReset) {
  kIOHandler_HTTP handler(nullptr, u"", u"");
  EXPECT_FALSE(handler.ErrorFound());
  handler.SetCustomError(42, u"broken");
  handler.SetCustomError(43, u"worse");
  EXPECT_TRUE(handler.ErrorFound());
  EXPECT_EQ(handler.ErrorCode(), 43);
  EXPECT_EQ(handler.ErrorMessage(), u"worse");
  handler.ResetCustomError();
  EXPECT_FALSE(handler.ErrorFound());
  EXPECT_EQ(handler.ErrorCode(), 0);
  EXPECT_EQ(handler.ErrorMessage(), u"");
}

}  // namespace
