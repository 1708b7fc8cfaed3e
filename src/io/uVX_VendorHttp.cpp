#include "io/uVX_VendorHttp.h"

#include <algorithm>

#include "base/uVX_Text.h"
#include "platform/Utf8.h"

namespace {

constexpr int32_t kMaxTimeoutSeconds = 2000000;  // keeps the milliseconds within 32 bits

int TimeoutMs(int32_t aSeconds) { return std::clamp(aSeconds, 1, kMaxTimeoutSeconds) * 1000; }

std::u16string FailureText(port::HttpFailure aFailure) {
  switch (aFailure) {
    case port::HttpFailure::ConnectFailed: return u"Connection failed";
    case port::HttpFailure::TimedOut: return u"Timed out";
    default: return u"Transport error";
  }
}

int32_t FailReason(port::HttpFailure aFailure) {
  switch (aFailure) {
    case port::HttpFailure::ConnectFailed: return kVendorHttp::kConnectFailConnect;
    case port::HttpFailure::TimedOut: return kVendorHttp::kConnectFailTimeout;
    default: return kVendorHttp::kConnectFailTransport;
  }
}

}  // namespace

bool kVendorHttpRequest::LoadBodyFromString(std::u16string_view aBody, std::u16string_view aCharset) {
  if (!vxtext::SameText(aCharset, u"utf-8")) return false;
  fBody = port::ToUtf8(aBody);
  return true;
}

std::u16string kVendorHttpResponse::BodyStr() const { return port::FromUtf8(fResult.body); }

std::u16string kVendorHttpResponse::GetHeaderField(std::u16string_view aName) const {
  return fResult.Header(aName).value_or(std::u16string());
}

void kVendorHttp::SetRequestHeader(std::u16string_view aName, std::u16string_view aValue) {
  for (port::HttpHeader& header : fHeaders) {
    if (vxtext::SameText(header.name, aName)) {
      header.value = aValue;
      return;
    }
  }
  fHeaders.push_back({std::u16string(aName), std::u16string(aValue)});
}

const std::u16string* kVendorHttp::FindHeader(std::u16string_view aName) const {
  for (const port::HttpHeader& header : fHeaders) {
    if (vxtext::SameText(header.name, aName)) return &header.value;
  }
  return nullptr;
}

std::unique_ptr<kVendorHttpResponse> kVendorHttp::PostJson(std::u16string_view aUrl, std::u16string_view aBody) {
  return Send(port::HttpMethod::Post, aUrl, port::ToUtf8(aBody), u"application/json");
}

std::unique_ptr<kVendorHttpResponse> kVendorHttp::PostXml(std::u16string_view aUrl, std::u16string_view aBody,
                                                          std::u16string_view aCharset) {
  if (!vxtext::SameText(aCharset, u"utf-8")) {
    fLastMethodSuccess = false;
    fLastStatus = 0;
    fLastStatusText.clear();
    fConnectFailReason = kConnectFailUnsupported;
    fLastErrorText = u"Charset " + std::u16string(aCharset) + u" is not supported";
    return nullptr;
  }
  return Send(port::HttpMethod::Post, aUrl, port::ToUtf8(aBody), u"application/xml; charset=utf-8");
}

std::unique_ptr<kVendorHttpResponse> kVendorHttp::PostUrlEncoded(std::u16string_view aUrl,
                                                                 const kVendorHttpRequest& aRequest) {
  return Send(port::HttpMethod::Post, aUrl, aRequest.Body(), aRequest.ContentType());
}

std::u16string kVendorHttp::QuickGetStr(std::u16string_view aUrl) {
  std::unique_ptr<kVendorHttpResponse> response = Send(port::HttpMethod::Get, aUrl, std::string(), u"");
  if (!response || !fLastMethodSuccess) return std::u16string();
  return response->BodyStr();
}

std::unique_ptr<kVendorHttpResponse> kVendorHttp::Send(port::HttpMethod aMethod, std::u16string_view aUrl,
                                                       std::string aBody, std::u16string_view aContentType) {
  fLastMethodSuccess = false;
  fLastStatus = 0;
  fLastStatusText.clear();
  fLastErrorText.clear();
  fConnectFailReason = kConnectFailNone;

  std::u16string unsupported;
  if (fAllowGzip) unsupported = u"Compressed answers are not supported";
  else if (fFollowRedirects) unsupported = u"Following redirects is not supported";
  else if (fNtlmAuth || fNegotiateAuth) unsupported = u"NTLM and Negotiate authentication are not supported";
  if (!unsupported.empty()) {
    fConnectFailReason = kConnectFailUnsupported;
    fLastErrorText = unsupported;
    return nullptr;
  }

  port::HttpRequest request;
  request.method = aMethod;
  request.url = aUrl;
  request.headers.push_back({u"User-Agent", fUserAgent});
  request.headers.push_back({u"Accept-Charset", fAcceptCharset});
  request.headers.push_back({u"Accept-Language", fAcceptLanguage});
  for (const port::HttpHeader& header : fHeaders) request.headers.push_back(header);
  const std::u16string* contentType = FindHeader(u"Content-Type");
  if (aMethod == port::HttpMethod::Post && (contentType == nullptr || contentType->empty())) {
    request.headers.push_back({u"Content-Type", std::u16string(aContentType)});
  }
  request.body = std::move(aBody);
  request.connectTimeoutMs = TimeoutMs(fConnectTimeout);
  request.readTimeoutMs = TimeoutMs(fReadTimeout);
  if (fDigestAuth) request.auth = port::HttpAuth::Digest;
  else if (fBasicAuth) request.auth = port::HttpAuth::Basic;
  else if (!fAuthToken.empty()) request.auth = port::HttpAuth::Bearer;
  request.user = fLogin;
  request.password = fPassword;
  request.token = fAuthToken;
  if (vxtext::SameText(fCookieDir, u"memory") && fSaveCookies && fSendCookies) {
    if (!fCookieJar) fCookieJar = port::HttpCookieJar::Create();
    request.cookies = fCookieJar.get();
  }
  request.verifyCertificate = fRequireSslCertVerify;

  port::HttpResult result = port::HttpSend(request);
  if (!result.Answered()) {
    fConnectFailReason = FailReason(result.failure);
    fLastErrorText = FailureText(result.failure) + u": " + result.errorText + u" (" +
                     vxtext::IntToStr(result.errorCode) + u")";
    return nullptr;
  }
  fLastStatus = result.status;
  fLastStatusText = result.reason;
  // The terminal protocol is UTF-8 text: a body that is not is refused rather than garbled.
  fLastMethodSuccess = port::IsValidUtf8(result.body);
  if (!fLastMethodSuccess) fLastErrorText = u"The answer's body is not valid UTF-8 text";
  return std::make_unique<kVendorHttpResponse>(std::move(result));
}
