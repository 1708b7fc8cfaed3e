#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "platform/HttpClient.h"
#include "support/Loopback.h"
#include "support/Md5.h"
#include "support/TestHttpServer.h"

namespace {

using port::HttpFailure;
using vxtest::CannedResponse;
using Clock = std::chrono::steady_clock;

// name=value pairs of an Authorization header, quotes removed.
std::map<std::string, std::string> DigestParameters(const std::string& aHeader) {
  std::map<std::string, std::string> out;
  size_t pos = aHeader.find(' ');
  while (pos != std::string::npos) {
    pos = aHeader.find_first_not_of(" ,", pos);
    size_t equals = aHeader.find('=', pos);
    if (pos == std::string::npos || equals == std::string::npos) break;
    std::string name = aHeader.substr(pos, equals - pos), value;
    pos = equals + 1;
    if (aHeader[pos] == '"') {
      size_t close = aHeader.find('"', pos + 1);
      value = aHeader.substr(pos + 1, close - pos - 1);
      pos = close + 1;
    } else {
      size_t comma = aHeader.find(',', pos);
      value = aHeader.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
      pos = comma;
    }
    out[name] = value;
  }
  return out;
}

long long MsSince(Clock::time_point aStart) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - aStart).count();
}

port::HttpRequest Post(const std::u16string& aUrl, std::string aBody = {}) {
  port::HttpRequest request;
  request.url = aUrl;
  request.body = std::move(aBody);
  request.connectTimeoutMs = 1000;
  request.readTimeoutMs = 2000;
  return request;
}

TEST(HttpClient, PostSendsHeadersAndBodyAndReturnsTheAnswer) {
  vxtest::TestHttpServer server;
  CannedResponse answer;
  answer.status = 201;
  answer.reason = "Created  it";  // kept exactly, double blank included
  answer.headers = {{"Content-Type", "application/json"}, {"X-Trace", "42"}};
  answer.body = std::string("{\"a\":1}\0\xFF", 9);
  server.Enqueue(answer);

  auto request = Post(server.Url16("/nexo?x=1"), "{\"q\":\"\xC3\xA9\"}");
  request.headers = {{u"Content-Type", u"application/json"}, {u"X-Custom", u"v 1"}, {u"User-Agent", u"Agent 7"}};
  port::HttpResult result = port::HttpSend(request);

  ASSERT_TRUE(result.Answered()) << std::string(result.errorText.begin(), result.errorText.end());
  EXPECT_EQ(result.failure, HttpFailure::None);
  EXPECT_EQ(result.status, 201);
  EXPECT_EQ(result.reason, u"Created  it");
  EXPECT_EQ(result.body, answer.body);
  EXPECT_EQ(result.Header(u"content-TYPE"), u"application/json");
  EXPECT_EQ(result.Header(u"x-trace"), u"42");
  EXPECT_FALSE(result.Header(u"X-Missing").has_value());

  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].target, "/nexo?x=1");
  EXPECT_EQ(requests[0].version, "HTTP/1.1");
  EXPECT_EQ(requests[0].body, "{\"q\":\"\xC3\xA9\"}");
  EXPECT_EQ(requests[0].Header("Content-Type"), "application/json");
  EXPECT_EQ(requests[0].Header("X-Custom"), "v 1");
  EXPECT_EQ(requests[0].Header("User-Agent"), "Agent 7");
  EXPECT_FALSE(requests[0].Header("Authorization").has_value());
  EXPECT_FALSE(requests[0].Header("Cookie").has_value());
}

TEST(HttpClient, EmptyHeaderValuesAreNotSent) {
  vxtest::TestHttpServer server;
  auto request = Post(server.Url16(), "a=b");
  request.headers = {{u"Content-Type", u""}, {u"Accept-Language", u""}};
  ASSERT_TRUE(port::HttpSend(request).Answered());
  auto sent = server.Requests().at(0);
  EXPECT_FALSE(sent.Header("Content-Type").has_value());
  EXPECT_FALSE(sent.Header("Accept-Language").has_value());
  EXPECT_FALSE(sent.Header("User-Agent").has_value());
  EXPECT_EQ(sent.body, "a=b");
}

TEST(HttpClient, GetAndRedirectsNotFollowed) {
  vxtest::TestHttpServer server;
  CannedResponse moved;
  moved.status = 302;
  moved.reason = "Found";
  moved.headers = {{"Location", server.Url("/elsewhere")}};
  moved.body = "moved body";
  server.Enqueue(moved);

  auto request = Post(server.Url16("/start"));
  request.method = port::HttpMethod::Get;
  auto result = port::HttpSend(request);
  ASSERT_TRUE(result.Answered());
  EXPECT_EQ(result.status, 302);
  EXPECT_EQ(result.body, "moved body");
  EXPECT_EQ(result.Header(u"Location"), server.Url16("/elsewhere"));
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].method, "GET");
  EXPECT_EQ(server.Requests()[0].target, "/start");
}

TEST(HttpClient, Authentication) {
  vxtest::TestHttpServer server;
  auto request = Post(server.Url16());
  request.auth = port::HttpAuth::Basic;
  request.user = u"user";
  request.password = u"p\u00E4ss";
  ASSERT_TRUE(port::HttpSend(request).Answered());
  EXPECT_EQ(server.Requests().at(0).Header("Authorization"), "Basic dXNlcjpww6Rzcw==");

  request.auth = port::HttpAuth::Bearer;
  request.token = u"tok.en";
  ASSERT_TRUE(port::HttpSend(request).Answered());
  EXPECT_EQ(server.Requests().at(1).Header("Authorization"), "Bearer tok.en");

  // Digest: the first request meets the challenge, the second answers it.
  CannedResponse challenge;
  challenge.status = 401;
  challenge.reason = "Unauthorized";
  challenge.headers = {{"WWW-Authenticate", "Digest realm=\"vx\", nonce=\"abc123\", qop=\"auth\", algorithm=MD5"}};
  server.Enqueue(challenge);
  request.auth = port::HttpAuth::Digest;
  request.password = u"secret";
  request.body = "digest body";
  auto result = port::HttpSend(request);
  ASSERT_TRUE(result.Answered());
  EXPECT_EQ(result.status, 200);
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 4u);
  auto authorization = requests[3].Header("Authorization").value_or("");
  ASSERT_EQ(authorization.rfind("Digest ", 0), 0u) << authorization;
  auto p = DigestParameters(authorization);
  EXPECT_EQ(p["username"], "user");
  EXPECT_EQ(p["realm"], "vx");
  EXPECT_EQ(p["nonce"], "abc123");
  EXPECT_EQ(p["uri"], "/");
  EXPECT_EQ(p["qop"], "auth");
  std::string ha1 = vxtest::Md5Hex("user:vx:secret");
  std::string ha2 = vxtest::Md5Hex("POST:/");
  EXPECT_EQ(p["response"], vxtest::Md5Hex(ha1 + ":abc123:" + p["nc"] + ":" + p["cnonce"] + ":auth:" + ha2));
  EXPECT_EQ(requests[3].body, "digest body");
}

TEST(HttpClient, CookiesOnlyWithAJar) {
  vxtest::TestHttpServer server;
  CannedResponse setter;
  setter.headers = {{"Set-Cookie", "session=s1; Path=/"}};
  server.Enqueue(setter);
  server.Enqueue(setter);

  auto jar = port::HttpCookieJar::Create();
  auto request = Post(server.Url16("/a"));
  request.cookies = jar.get();
  ASSERT_TRUE(port::HttpSend(request).Answered());
  ASSERT_TRUE(port::HttpSend(request).Answered());
  request.cookies = nullptr;
  ASSERT_TRUE(port::HttpSend(request).Answered());
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_FALSE(requests[0].Header("Cookie").has_value());
  EXPECT_EQ(requests[1].Header("Cookie"), "session=s1");
  EXPECT_FALSE(requests[2].Header("Cookie").has_value());
}

TEST(HttpClient, FailuresWithoutAnAnswer) {
  // Nothing listens: refused at once.
  std::string url = "http://127.0.0.1:" + std::to_string(vxtest::RefusingPort()) + "/";
  auto request = Post(std::u16string(url.begin(), url.end()), "x");
  auto result = port::HttpSend(request);
  EXPECT_EQ(result.failure, HttpFailure::ConnectFailed);
  EXPECT_NE(result.errorCode, 0);
  EXPECT_FALSE(result.errorText.empty());

  // The server reads the request and closes the connection.
  vxtest::TestHttpServer server;
  CannedResponse hangUp;
  hangUp.action = CannedResponse::Action::CloseWithoutAnswer;
  server.Enqueue(hangUp);
  request.url = server.Url16();
  result = port::HttpSend(request);
  EXPECT_FALSE(result.Answered());
  EXPECT_EQ(result.failure, HttpFailure::Other);
  EXPECT_FALSE(result.errorText.empty());
}

TEST(HttpClient, ReadTimeOutWhenTheServerNeverAnswers) {
  vxtest::TestHttpServer server;
  CannedResponse silent;
  silent.action = CannedResponse::Action::NeverAnswer;
  server.Enqueue(silent);
  auto request = Post(server.Url16(), "x");
  request.readTimeoutMs = 300;
  auto start = Clock::now();
  auto result = port::HttpSend(request);
  EXPECT_EQ(result.failure, HttpFailure::TimedOut);
  EXPECT_GE(MsSince(start), 250);
  EXPECT_LT(MsSince(start), 3000);
  EXPECT_EQ(server.Requests().size(), 1u);

  // A slow answer within the time-out still arrives.
  CannedResponse slow;
  slow.delayMs = 100;
  slow.body = "late";
  server.Enqueue(slow);
  request.readTimeoutMs = 1500;
  result = port::HttpSend(request);
  ASSERT_TRUE(result.Answered());
  EXPECT_EQ(result.body, "late");
}

TEST(HttpClient, ConnectTimeOut) {
  vxtest::UnansweredListener silent;
  std::string url = "http://127.0.0.1:" + std::to_string(silent.Port()) + "/";
  auto request = Post(std::u16string(url.begin(), url.end()), "x");
  request.connectTimeoutMs = 300;
  auto start = Clock::now();
  auto result = port::HttpSend(request);
  EXPECT_EQ(result.failure, HttpFailure::TimedOut);
  EXPECT_GE(MsSince(start), 250);
  EXPECT_LT(MsSince(start), 3000);
}

}  // namespace
