// The vendor HTTP object's own rules, over real HTTP on 127.0.0.1.
#include <gtest/gtest.h>

#include "io/uVX_VendorHttp.h"
#include "support/TestHttpServer.h"

TEST(VendorHttpTest, ContentTypeHeaderAndCallDefaults) {
  vxtest::TestHttpServer server;
  kVendorHttp http;
  http.PutAuthToken(u"tok");
  ASSERT_TRUE(http.PostJson(server.Url16("/"), u"{}"));
  ASSERT_TRUE(http.PostXml(server.Url16("/"), u"<a/>", u"utf-8"));
  kVendorHttpRequest request;
  request.PutContentType(u"text/plain");
  ASSERT_TRUE(request.LoadBodyFromString(u"x", u"utf-8"));
  ASSERT_TRUE(http.PostUrlEncoded(server.Url16("/"), request));
  http.SetRequestHeader(u"content-type", u"application/vnd.test");
  ASSERT_TRUE(http.PostJson(server.Url16("/"), u"{}"));

  const std::vector<vxtest::RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].Header("Content-Type").value_or(""), "application/json");
  EXPECT_EQ(requests[1].Header("Content-Type").value_or(""), "application/xml; charset=utf-8");
  EXPECT_EQ(requests[2].Header("Content-Type").value_or(""), "text/plain");
  EXPECT_EQ(requests[3].Header("Content-Type").value_or(""), "application/vnd.test");
  for (const vxtest::RecordedRequest& r : requests) EXPECT_EQ(r.Header("Authorization").value_or(""), "Bearer tok");
}

TEST(VendorHttpTest, SettingsItCannotHonourFailEveryRequestLoudly) {
  vxtest::TestHttpServer server;
  kVendorHttp http;
  http.PutFollowRedirects(true);
  EXPECT_EQ(http.PostJson(server.Url16("/"), u"{}"), nullptr);
  EXPECT_FALSE(http.LastMethodSuccess());
  EXPECT_EQ(http.ConnectFailReason(), kVendorHttp::kConnectFailUnsupported);
  EXPECT_FALSE(http.LastErrorText().empty());
  http.PutFollowRedirects(false);
  http.PutNtlmAuth(true);
  EXPECT_EQ(http.QuickGetStr(server.Url16("/")), u"");
  EXPECT_EQ(http.ConnectFailReason(), kVendorHttp::kConnectFailUnsupported);
  http.PutNtlmAuth(false);
  EXPECT_EQ(http.PostXml(server.Url16("/"), u"<a/>", u"utf-16"), nullptr);
  EXPECT_TRUE(server.Requests().empty());

  server.Enqueue({.status = 201, .reason = "Created", .headers = {}, .body = "made"});
  EXPECT_EQ(http.QuickGetStr(server.Url16("/")), u"made");
  EXPECT_TRUE(http.LastMethodSuccess());
  EXPECT_EQ(http.LastStatus(), 201);
  EXPECT_EQ(http.LastStatusText(), u"Created");
  EXPECT_EQ(http.ConnectFailReason(), kVendorHttp::kConnectFailNone);
}
