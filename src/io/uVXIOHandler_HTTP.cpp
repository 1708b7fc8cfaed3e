#include "io/uVXIOHandler_HTTP.h"

#include "base/uVX_Text.h"
#include "platform/Error.h"
#include "platform/Utf8.h"

namespace {

constexpr int32_t kNoAnswerCode = 999;

bool IsSuccess(int32_t aStatus) { return aStatus >= 200 && aStatus <= 299; }

}  // namespace

kIOHandler_HTTP::kIOHandler_HTTP(const kConnection* aConnection, std::u16string_view aDirectory,
                                 std::u16string_view aFileName)
    : kIOHandler(u"kIOHandler_HTTP", aConnection, aDirectory, aFileName) {
  if (aConnection != nullptr) {
    if (!aConnection->URL().empty()) {
      fURL = aConnection->URL();
    } else {
      fURL = aConnection->Address();
      if (aConnection->Port() > 0) fURL += u":" + vxtext::IntToStr(aConnection->Port());
    }
    fAuthType = aConnection->AuthType();
    fUser = aConnection->User();
    fPassword = aConnection->Password();
  }
  fHttpClient.connectTimeout = ConnectTimeout();
}

kIOHandler_HTTP::~kIOHandler_HTTP() = default;

bool kIOHandler_HTTP::Connected() { return false; }

bool kIOHandler_HTTP::Connect() {
  kIOHandler::Connect();
  Debug(tVX_MessageType::let_info, u"URL=" + fURL);
  fHttpClient.connectTimeout = ConnectTimeout();
  return true;
}

bool kIOHandler_HTTP::Disconnect() { return !Connected(); }

void kIOHandler_HTTP::ClearBuffers() {}

bool kIOHandler_HTTP::Write(std::u16string_view aMessage) {
  port::HttpRequest request;
  request.body = port::ToUtf8(aMessage);
  WriteLog(tVX_MessageType::let_info, u"Write [" + vxtext::IntToStr(static_cast<int64_t>(request.body.size())) + u"]",
           aMessage);

  request.method = port::HttpMethod::Post;
  request.url = fURL;
  request.connectTimeoutMs = fHttpClient.connectTimeout;
  // A silent server must not hold the device forever: the answer is awaited for ReadTimeout.
  request.readTimeoutMs = ReadTimeout();
  switch (fAuthType) {
    case vxHTTPAuthType::at_Basic: request.auth = port::HttpAuth::Basic; break;
    case vxHTTPAuthType::at_Digest: request.auth = port::HttpAuth::Digest; break;
    default: break;
  }
  request.user = fUser;
  request.password = fPassword;
  bool customContentType = false;
  for (const auto& header : fHttpClient.headers)
    customContentType = customContentType || vxtext::SameText(header.name, u"Content-Type");
  if (!customContentType) request.headers.push_back({u"Content-Type", fContentType});
  request.headers.insert(request.headers.end(), fHttpClient.headers.begin(), fHttpClient.headers.end());

  port::HttpResult result = port::HttpSend(request);
  if (result.Answered() && IsSuccess(result.status)) {
    fResponse = port::FromUtf8(result.body);
    fResponseCode = result.status;
  } else if (result.Answered()) {
    // The server said no: its status line is the component's message.
    std::u16string message = u"HTTP/1.1 " + vxtext::IntToStr(result.status) + u" " + result.reason;
    WriteLog(tVX_MessageType::let_error, u"Post Error", message);
    fResponse = port::FromUtf8(result.body);
    fResponseCode = result.status;
    SetCustomError(fResponseCode, message + u" " + DecodeError(fResponseCode));
    WriteLog(tVX_MessageType::let_error, u"Post Error",
             vxtext::IntToStr(fResponseCode) + u" " + DecodeError(fResponseCode));
  } else {
    WriteLog(tVX_MessageType::let_error, u"Post Error", result.errorText);
    fResponse.clear();
    fResponseCode = kNoAnswerCode;
    SetCustomError(kNoAnswerCode, result.errorText);
  }
  WriteLog(tVX_MessageType::let_info, u"Read", u"ResponseCode:" + vxtext::IntToStr(fResponseCode) + u"\r\n" + fResponse);
  return IsSuccess(fResponseCode);
}

std::u16string kIOHandler_HTTP::ReadUpTo(const std::vector<uint8_t>&) { return {}; }

std::u16string kIOHandler_HTTP::ReadChars(int32_t) { return {}; }

std::u16string kIOHandler_HTTP::ReadAll() { throw tVX_Error(u"ReadAll Unsupported"); }

bool kIOHandler_HTTP::InputBufferContainsData() { throw tVX_Error(u"InputBufferContainsData Unsupported"); }

void kIOHandler_HTTP::SetParameter(std::u16string_view aName, std::u16string_view aValue) {
  for (auto& header : fHttpClient.headers) {
    if (vxtext::SameText(header.name, aName)) {
      header.value = aValue;
      return;
    }
  }
  fHttpClient.headers.push_back({std::u16string(aName), std::u16string(aValue)});
}
