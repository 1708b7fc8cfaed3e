#include "io/uVX_HTTPClient.h"

#include "base/uVX_Text.h"
#include "io/uVX_VendorHttp.h"

namespace {

bool IsAcceptedPostStatus(int32_t aStatus) {
  return (aStatus >= 200 && aStatus <= 299) || (aStatus >= 301 && aStatus <= 308);
}

bool IsAcceptedGetStatus(int32_t aStatus) { return aStatus >= 200 && aStatus <= 299; }

std::u16string LengthTitle(const char16_t* aTitle, const std::u16string& aText) {
  return std::u16string(aTitle) + u" [" + vxtext::IntToStr(static_cast<int64_t>(aText.size())) + u"]";
}

}  // namespace

VX_HttpClient::VX_HttpClient() : fHTTP(std::make_unique<kVendorHttp>()) {}

VX_HttpClient::~VX_HttpClient() = default;

void VX_HttpClient::DoWriteLog(tVX_MessageType aEntryType, const std::u16string& aTitle,
                               const std::u16string& aMessage) {
  if (fOnWriteLog) fOnWriteLog(aEntryType, aTitle, aMessage);
}

void VX_HttpClient::LogHttpError() {
  DoWriteLog(tVX_MessageType::let_error, u"HTTP Error", vxtext::IntToStr(fLastStatusCode) + u" - " + fLastStatusText);
}

void VX_HttpClient::ApplySettings() {
  fHTTP->PutConnectTimeout(fConnectTimeout);
  fHTTP->PutReadTimeout(fReadTimeout);
  fHTTP->PutAcceptCharset(u"");
  fHTTP->PutUserAgent(fUserAgent);
  fHTTP->PutAcceptLanguage(u"");
  fHTTP->PutAllowGzip(false);
  fHTTP->SetRequestHeader(u"Content-Type", fContentType);
  fHTTP->PutRequireSslCertVerify(false);
  fHTTP->PutFollowRedirects(false);
  fHTTP->PutUserAgent(fUserAgent);
  switch (fAuthType) {
    case vxHTTPAuthType::at_Basic:
      fHTTP->PutBasicAuth(true);
      fHTTP->PutLogin(fUser);
      fHTTP->PutPassword(fPassword);
      break;
    case vxHTTPAuthType::at_Digest:
      fHTTP->PutLogin(fUser);
      fHTTP->PutPassword(fPassword);
      fHTTP->PutBasicAuth(false);
      fHTTP->PutNtlmAuth(false);
      fHTTP->PutNegotiateAuth(false);
      fHTTP->PutDigestAuth(true);
      break;
    case vxHTTPAuthType::at_Bearer:
      fHTTP->PutAuthToken(fBearer);
      break;
    case vxHTTPAuthType::at_None:
      break;
  }
  fHTTPAlreadySet = true;
}

bool VX_HttpClient::Post(std::u16string_view aURL, std::u16string_view aMessage) {
  bool result = false;
  const std::u16string url(aURL), message(aMessage);
  // The answer fields describe this request from here on, whatever its outcome.
  fResponse.clear();
  fResponseContentType.clear();
  DoWriteLog(tVX_MessageType::let_info, u"Write", url);
  if (!message.empty()) DoWriteLog(tVX_MessageType::let_info, LengthTitle(u"Write", message), message);
  if (!fHTTPAlreadySet) ApplySettings();
  else fHTTP->PutReadTimeout(fReadTimeout);

  kVendorHttpRequest request;
  std::unique_ptr<kVendorHttpResponse> response;
  if (fContentType == u"application/xml") {
    request.PutContentType(fContentType);
    response = fHTTP->PostXml(url, message, u"utf-8");
  } else if (fContentType == u"application/json") {
    request.PutContentType(fContentType);
    response = fHTTP->PostJson(url, message);
  } else {
    request.LoadBodyFromString(message, u"utf-8");
    response = fHTTP->PostUrlEncoded(url, request);
  }

  if (!response) {
    fLastStatusCode = fHTTP->ConnectFailReason();
    fLastStatusText = fHTTP->LastErrorText();
    LogHttpError();
    return false;
  }
  fLastStatusCode = response->StatusCode();
  fLastStatusText = response->StatusText();
  if (!fHTTP->LastMethodSuccess()) {
    DoWriteLog(tVX_MessageType::let_error, u"PostXml method error",
               vxtext::IntToStr(fLastStatusCode) + u" - " + fLastStatusText);
  } else {
    fResponse = response->BodyStr();
    DoWriteLog(tVX_MessageType::let_info, LengthTitle(u"Read", fResponse), fResponse);
    fResponseContentType = response->GetHeaderField(u"content-type");
    result = true;
  }
  if (!IsAcceptedPostStatus(fLastStatusCode)) {
    result = false;
    LogHttpError();
  }
  return result;
}

bool VX_HttpClient::Get(std::u16string_view aURL) {
  bool result = false;
  const std::u16string url(aURL);
  fResponse.clear();
  fResponseContentType.clear();
  if (!fHTTPAlreadySet) ApplySettings();
  DoWriteLog(tVX_MessageType::let_info, u"GET", url);
  const std::u16string body = fHTTP->QuickGetStr(url);
  fLastStatusCode = fHTTP->LastStatus();
  // The status text is refreshed too, so that an error line never shows an earlier request's.
  fLastStatusText = fLastStatusCode != 0 ? fHTTP->LastStatusText() : fHTTP->LastErrorText();
  if (fHTTP->LastMethodSuccess()) {
    fResponse = body;
    DoWriteLog(tVX_MessageType::let_info, LengthTitle(u"Read", fResponse), fResponse);
    result = true;
  }
  if (!IsAcceptedGetStatus(fLastStatusCode)) {
    result = false;
    LogHttpError();
  }
  return result;
}

void VX_HttpClient::SetRequestHeader(std::u16string_view aKey, std::u16string_view aValue) {
  fHTTP->SetRequestHeader(aKey, aValue);
}

bool VX_HttpClient::ManageCookies() {
  fHTTP->PutCookieDir(u"memory");
  fHTTP->PutSaveCookies(true);
  fHTTP->PutSendCookies(true);
  return true;
}
