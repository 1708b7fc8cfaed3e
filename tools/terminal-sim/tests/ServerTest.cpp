// The HTTP layer under malformed and unusual requests, HTTPS, and the program itself.
#include "SimFixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace simtest {
namespace {

// Sends aBytes on a fresh connection and reads until the server closes it (or 5 s pass).
std::string RawExchange(uint16_t aPort, const std::string& aBytes, bool aHalfClose = false) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(aPort);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return "(connect failed)";
  }
  timeval timeout{5, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
  ::send(fd, aBytes.data(), aBytes.size(), MSG_NOSIGNAL);
  if (aHalfClose) ::shutdown(fd, SHUT_WR);
  std::string answer;
  char buffer[4096];
  long got;
  while ((got = ::recv(fd, buffer, sizeof(buffer), 0)) > 0) answer.append(buffer, static_cast<size_t>(got));
  ::close(fd);
  return answer;
}

std::string StatusLine(const std::string& aAnswer) { return aAnswer.substr(0, aAnswer.find("\r\n")); }

// Stops the child process it holds (SIGTERM, then SIGKILL) unless the test already reaped it.
class ChildGuard {
 public:
  explicit ChildGuard(pid_t aPid) : fPid(aPid) {}
  ~ChildGuard() {
    if (fPid <= 0) return;
    ::kill(fPid, SIGTERM);
    for (int i = 0; i < 50 && ::waitpid(fPid, nullptr, WNOHANG) == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (::waitpid(fPid, nullptr, WNOHANG) == 0) {
      ::kill(fPid, SIGKILL);
      ::waitpid(fPid, nullptr, 0);
    }
  }
  ChildGuard(const ChildGuard&) = delete;
  ChildGuard& operator=(const ChildGuard&) = delete;
  // Sends SIGTERM and answers the wait status; the guard then has nothing left to do.
  int Terminate() {
    int status = 0;
    ::kill(fPid, SIGTERM);
    ::waitpid(fPid, &status, 0);
    fPid = 0;
    return status;
  }

 private:
  pid_t fPid;
};

using ServerTest = SimTest;

TEST_F(ServerTest, MalformedRequestsGetBadRequestAndTheServerGoesOn) {
  const uint16_t port = fSim->Port();
  EXPECT_EQ(StatusLine(RawExchange(port, "GARBAGE\r\n\r\n")), "HTTP/1.1 400 Bad Request");
  EXPECT_EQ(StatusLine(RawExchange(port, "POST /nexo HTTP/1.1\r\nContent-Length: abc\r\n\r\n")), "HTTP/1.1 400 Bad Request");
  EXPECT_EQ(StatusLine(RawExchange(port, "POST /nexo HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\nhello")),
            "HTTP/1.1 400 Bad Request");
  EXPECT_EQ(StatusLine(RawExchange(port, "POST /nexo HTTP/1.1\r\nContent-Length: 99999999\r\n\r\n")),
            "HTTP/1.1 413 Payload Too Large");
  EXPECT_EQ(StatusLine(RawExchange(port, "POST /nexo HTTP/2.0\r\n\r\n")), "HTTP/1.1 505 HTTP Version Not Supported");
  EXPECT_EQ(StatusLine(RawExchange(port, "GET / HTTP/1.1\r\nBad Header\r\n\r\n")), "HTTP/1.1 400 Bad Request");
  EXPECT_EQ(StatusLine(RawExchange(port, "GET / HTTP/1.1\r\nX: " + std::string(20000, 'a') + "\r\n\r\n")),
            "HTTP/1.1 431 Request Header Fields Too Large");
  EXPECT_EQ(StatusLine(RawExchange(port, "POST /nexo HTTP/1.1\r\nContent-Length: 50\r\n\r\nshort", true)),
            "HTTP/1.1 400 Bad Request");
  EXPECT_EQ(RawExchange(port, std::string("\x16\x03\x01\x00\x05hello", 10), true).substr(0, 12), "HTTP/1.1 400");
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  EXPECT_EQ(HttpCall("POST", Client().BaseUrl() + "/nexo", deep).status, 400);
  EXPECT_EQ(HttpCall("POST", Client().BaseUrl() + "/control", deep).status, 400);
  EXPECT_EQ(Client().Send(LoginRequest("S-T", "1000000001")).error, "");
}

TEST_F(ServerTest, KeepAliveChunkedBodiesAndContinue) {
  const std::string body = Client().Protect(LoginRequest("S-T", "1000000002").dump());
  // Two requests on one connection, the second chunked and asking to continue, then close.
  std::string chunked;
  for (size_t i = 0; i < body.size(); i += 100) {
    const std::string part = body.substr(i, 100);
    char size[16];
    std::snprintf(size, sizeof(size), "%zx\r\n", part.size());
    chunked += size + part + "\r\n";
  }
  chunked += "0\r\n\r\n";
  const std::string answer = RawExchange(
      fSim->Port(),
      "POST /nexo HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body +
          "POST /nexo HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\nExpect: 100-continue\r\nConnection: close\r\n\r\n" +
          chunked);
  size_t count = 0;
  for (size_t at = answer.find("HTTP/1.1 200 OK"); at != std::string::npos; at = answer.find("HTTP/1.1 200 OK", at + 1)) {
    ++count;
  }
  EXPECT_EQ(count, 2u) << answer.substr(0, 400);
  EXPECT_NE(answer.find("HTTP/1.1 100 Continue"), std::string::npos);
  EXPECT_NE(answer.find("Connection: close"), std::string::npos);
  EXPECT_EQ(Client().Requests().size(), 2u);
}

TEST(HttpsTest, ProtectedRoundTripOverTlsWithTheSelfSignedCertificate) {
  const std::filesystem::path cert = std::filesystem::temp_directory_path() / ("termsim-cert-" + std::to_string(::getpid()) + ".pem");
  termsim::SimOptions options;
  options.https = true;
  options.certFile = cert.string();
  options.secret = "Geheim€ 123";
  termsim::Simulator sim(options);
  sim.Start();
  EXPECT_EQ(sim.BaseUrl().rfind("https://127.0.0.1:", 0), 0u);
  NexoClient client(sim.BaseUrl(), std::string("Geheim\x80 123"));  // the passphrase as Windows-1252 bytes
  const Exchange payment = client.Send(PaymentRequest("S-T", "1000000003", "2.5"));
  ASSERT_EQ(payment.error, "") << payment.http.curlCode;
  EXPECT_EQ(payment.Result("PaymentResponse"), "Success");
  std::ifstream pem(cert);
  std::string first;
  std::getline(pem, first);
  EXPECT_EQ(first, "-----BEGIN CERTIFICATE-----");
  // Plain HTTP on the TLS port gets nowhere.
  EXPECT_NE(HttpCall("GET", "http://127.0.0.1:" + std::to_string(sim.Port()) + "/requests", "", 2000).status, 200);
  sim.Stop();
  std::filesystem::remove(cert);
}

// The program: --help, the first output line, the port file, the control endpoint and a clean
// exit on SIGTERM.
TEST(ProgramTest, StartsPrintsItsPortServesAndStopsOnSigterm) {
  const std::string program = TERMSIM_PROGRAM;
  FILE* help = ::popen((program + " --help").c_str(), "r");
  std::string text;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof(buffer), help)) > 0) text.append(buffer, got);
  EXPECT_EQ(::pclose(help), 0);
  for (const auto& info : termsim::ScenarioCatalogue()) {
    EXPECT_NE(text.find(std::string("  ") + info.name + " "), std::string::npos) << info.name;
  }
  EXPECT_NE(text.find(".51"), std::string::npos);

  FILE* bad = ::popen((program + " --port 70000 2>&1").c_str(), "r");
  while (std::fread(buffer, 1, sizeof(buffer), bad) > 0) {
  }
  EXPECT_EQ(WEXITSTATUS(::pclose(bad)), 2);

  const std::filesystem::path portFile =
      std::filesystem::temp_directory_path() / ("termsim-port-" + std::to_string(::getpid()));
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::close(out[0]);
    ::execl(program.c_str(), program.c_str(), "--port-file", portFile.c_str(), "--poiid", "P-7", "--max-seconds", "60",
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(out[1]);
  ChildGuard child(pid);
  std::string line;
  char c;
  while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
  ASSERT_EQ(line.rfind("listening 127.0.0.1:", 0), 0u) << line;
  const std::string port = line.substr(20, line.find(' ', 20) - 20);
  EXPECT_EQ(line.substr(line.size() - 5), " http");
  std::string written;
  std::ifstream(portFile) >> written;
  EXPECT_EQ(written, port);

  NexoClient client("http://127.0.0.1:" + port, "terminal-sim secret");
  EXPECT_EQ(client.Send(Envelope(Header("Logout", "S-T", "1000000004", "P-7"), "LogoutRequest", Json::object()))
                .Result("LogoutResponse"),
            "Success");
  EXPECT_EQ(client.Control({{"scenario", "delay"}, {"ms", 5}})["ok"], true);

  const int status = child.Terminate();
  ::close(out[0]);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::filesystem::remove(portFile);
}

TEST(SimulatorStopTest, StopEndsADelayedAnswerAtOnce) {
  termsim::Simulator sim(termsim::SimOptions{});
  sim.Start();
  NexoClient client(sim.BaseUrl(), "terminal-sim secret");
  client.Control({{"scenario", "delay"}, {"ms", 60000}});
  Exchange slow;
  std::thread caller([&] { slow = client.Send(LoginRequest("S-T", "1000000005")); });
  for (int i = 0; i < 1000 && client.Requests().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const auto start = std::chrono::steady_clock::now();
  sim.Stop();
  caller.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_NE(slow.http.curlCode, 0);
}

}  // namespace
}  // namespace simtest
