// VX_HttpClient over the vendor layer and real HTTP on 127.0.0.1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/uVX_HTTPClient.h"
#include "io/uVX_VendorHttp.h"
#include "platform/Utf8.h"
#include "support/Loopback.h"
#include "support/TestHttpServer.h"

namespace {

struct LogLine {
  tVX_MessageType type;
  std::u16string title, message;
  bool operator==(const LogLine&) const = default;
};

std::ostream& operator<<(std::ostream& aStream, const LogLine& aLine) {
  return aStream << (aLine.type == tVX_MessageType::let_error ? "ERROR " : "info ") << port::ToUtf8(aLine.title)
                 << ": " << port::ToUtf8(aLine.message);
}

LogLine Info(std::u16string aTitle, std::u16string aMessage) {
  return {tVX_MessageType::let_info, std::move(aTitle), std::move(aMessage)};
}
LogLine Error(std::u16string aTitle, std::u16string aMessage) {
  return {tVX_MessageType::let_error, std::move(aTitle), std::move(aMessage)};
}

vxtest::CannedResponse Answer(int aStatus, std::string aReason, std::string aBody,
                              vxtest::HeaderList aHeaders = {}) {
  vxtest::CannedResponse response;
  response.status = aStatus;
  response.reason = std::move(aReason);
  response.body = std::move(aBody);
  response.headers = std::move(aHeaders);
  return response;
}

class HTTPClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fClient.SetOnWriteLog([this](tVX_MessageType aType, const std::u16string& aTitle, const std::u16string& aMessage) {
      fLog.push_back({aType, aTitle, aMessage});
    });
  }

  vxtest::TestHttpServer fServer;
  VX_HttpClient fClient;
  std::vector<LogLine> fLog;
};

}  // namespace

TEST_F(HTTPClientTest, DefaultsBeforeAnyRequest) {
  VX_HttpClient client;
  EXPECT_EQ(client.AuthType(), vxHTTPAuthType::at_None);
  EXPECT_EQ(client.ConnectTimeout(), 5);
  EXPECT_EQ(client.ReadTimeout(), 10);
  EXPECT_EQ(client.ContentCharset(), u"utf-8");
  EXPECT_EQ(client.ContentType(), u"");
  EXPECT_EQ(client.UserAgent(), u"");
  EXPECT_EQ(client.LastStatusCode(), 0);
  EXPECT_EQ(client.Response(), u"");
  EXPECT_FALSE(client.OnWriteLog());
}

TEST_F(HTTPClientTest, PostsUtf8TextAndLogsWhatWentAndCame) {
  // "€ 😀": the emoji takes two UTF-16 code units, so the message is 12 units long.
  const std::u16string message = u"{\"x\":\"\u20AC \U0001F600\"}";
  ASSERT_EQ(message.size(), 12u);
  fServer.Enqueue(Answer(200, "OK", "{\"a\":\"\xC3\xBC\"}", {{"Content-Type", "application/json; charset=utf-8"}}));
  fClient.SetConnectTimeout(10);
  fClient.SetReadTimeout(180);
  fClient.SetUserAgent(u"Brannic Zarvik Driver");
  const std::u16string url = fServer.Url16("/nexo");

  EXPECT_TRUE(fClient.Post(url, message));
  EXPECT_EQ(fClient.LastStatusCode(), 200);
  EXPECT_EQ(fClient.LastStatusText(), u"OK");
  EXPECT_EQ(fClient.Response(), u"{\"a\":\"\u00FC\"}");
  EXPECT_EQ(fClient.ResponseContentType(), u"application/json; charset=utf-8");
  EXPECT_EQ(fLog, (std::vector<LogLine>{Info(u"Write", url), Info(u"Write [12]", message),
                                        Info(u"Read [9]", u"{\"a\":\"\u00FC\"}")}));

  const std::vector<vxtest::RecordedRequest> requests = fServer.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].target, "/nexo");
  EXPECT_EQ(requests[0].body, port::ToUtf8(message));
  EXPECT_EQ(requests[0].Header("User-Agent").value_or(""), "Brannic Zarvik Driver");
  // The default path declares no content type of its own.
  EXPECT_FALSE(requests[0].Header("Content-Type").has_value());
}

TEST_F(HTTPClientTest, AcceptsRedirectStatusesWithoutFollowingThem) {
  fServer.Enqueue(Answer(302, "Found", "moved here", {{"Location", fServer.Url("/elsewhere")}}));
  EXPECT_TRUE(fClient.Post(fServer.Url16("/nexo"), u"{}"));
  EXPECT_EQ(fClient.LastStatusCode(), 302);
  EXPECT_EQ(fClient.Response(), u"moved here");
  EXPECT_EQ(fServer.Requests().size(), 1u);

  fServer.Enqueue(Answer(308, "Permanent Redirect", "b"));
  EXPECT_TRUE(fClient.Post(fServer.Url16("/nexo"), u"{}"));
  fServer.Enqueue(Answer(300, "Multiple Choices", "choose"));
  EXPECT_FALSE(fClient.Post(fServer.Url16("/nexo"), u"{}"));
  EXPECT_EQ(fClient.Response(), u"choose");
  EXPECT_EQ(fLog.back(), Error(u"HTTP Error", u"300 - Multiple Choices"));
  fServer.Enqueue(Answer(309, "Odd", "x"));
  EXPECT_FALSE(fClient.Post(fServer.Url16("/nexo"), u"{}"));
  EXPECT_EQ(fServer.Requests().size(), 4u);
}

TEST_F(HTTPClientTest, KeepsTheBodyOfARefusedStatus) {
  const std::string body = "{\"errors\":[\"Invalid credentials\"]}";
  fServer.Enqueue(Answer(404, "Not Found", body));
  const std::u16string url = fServer.Url16("/nexo");
  EXPECT_FALSE(fClient.Post(url, u"{}"));
  EXPECT_EQ(fClient.LastStatusCode(), 404);
  EXPECT_EQ(fClient.LastStatusText(), u"Not Found");
  EXPECT_EQ(fClient.Response(), port::FromUtf8(body));
  EXPECT_EQ(fLog, (std::vector<LogLine>{Info(u"Write", url), Info(u"Write [2]", u"{}"),
                                        Info(u"Read [34]", port::FromUtf8(body)),
                                        Error(u"HTTP Error", u"404 - Not Found")}));
}

TEST_F(HTTPClientTest, ABodyThatCannotBeTakenIsAMethodError) {
  fServer.Enqueue(Answer(200, "OK", "caf\xE9"));  // Latin-1, not UTF-8
  const std::u16string url = fServer.Url16("/nexo");
  EXPECT_FALSE(fClient.Post(url, u""));
  EXPECT_EQ(fClient.Response(), u"");
  EXPECT_EQ(fClient.LastStatusCode(), 200);
  // An empty message writes no "Write [" line and is still sent, with an empty body.
  EXPECT_EQ(fLog, (std::vector<LogLine>{Info(u"Write", url), Error(u"PostXml method error", u"200 - OK")}));
  ASSERT_EQ(fServer.Requests().size(), 1u);
  EXPECT_EQ(fServer.Requests()[0].body, "");
}

TEST_F(HTTPClientTest, NoAnswerGivesTheReasonCodeAndText) {
  const std::u16string url = u"http://127.0.0.1:" + port::FromUtf8(std::to_string(vxtest::RefusingPort())) + u"/nexo";
  EXPECT_FALSE(fClient.Post(url, u"{}"));
  EXPECT_EQ(fClient.LastStatusCode(), kVendorHttp::kConnectFailConnect);
  EXPECT_EQ(fClient.LastStatusText().rfind(u"Connection failed: ", 0), 0u) << port::ToUtf8(fClient.LastStatusText());
  EXPECT_EQ(fClient.Response(), u"");
  ASSERT_EQ(fLog.size(), 3u);
  EXPECT_EQ(fLog[2], Error(u"HTTP Error", u"1 - " + fClient.LastStatusText()));
}

TEST_F(HTTPClientTest, SettingsArePushedOnceButPostRefreshesTheReadTimeout) {
  fClient.SetUserAgent(u"First");
  fClient.SetAuthType(vxHTTPAuthType::at_Basic);
  fClient.SetUser(u"user");
  fClient.SetPassword(u"secret");
  EXPECT_TRUE(fClient.Post(fServer.Url16("/"), u"1"));
  fClient.SetUserAgent(u"Second");
  fClient.SetAuthType(vxHTTPAuthType::at_Bearer);
  fClient.SetBearer(u"token");
  EXPECT_TRUE(fClient.Post(fServer.Url16("/"), u"2"));
  std::vector<vxtest::RecordedRequest> requests = fServer.Requests();
  ASSERT_EQ(requests.size(), 2u);
  for (const vxtest::RecordedRequest& request : requests) {
    EXPECT_EQ(request.Header("User-Agent").value_or(""), "First");
    EXPECT_EQ(request.Header("Authorization").value_or(""), "Basic dXNlcjpzZWNyZXQ=");
  }

  fClient.SetReadTimeout(1);
  vxtest::CannedResponse slow = Answer(200, "OK", "late");
  slow.delayMs = 2500;
  fServer.Enqueue(slow);
  EXPECT_FALSE(fClient.Post(fServer.Url16("/"), u"3"));
  EXPECT_EQ(fClient.LastStatusCode(), kVendorHttp::kConnectFailTimeout);
  EXPECT_EQ(fLog.back().title, u"HTTP Error");
}

TEST_F(HTTPClientTest, GetTakesA2xxBodyAndKeepsItsFirstReadTimeout) {
  fServer.Enqueue(Answer(200, "OK", "hello"));
  const std::u16string url = fServer.Url16("/status");
  EXPECT_TRUE(fClient.Get(url));
  EXPECT_EQ(fClient.Response(), u"hello");
  EXPECT_EQ(fLog, (std::vector<LogLine>{Info(u"GET", url), Info(u"Read [5]", u"hello")}));
  EXPECT_EQ(fServer.Requests().at(0).method, "GET");

  // The read time-out of the first request still holds: a 2 s wait is fine.
  fClient.SetReadTimeout(1);
  vxtest::CannedResponse slow = Answer(200, "OK", "slow");
  slow.delayMs = 2000;
  fServer.Enqueue(slow);
  EXPECT_TRUE(fClient.Get(url));
  EXPECT_EQ(fClient.Response(), u"slow");

  fServer.Enqueue(Answer(301, "Moved Permanently", "gone"));
  fLog.clear();
  EXPECT_FALSE(fClient.Get(url));
  EXPECT_EQ(fLog, (std::vector<LogLine>{Info(u"GET", url), Info(u"Read [4]", u"gone"),
                                        Error(u"HTTP Error", u"301 - Moved Permanently")}));
}

TEST_F(HTTPClientTest, ContentTypeChoosesThePostCall) {
  fClient.SetContentType(u"application/json");
  EXPECT_TRUE(fClient.Post(fServer.Url16("/"), u"{\"a\":1}"));
  VX_HttpClient xml;
  xml.SetContentType(u"application/xml");
  EXPECT_TRUE(xml.Post(fServer.Url16("/"), u"<a>\u00E9</a>"));
  const std::vector<vxtest::RecordedRequest> requests = fServer.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].Header("Content-Type").value_or(""), "application/json");
  EXPECT_EQ(requests[0].body, "{\"a\":1}");
  EXPECT_EQ(requests[1].Header("Content-Type").value_or(""), "application/xml");
  EXPECT_EQ(requests[1].body, "<a>\xC3\xA9</a>");
}

TEST_F(HTTPClientTest, RequestHeadersAndCookiesGoWithLaterRequests) {
  fClient.SetRequestHeader(u"X-Till", u"7");
  fClient.ManageCookies();
  fServer.Enqueue(Answer(200, "OK", "", {{"Set-Cookie", "session=abc; Path=/"}}));
  EXPECT_TRUE(fClient.Post(fServer.Url16("/"), u"1"));
  EXPECT_TRUE(fClient.Post(fServer.Url16("/"), u"2"));
  VX_HttpClient noCookies;
  EXPECT_TRUE(noCookies.Post(fServer.Url16("/"), u"3"));  // nothing logged: no sink assigned
  const std::vector<vxtest::RecordedRequest> requests = fServer.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].Header("X-Till").value_or(""), "7");
  EXPECT_FALSE(requests[0].Header("Cookie").has_value());
  EXPECT_EQ(requests[1].Header("Cookie").value_or(""), "session=abc");
  EXPECT_EQ(requests[1].Header("X-Till").value_or(""), "7");
  EXPECT_FALSE(requests[2].Header("Cookie").has_value());
  EXPECT_FALSE(requests[2].Header("X-Till").has_value());
}
