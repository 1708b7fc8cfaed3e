// The ways a POST to the terminal can fail, through the exports: an HTTP error with a JSON or an
// HTML body, nothing listening, a connect that never completes, a connection closed without an
// answer or in the middle of one, and a slow answer that still arrives. Each failure ends with
// Error true and the text the host is owed; nothing crashes and the device takes the next command.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "E2EFixture.h"
#include "platform/TcpSocket.h"
#include "support/Loopback.h"

namespace vxtest {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point aStart) {
  return std::chrono::duration<double>(Clock::now() - aStart).count();
}

class TransportE2ETest : public E2ETest {
 protected:
  // A failed payment whose result carries no answer of the terminal.
  static void ExpectFailedWithoutAnswer(const ResultDoc& aResult, const char* aErrorText) {
    EXPECT_EQ(aResult.Code(), -1);
    EXPECT_EQ(aResult.Text("Error"), "True");
    EXPECT_EQ(aResult.Text("ErrorText"), aErrorText);
    EXPECT_EQ(aResult.Text("DeviceId"), "");
    EXPECT_EQ(aResult.Text("TraceAuditId"), "");
  }
};

TEST_F(TransportE2ETest, HttpErrorsCarryTheStatusTextAndTheFirstError) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);

  fSim.Arrange({{"scenario", "http-401"}});
  ExpectFailedWithoutAnswer(till.Sale(u"4.00"), "Unauthorized - Invalid credentials");

  fSim.Arrange({{"scenario", "http-401"}, {"errors", Json::array({"Key mismatch", "Second reason"})}});
  ExpectFailedWithoutAnswer(till.Sale(u"4.00"), "Unauthorized - Key mismatch");

  // An HTML page has no errors to quote.
  fSim.Arrange({{"scenario", "http-500"}});
  ExpectFailedWithoutAnswer(till.Sale(u"4.00"), "Internal Server Error - ");

  const ResultDoc next = till.Sale(u"4.00");
  EXPECT_EQ(next.Code(), 0) << Narrow(next.Document());
  EXPECT_EQ(next.Text("Error"), "False");
}

TEST_F(TransportE2ETest, ATerminalThatIsSwitchedOffFailsAtOnce) {
  TillSettings settings = Settings();
  settings.Url = u"http://127.0.0.1:" + Widen(std::to_string(RefusingPort()));
  Till till(fSim, settings);
  ASSERT_EQ(till.Open().Code(), 0);  // OPEN sends nothing
  for (int attempt = 0; attempt < 2; ++attempt) {
    const Clock::time_point start = Clock::now();
    ExpectFailedWithoutAnswer(till.Sale(u"4.00"), "");
    EXPECT_LT(SecondsSince(start), 5.0);
  }
  EXPECT_EQ(till.Close().Code(), 0);
}

TEST_F(TransportE2ETest, AConnectThatNeverCompletesGivesUpAfterTheConnectTimeOut) {
  UnansweredListener listener;  // its accept queue is full: a connect gets no answer
  TillSettings settings = Settings();
  settings.Url = u"http://127.0.0.1:" + Widen(std::to_string(listener.Port()));
  Till till(fSim, settings);
  ASSERT_EQ(till.Open().Code(), 0);
  const Clock::time_point start = Clock::now();
  ExpectFailedWithoutAnswer(till.Sale(u"4.00"), "");
  const double seconds = SecondsSince(start);
  // The connect time-out is 10 seconds.
  EXPECT_GT(seconds, 8.0);
  EXPECT_LT(seconds, 60.0);
  EXPECT_EQ(till.Close().Code(), 0);
}

TEST_F(TransportE2ETest, AConnectionClosedWithoutAnAnswer) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  fSim.Arrange({{"scenario", "drop"}, {"process", false}});
  ExpectFailedWithoutAnswer(till.Sale(u"4.00"), "");
  EXPECT_EQ(LastRequest()["httpStatus"], 0);
  EXPECT_EQ(till.Sale(u"4.00").Code(), 0);
}

TEST_F(TransportE2ETest, AConnectionClosedInTheMiddleOfTheAnswer) {
  // A terminal that sends the head and part of the body, then closes.
  std::unique_ptr<port::TcpListener> listener = port::TcpListener::Listen();
  std::thread terminal([&] {
    std::unique_ptr<port::TcpConnection> connection = listener->Accept(30000);
    if (!connection) return;
    std::string request;
    while (request.find("\r\n\r\n") == std::string::npos) {
      if (connection->Read(request, 65536, 10000) != port::TcpStatus::Ok) return;
    }
    connection->Write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 4000\r\n\r\n"
                      "{\"SaleToPOIResponse\":{\"MessageHeader\":{\"ProtocolVersion\":\"3.0\",");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    connection->Close();
  });
  TillSettings settings = Settings();
  settings.Url = u"http://127.0.0.1:" + Widen(std::to_string(listener->Port()));
  Till till(fSim, settings);
  ASSERT_EQ(till.Open().Code(), 0);
  ExpectFailedWithoutAnswer(till.Sale(u"4.00"), "");
  terminal.join();
  EXPECT_EQ(till.Close().Code(), 0);
}

TEST_F(TransportE2ETest, ASlowAnswerWithinTheReadTimeOutIsTaken) {
  Till till(fSim, Settings());
  ASSERT_EQ(till.Open().Code(), 0);
  fSim.Arrange({{"scenario", "delay"}, {"ms", 3000}});
  const Clock::time_point start = Clock::now();
  const ResultDoc sale = till.Sale(u"4.00");
  EXPECT_GE(SecondsSince(start), 2.9);
  EXPECT_EQ(sale.Code(), 0) << Narrow(sale.Document());
}

}  // namespace
}  // namespace vxtest
