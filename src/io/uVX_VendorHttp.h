#pragma once
// The HTTP object of the vendor layer, over the HTTP port. Settings and request headers are kept
// by the object and apply to every later request; each post or get is one synchronous request.
// The outcome of the last call is in LastMethodSuccess, LastStatus, LastStatusText,
// LastErrorText and ConnectFailReason. Nothing here throws for a network failure.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/HttpClient.h"

// The body and content type of a url-encoded post.
class kVendorHttpRequest {
 public:
  kVendorHttpRequest() = default;
  kVendorHttpRequest(const kVendorHttpRequest&) = delete;
  kVendorHttpRequest& operator=(const kVendorHttpRequest&) = delete;

  void PutContentType(std::u16string_view aContentType) { fContentType = aContentType; }
  const std::u16string& ContentType() const { return fContentType; }
  // The body is aBody in aCharset; only "utf-8" is supported (false otherwise, body unchanged).
  bool LoadBodyFromString(std::u16string_view aBody, std::u16string_view aCharset);
  const std::string& Body() const { return fBody; }

 private:
  std::u16string fContentType;
  std::string fBody;
};

// An answer as it came back: status, reason phrase, headers and body.
class kVendorHttpResponse {
 public:
  explicit kVendorHttpResponse(port::HttpResult aResult) : fResult(std::move(aResult)) {}
  kVendorHttpResponse(const kVendorHttpResponse&) = delete;
  kVendorHttpResponse& operator=(const kVendorHttpResponse&) = delete;

  int32_t StatusCode() const { return fResult.status; }
  const std::u16string& StatusText() const { return fResult.reason; }
  // The body read as UTF-8 (invalid sequences become U+FFFD).
  std::u16string BodyStr() const;
  // The value of the first header named aName (ASCII case ignored), or the empty text.
  std::u16string GetHeaderField(std::u16string_view aName) const;

 private:
  port::HttpResult fResult;
};

class kVendorHttp {
 public:
  // Reasons in ConnectFailReason when no answer came.
  static constexpr int32_t kConnectFailNone = 0;
  static constexpr int32_t kConnectFailConnect = 1;     // refused, unreachable, name not resolved
  static constexpr int32_t kConnectFailTimeout = 2;     // no connection or no answer in time
  static constexpr int32_t kConnectFailTransport = 3;   // reset, malformed answer, TLS, ...
  static constexpr int32_t kConnectFailUnsupported = 4; // a setting this layer cannot honour

  kVendorHttp() = default;
  kVendorHttp(const kVendorHttp&) = delete;
  kVendorHttp& operator=(const kVendorHttp&) = delete;

  // Time-outs in whole seconds (values below 1 count as 1).
  void PutConnectTimeout(int32_t aSeconds) { fConnectTimeout = aSeconds; }
  void PutReadTimeout(int32_t aSeconds) { fReadTimeout = aSeconds; }
  // Header values; an empty value sends no header.
  void PutAcceptCharset(std::u16string_view aValue) { fAcceptCharset = aValue; }
  void PutAcceptLanguage(std::u16string_view aValue) { fAcceptLanguage = aValue; }
  void PutUserAgent(std::u16string_view aValue) { fUserAgent = aValue; }
  // Only false is supported for gzip and redirects: with true every request fails, reason
  // kConnectFailUnsupported.
  void PutAllowGzip(bool aAllow) { fAllowGzip = aAllow; }
  void PutFollowRedirects(bool aFollow) { fFollowRedirects = aFollow; }
  void PutRequireSslCertVerify(bool aRequire) { fRequireSslCertVerify = aRequire; }
  // Sets (or replaces, ASCII case ignored) a header sent with every later request. A
  // "Content-Type" set here overrides the type a post call would send.
  void SetRequestHeader(std::u16string_view aName, std::u16string_view aValue);

  // Credentials and schemes: digest when DigestAuth, else basic when BasicAuth (both with Login
  // and Password), else a bearer token when AuthToken is set. NTLM and Negotiate are not
  // supported: switched on, every request fails with kConnectFailUnsupported.
  void PutLogin(std::u16string_view aLogin) { fLogin = aLogin; }
  void PutPassword(std::u16string_view aPassword) { fPassword = aPassword; }
  void PutAuthToken(std::u16string_view aToken) { fAuthToken = aToken; }
  void PutBasicAuth(bool aOn) { fBasicAuth = aOn; }
  void PutDigestAuth(bool aOn) { fDigestAuth = aOn; }
  void PutNtlmAuth(bool aOn) { fNtlmAuth = aOn; }
  void PutNegotiateAuth(bool aOn) { fNegotiateAuth = aOn; }

  // Cookies are kept in memory (cookie dir "memory") when both saving and sending are on; any
  // other combination sends and keeps none.
  void PutCookieDir(std::u16string_view aDir) { fCookieDir = aDir; }
  void PutSaveCookies(bool aOn) { fSaveCookies = aOn; }
  void PutSendCookies(bool aOn) { fSendCookies = aOn; }

  // POST aBody as UTF-8 with the "Content-Type" request header, else "application/json".
  std::unique_ptr<kVendorHttpResponse> PostJson(std::u16string_view aUrl, std::u16string_view aBody);
  // POST aBody in aCharset ("utf-8" only) with the "Content-Type" request header, else
  // "application/xml; charset=" aCharset.
  std::unique_ptr<kVendorHttpResponse> PostXml(std::u16string_view aUrl, std::u16string_view aBody,
                                               std::u16string_view aCharset);
  // POST the request object's body with the "Content-Type" request header when one is set, else
  // the request object's content type, else none.
  std::unique_ptr<kVendorHttpResponse> PostUrlEncoded(std::u16string_view aUrl, const kVendorHttpRequest& aRequest);
  // GET aUrl; the body as text (empty when LastMethodSuccess is false).
  std::u16string QuickGetStr(std::u16string_view aUrl);

  // Post calls: true when an answer came and its body is well-formed UTF-8 text. A post answers a
  // response object whenever an answer came, whatever its status.
  bool LastMethodSuccess() const { return fLastMethodSuccess; }
  // Status and reason phrase of the last answer (0 and empty when none came).
  int32_t LastStatus() const { return fLastStatus; }
  const std::u16string& LastStatusText() const { return fLastStatusText; }
  // Why the last call failed, for the log.
  const std::u16string& LastErrorText() const { return fLastErrorText; }
  int32_t ConnectFailReason() const { return fConnectFailReason; }

 private:
  std::unique_ptr<kVendorHttpResponse> Send(port::HttpMethod aMethod, std::u16string_view aUrl, std::string aBody,
                                            std::u16string_view aContentType);
  const std::u16string* FindHeader(std::u16string_view aName) const;

  int32_t fConnectTimeout = 30;
  int32_t fReadTimeout = 30;
  std::u16string fAcceptCharset, fAcceptLanguage, fUserAgent;
  bool fAllowGzip = false, fFollowRedirects = false, fRequireSslCertVerify = false;
  std::vector<port::HttpHeader> fHeaders;
  std::u16string fLogin, fPassword, fAuthToken;
  bool fBasicAuth = false, fDigestAuth = false, fNtlmAuth = false, fNegotiateAuth = false;
  std::u16string fCookieDir;
  bool fSaveCookies = false, fSendCookies = false;
  std::unique_ptr<port::HttpCookieJar> fCookieJar;

  bool fLastMethodSuccess = false;
  int32_t fLastStatus = 0;
  std::u16string fLastStatusText;
  std::u16string fLastErrorText;
  int32_t fConnectFailReason = kConnectFailNone;
};
