#pragma once
// One synchronous HTTP(S) request: libcurl on Linux, WinHTTP on Windows. Redirects are never
// followed (a 3xx answer comes back as it is), no proxy is used, HTTP/1.1 only.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace port {

enum class HttpMethod : uint8_t { Post, Get };
enum class HttpAuth : uint8_t { None, Basic, Digest, Bearer };

struct HttpHeader {
  std::u16string name;
  std::u16string value;
};

// Cookies kept in memory across the requests that share this jar (and dropped with it). A request
// without a jar neither sends nor stores cookies. Not thread-safe: one request at a time.
class HttpCookieJar {
 public:
  static std::unique_ptr<HttpCookieJar> Create();
  virtual ~HttpCookieJar() = default;
  HttpCookieJar(const HttpCookieJar&) = delete;
  HttpCookieJar& operator=(const HttpCookieJar&) = delete;

 protected:
  HttpCookieJar() = default;
};

struct HttpRequest {
  HttpMethod method = HttpMethod::Post;
  std::u16string url;  // http:// or https://
  // Sent in order. A header with an empty value is not sent at all, so an empty "Content-Type"
  // means the request carries none (and no "User-Agent" or "Accept" either when those are empty).
  std::vector<HttpHeader> headers;
  std::string body;               // sent with POST, ignored for GET
  int connectTimeoutMs = 5000;    // for the TCP (and TLS) connection to be made
  int readTimeoutMs = 10000;      // longest silence while the request goes out and the answer comes in
  HttpAuth auth = HttpAuth::None;
  std::u16string user;            // Basic and Digest
  std::u16string password;        // Basic and Digest
  std::u16string token;           // Bearer
  HttpCookieJar* cookies = nullptr;  // not owned; nullptr: no cookies
  bool verifyCertificate = false;    // https: check the server's certificate chain and name
};

enum class HttpFailure : uint8_t {
  None,           // an answer came (whatever its status)
  ConnectFailed,  // refused, unreachable, name not resolved
  TimedOut,       // the connection or the answer did not come in time
  Other,          // anything else (reset, malformed answer, TLS failure, ...)
};

struct HttpResult {
  HttpFailure failure = HttpFailure::Other;
  // When an answer came: its status and its reason phrase exactly as the server sent it.
  int status = 0;
  std::u16string reason;
  std::string body;
  std::vector<HttpHeader> headers;  // in the order received
  // When no answer came: the library's code (a CURLcode, a WinHTTP or Winsock error) and text.
  int32_t errorCode = 0;
  std::u16string errorText;

  bool Answered() const { return failure == HttpFailure::None; }
  // The first response header of that name (compared ignoring ASCII case), or nothing.
  std::optional<std::u16string> Header(std::u16string_view aName) const;
};

// Sends aRequest and waits for the whole answer. Never throws for a network failure: the result
// tells it. Thread-safe for requests that do not share a cookie jar.
HttpResult HttpSend(const HttpRequest& aRequest);

}  // namespace port
