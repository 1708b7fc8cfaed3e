// HTTP(S) through WinHTTP. Every request turns redirects off, sets both receive time-outs (wine
// ignores the plain one while it waits for the response headers) and, without a cookie jar, turns
// cookies off. A cookie jar is a WinHTTP session of its own: WinHTTP keeps cookies per session.
#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <string>

#include "platform/HttpClient.h"
#include "platform/Utf8.h"
#include "platform/win32/HttpDigest.h"

namespace port {

namespace {

struct HandleCloser {
  void operator()(void* aHandle) const { WinHttpCloseHandle(aHandle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

HINTERNET OpenSession() {
  return WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
}

class WinCookieJar final : public HttpCookieJar {
 public:
  WinCookieJar() : fSession(OpenSession()) {}
  HINTERNET Session() const { return fSession.get(); }

 private:
  Handle fSession;
};

const wchar_t* Wide(const std::u16string& aText) { return reinterpret_cast<const wchar_t*>(aText.c_str()); }
std::u16string Narrow(const wchar_t* aText, size_t aLength) {
  return std::u16string(reinterpret_cast<const char16_t*>(aText), aLength);
}

std::u16string Base64(std::string_view aBytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::u16string out;
  for (size_t i = 0; i < aBytes.size(); i += 3) {
    uint32_t chunk = static_cast<uint8_t>(aBytes[i]) << 16;
    if (i + 1 < aBytes.size()) chunk |= static_cast<uint8_t>(aBytes[i + 1]) << 8;
    if (i + 2 < aBytes.size()) chunk |= static_cast<uint8_t>(aBytes[i + 2]);
    out.push_back(kDigits[(chunk >> 18) & 63]);
    out.push_back(kDigits[(chunk >> 12) & 63]);
    out.push_back(i + 1 < aBytes.size() ? kDigits[(chunk >> 6) & 63] : '=');
    out.push_back(i + 2 < aBytes.size() ? kDigits[chunk & 63] : '=');
  }
  return out;
}

std::u16string ErrorText(DWORD aError) {
  wchar_t* text = nullptr;
  DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  HMODULE winhttp = GetModuleHandleW(L"winhttp.dll");
  if (winhttp != nullptr) flags |= FORMAT_MESSAGE_FROM_HMODULE;
  DWORD n = FormatMessageW(flags, winhttp, aError, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string message;
  if (n > 0 && text != nullptr) message = Narrow(text, n);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == u'\r' || message.back() == u'\n' || message.back() == u' '))
    message.pop_back();
  std::u16string code = FromUtf8("WinHTTP error " + std::to_string(aError));
  return message.empty() ? code : code + u": " + message;
}

// A text header of the answer; empty when absent.
std::u16string QueryText(HINTERNET aRequest, DWORD aInfo) {
  DWORD size = 0;
  WinHttpQueryHeaders(aRequest, aInfo, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
  std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(aRequest, aInfo, WINHTTP_HEADER_NAME_BY_INDEX, buffer.data(), &size,
                           WINHTTP_NO_HEADER_INDEX))
    return {};
  return Narrow(buffer.data(), size / sizeof(wchar_t));
}

// "Name: value" lines after the status line of the raw header block.
std::vector<HttpHeader> ParseHeaders(const std::u16string& aRaw) {
  std::vector<HttpHeader> headers;
  size_t pos = aRaw.find(u"\r\n");
  while (pos != std::u16string::npos) {
    size_t start = pos + 2;
    pos = aRaw.find(u"\r\n", start);
    std::u16string line = aRaw.substr(start, pos == std::u16string::npos ? std::u16string::npos : pos - start);
    size_t colon = line.find(u':');
    if (line.empty() || colon == std::u16string::npos) continue;
    size_t value = line.find_first_not_of(u" \t", colon + 1);
    headers.push_back({line.substr(0, colon), value == std::u16string::npos ? u"" : line.substr(value)});
  }
  return headers;
}

bool ReadBody(HINTERNET aRequest, std::string& aBody) {
  for (;;) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(aRequest, &available)) return false;
    if (available == 0) return true;
    std::string chunk(available, '\0');
    DWORD read = 0;
    if (!WinHttpReadData(aRequest, chunk.data(), available, &read)) return false;
    if (read == 0) return true;
    aBody.append(chunk.data(), read);
  }
}

bool SameAscii(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i] >= u'A' && a[i] <= u'Z' ? static_cast<char16_t>(a[i] + 32) : a[i];
    char16_t y = b[i] >= u'A' && b[i] <= u'Z' ? static_cast<char16_t>(b[i] + 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

void SetDword(HINTERNET aHandle, DWORD aOption, DWORD aValue) { WinHttpSetOption(aHandle, aOption, &aValue, sizeof aValue); }

HttpResult Failure(DWORD aError) {
  HttpResult result;
  switch (aError) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: result.failure = HttpFailure::ConnectFailed; break;
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT: result.failure = HttpFailure::TimedOut; break;
    default: result.failure = HttpFailure::Other; break;
  }
  result.errorCode = static_cast<int32_t>(aError);
  result.errorText = ErrorText(aError);
  return result;
}

}  // namespace

std::unique_ptr<HttpCookieJar> HttpCookieJar::Create() { return std::make_unique<WinCookieJar>(); }

HttpResult HttpSend(const HttpRequest& aRequest) {
  std::u16string url = aRequest.url;
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(Wide(url), 0, 0, &parts)) return Failure(GetLastError());
  std::u16string host = Narrow(parts.lpszHostName, parts.dwHostNameLength);
  std::u16string path = Narrow(parts.lpszUrlPath, parts.dwUrlPathLength) +
                        Narrow(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = u"/";
  bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

  Handle ownSession;
  HINTERNET session;
  if (aRequest.cookies != nullptr) {
    session = static_cast<WinCookieJar*>(aRequest.cookies)->Session();
  } else {
    ownSession.reset(OpenSession());
    session = ownSession.get();
  }
  if (session == nullptr) return Failure(GetLastError());
  Handle connection(WinHttpConnect(session, Wide(host), parts.nPort, 0));
  if (!connection) return Failure(GetLastError());
  Handle request(WinHttpOpenRequest(connection.get(), aRequest.method == HttpMethod::Post ? L"POST" : L"GET",
                                    Wide(path), nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                    secure ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return Failure(GetLastError());
  HINTERNET r = request.get();

  int connectTimeout = aRequest.connectTimeoutMs > 0 ? aRequest.connectTimeoutMs : 1;
  int readTimeout = aRequest.readTimeoutMs > 0 ? aRequest.readTimeoutMs : 1;
  WinHttpSetTimeouts(r, connectTimeout, connectTimeout, readTimeout, readTimeout);
  SetDword(r, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, static_cast<DWORD>(readTimeout));
  SetDword(r, WINHTTP_OPTION_DISABLE_FEATURE,
           WINHTTP_DISABLE_REDIRECTS | (aRequest.cookies == nullptr ? WINHTTP_DISABLE_COOKIES : 0));
  if (secure && !aRequest.verifyCertificate)
    SetDword(r, WINHTTP_OPTION_SECURITY_FLAGS,
             SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID |
                 SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE);

  std::u16string headers;
  for (const auto& header : aRequest.headers)
    if (!header.value.empty()) headers += header.name + u": " + header.value + u"\r\n";
  if (aRequest.auth == HttpAuth::Basic)
    headers += u"Authorization: Basic " + Base64(ToUtf8(aRequest.user + u":" + aRequest.password)) + u"\r\n";
  else if (aRequest.auth == HttpAuth::Bearer)
    headers += u"Authorization: Bearer " + aRequest.token + u"\r\n";
  if (!headers.empty() &&
      !WinHttpAddRequestHeaders(r, Wide(headers), static_cast<DWORD>(-1),
                                WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE))
    return Failure(GetLastError());

  bool post = aRequest.method == HttpMethod::Post;
  DWORD bodySize = post ? static_cast<DWORD>(aRequest.body.size()) : 0;
  void* body = post && bodySize > 0 ? const_cast<char*>(aRequest.body.data()) : WINHTTP_NO_REQUEST_DATA;
  DWORD status = 0;
  // Digest needs the server's challenge first: a 401 carrying one is answered once with the
  // credentials, and that second answer is the result.
  for (int attempt = 0;; ++attempt) {
    if (!WinHttpSendRequest(r, WINHTTP_NO_ADDITIONAL_HEADERS, 0, body, bodySize, bodySize, 0) ||
        !WinHttpReceiveResponse(r, nullptr))
      return Failure(GetLastError());
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(r, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                             &status, &size, WINHTTP_NO_HEADER_INDEX))
      return Failure(GetLastError());
    if (status != HTTP_STATUS_DENIED || aRequest.auth != HttpAuth::Digest || attempt > 0) break;
    std::u16string authorization;
    for (const auto& header : ParseHeaders(QueryText(r, WINHTTP_QUERY_RAW_HEADERS_CRLF))) {
      if (authorization.empty() && SameAscii(header.name, u"WWW-Authenticate"))
        authorization = DigestAuthorization(header.value, post ? u"POST" : u"GET", path, aRequest.user,
                                            aRequest.password);
    }
    if (authorization.empty()) break;
    std::string discarded;
    if (!ReadBody(r, discarded)) return Failure(GetLastError());
    std::u16string line = u"Authorization: " + authorization + u"\r\n";
    if (!WinHttpAddRequestHeaders(r, Wide(line), static_cast<DWORD>(-1),
                                  WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE))
      return Failure(GetLastError());
  }

  HttpResult result;
  result.status = static_cast<int>(status);
  result.reason = QueryText(r, WINHTTP_QUERY_STATUS_TEXT);
  result.headers = ParseHeaders(QueryText(r, WINHTTP_QUERY_RAW_HEADERS_CRLF));
  if (!ReadBody(r, result.body)) return Failure(GetLastError());
  // WinHTTP under wine hands over a body cut short by a closed connection as if it were whole;
  // an answer shorter than its Content-Length is a broken connection, as libcurl reports it.
  DWORD announced = 0;
  DWORD announcedSize = sizeof announced;
  if (WinHttpQueryHeaders(r, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                          &announced, &announcedSize, WINHTTP_NO_HEADER_INDEX) &&
      result.body.size() < announced)
    return Failure(ERROR_WINHTTP_CONNECTION_ERROR);
  result.failure = HttpFailure::None;
  return result;
}

}  // namespace port
