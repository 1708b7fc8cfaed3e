#pragma once
// A small HTTP client over the vendor HTTP object: holds the settings of a request, pushes them
// into the vendor object once (at the first request), sends POST or GET, keeps the status, status
// text, body and content type of the answer, and reports every step through OnWriteLog. Post and
// Get report failure by their result, never by throwing; one thread at a time.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "io/uVX_HTTPClient_Defs.h"

class kVendorHttp;

class VX_HttpClient {
 public:
  VX_HttpClient();
  ~VX_HttpClient();
  VX_HttpClient(const VX_HttpClient&) = delete;
  VX_HttpClient& operator=(const VX_HttpClient&) = delete;

  // POSTs aMessage (UTF-8) to aURL. True when the answer's body was taken and its status is
  // 200-299 or 301-308 (redirects are not followed: a 3xx body is the answer).
  bool Post(std::u16string_view aURL, std::u16string_view aMessage);
  // GETs aURL. True when the body was taken and the status is 200-299.
  bool Get(std::u16string_view aURL);
  // Sent with every later request of this client.
  void SetRequestHeader(std::u16string_view aKey, std::u16string_view aValue);
  // Keeps cookies in memory between the requests of this client; always true.
  bool ManageCookies();

  vxHTTPAuthType AuthType() const { return fAuthType; }
  void SetAuthType(vxHTTPAuthType aValue) { fAuthType = aValue; }
  const std::u16string& User() const { return fUser; }
  void SetUser(std::u16string_view aValue) { fUser = aValue; }
  const std::u16string& Password() const { return fPassword; }
  void SetPassword(std::u16string_view aValue) { fPassword = aValue; }
  const std::u16string& Bearer() const { return fBearer; }
  void SetBearer(std::u16string_view aValue) { fBearer = aValue; }
  // Whole seconds.
  int32_t ConnectTimeout() const { return fConnectTimeout; }
  void SetConnectTimeout(int32_t aValue) { fConnectTimeout = aValue; }
  int32_t ReadTimeout() const { return fReadTimeout; }
  void SetReadTimeout(int32_t aValue) { fReadTimeout = aValue; }
  const std::u16string& UserAgent() const { return fUserAgent; }
  void SetUserAgent(std::u16string_view aValue) { fUserAgent = aValue; }
  // "application/xml" and "application/json" (exactly) choose those post calls; anything else
  // posts the message as UTF-8 text with no content type of its own.
  const std::u16string& ContentType() const { return fContentType; }
  void SetContentType(std::u16string_view aValue) { fContentType = aValue; }
  const std::u16string& ContentCharset() const { return fContentCharset; }
  void SetContentCharset(std::u16string_view aValue) { fContentCharset = aValue; }
  // Status and status text of the last answer; when none came, the vendor's connect-failure
  // reason and error text.
  int32_t LastStatusCode() const { return fLastStatusCode; }
  void SetLastStatusCode(int32_t aValue) { fLastStatusCode = aValue; }
  const std::u16string& LastStatusText() const { return fLastStatusText; }
  void SetLastStatusText(std::u16string_view aValue) { fLastStatusText = aValue; }
  // Body and content type of the last answer; empty when its body could not be taken.
  const std::u16string& Response() const { return fResponse; }
  const std::u16string& ResponseContentType() const { return fResponseContentType; }
  const vxWriteLogEvent& OnWriteLog() const { return fOnWriteLog; }
  void SetOnWriteLog(vxWriteLogEvent aValue) { fOnWriteLog = std::move(aValue); }

 private:
  void ApplySettings();
  void DoWriteLog(tVX_MessageType aEntryType, const std::u16string& aTitle, const std::u16string& aMessage);
  void LogHttpError();

  std::unique_ptr<kVendorHttp> fHTTP;
  bool fHTTPAlreadySet = false;

  vxHTTPAuthType fAuthType = vxHTTPAuthType::at_None;
  std::u16string fUser;
  std::u16string fPassword;
  std::u16string fBearer;
  int32_t fConnectTimeout = 5;
  int32_t fReadTimeout = 10;
  std::u16string fUserAgent;
  std::u16string fContentType;
  std::u16string fContentCharset = u"utf-8";
  int32_t fLastStatusCode = 0;
  std::u16string fLastStatusText;
  std::u16string fResponse;
  std::u16string fResponseContentType;
  vxWriteLogEvent fOnWriteLog;
};
