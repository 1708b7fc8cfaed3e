// HTTP(S) through libcurl. The transfer runs on a multi handle so that the read time-out can be a
// limit on silence (as on Windows) rather than on the whole transfer: the clock restarts whenever
// bytes go out or come in, and starts once the connection (with its TLS handshake) is made.
#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "platform/HttpClient.h"
#include "platform/Utf8.h"

namespace port {

namespace {

using Clock = std::chrono::steady_clock;

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

class CurlCookieJar final : public HttpCookieJar {
 public:
  CurlCookieJar() {
    GlobalInit();
    fShare = curl_share_init();
    curl_share_setopt(fShare, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  }
  ~CurlCookieJar() override { curl_share_cleanup(fShare); }
  CURLSH* Share() const { return fShare; }

 private:
  CURLSH* fShare = nullptr;
};

// What the callbacks collect during one transfer.
struct Transfer {
  std::string statusLine;
  std::vector<HttpHeader> headers;
  std::string body;
  size_t received = 0;
  bool connected = false;
};

size_t OnBody(char* aData, size_t aSize, size_t aCount, void* aTransfer) {
  auto* t = static_cast<Transfer*>(aTransfer);
  t->body.append(aData, aSize * aCount);
  t->received += aSize * aCount;
  return aSize * aCount;
}

size_t OnHeader(char* aData, size_t aSize, size_t aCount, void* aTransfer) {
  auto* t = static_cast<Transfer*>(aTransfer);
  size_t n = aSize * aCount;
  t->received += n;
  std::string line(aData, n);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (line.rfind("HTTP/", 0) == 0) {  // a new status line (after a 1xx answer, say)
    t->statusLine = line;
    t->headers.clear();
  } else if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
    if (!t->headers.empty()) t->headers.back().value += FromUtf8(line);  // folded continuation
  } else if (size_t colon = line.find(':'); colon != std::string::npos) {
    size_t start = line.find_first_not_of(" \t", colon + 1);
    t->headers.push_back({FromUtf8(line.substr(0, colon)),
                          FromUtf8(start == std::string::npos ? std::string() : line.substr(start))});
  }
  return n;
}

int OnConnected(void* aTransfer, char*, char*, int, int) {
  static_cast<Transfer*>(aTransfer)->connected = true;
  return CURL_PREREQFUNC_OK;
}

// "HTTP/1.1 404 Not Found" -> "Not Found" (everything after the code, as sent).
std::u16string ReasonOf(const std::string& aStatusLine) {
  size_t first = aStatusLine.find(' ');
  if (first == std::string::npos) return {};
  size_t second = aStatusLine.find(' ', first + 1);
  if (second == std::string::npos) return {};
  return FromUtf8(aStatusLine.substr(second + 1));
}

bool HasHeader(const HttpRequest& aRequest, std::u16string_view aName) {
  HttpResult probe;
  probe.headers = aRequest.headers;
  return probe.Header(aName).has_value();
}

struct EasyDeleter {
  void operator()(CURL* e) const { curl_easy_cleanup(e); }
};
struct MultiDeleter {
  void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};
struct ListDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

}  // namespace

std::unique_ptr<HttpCookieJar> HttpCookieJar::Create() { return std::make_unique<CurlCookieJar>(); }

HttpResult HttpSend(const HttpRequest& aRequest) {
  GlobalInit();
  HttpResult result;
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
  if (!easy || !multi) {
    result.errorCode = CURLE_FAILED_INIT;
    result.errorText = FromUtf8(curl_easy_strerror(CURLE_FAILED_INIT));
    return result;
  }
  CURL* e = easy.get();
  Transfer transfer;
  char errorBuffer[CURL_ERROR_SIZE] = {};
  std::string url = ToUtf8(aRequest.url);
  std::string user = ToUtf8(aRequest.user), password = ToUtf8(aRequest.password), token = ToUtf8(aRequest.token);

  curl_easy_setopt(e, CURLOPT_URL, url.c_str());
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_PROXY, "");  // never a proxy from the environment
  curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max(1, aRequest.connectTimeoutMs)));
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorBuffer);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, OnConnected);
  curl_easy_setopt(e, CURLOPT_PREREQDATA, &transfer);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, aRequest.verifyCertificate ? 1L : 0L);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, aRequest.verifyCertificate ? 2L : 0L);

  if (aRequest.method == HttpMethod::Post) {
    curl_easy_setopt(e, CURLOPT_POST, 1L);
    curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(aRequest.body.size()));
    curl_easy_setopt(e, CURLOPT_POSTFIELDS, aRequest.body.data());
  } else {
    curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
  }

  // "Name:" with nothing after it makes curl drop the header, its own default included; the
  // defaults curl would add on its own (Accept, a form Content-Type, Expect) are dropped too so
  // that both targets send the same request.
  std::unique_ptr<curl_slist, ListDeleter> headers;
  auto addHeader = [&headers](const std::string& aLine) {
    curl_slist* grown = curl_slist_append(headers.get(), aLine.c_str());
    if (grown != nullptr) {
      (void)headers.release();
      headers.reset(grown);
    }
  };
  for (const auto& header : aRequest.headers)
    addHeader(ToUtf8(header.name) + (header.value.empty() ? ":" : ": " + ToUtf8(header.value)));
  for (const char* name : {"Accept", "Content-Type", "Expect"})
    if (!HasHeader(aRequest, FromUtf8(name))) addHeader(std::string(name) + ":");
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());

  switch (aRequest.auth) {
    case HttpAuth::Basic:
    case HttpAuth::Digest:
      curl_easy_setopt(e, CURLOPT_HTTPAUTH, aRequest.auth == HttpAuth::Basic ? CURLAUTH_BASIC : CURLAUTH_DIGEST);
      curl_easy_setopt(e, CURLOPT_USERNAME, user.c_str());
      curl_easy_setopt(e, CURLOPT_PASSWORD, password.c_str());
      break;
    case HttpAuth::Bearer:
      curl_easy_setopt(e, CURLOPT_HTTPAUTH, CURLAUTH_BEARER);
      curl_easy_setopt(e, CURLOPT_XOAUTH2_BEARER, token.c_str());
      break;
    case HttpAuth::None:
      break;
  }
  if (aRequest.cookies != nullptr) {
    curl_easy_setopt(e, CURLOPT_SHARE, static_cast<CurlCookieJar*>(aRequest.cookies)->Share());
    curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");  // switches the cookie engine on, reads no file
  }

  curl_multi_add_handle(multi.get(), e);
  const auto readTimeout = std::chrono::milliseconds(std::max(1, aRequest.readTimeoutMs));
  auto lastActivity = Clock::now();
  curl_off_t lastSent = -1;
  size_t lastReceived = 0;
  bool timedOut = false;
  int running = 1;
  for (;;) {
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK || running == 0) break;
    curl_off_t sent = 0;
    curl_easy_getinfo(e, CURLINFO_SIZE_UPLOAD_T, &sent);
    auto now = Clock::now();
    if (!transfer.connected || sent != lastSent || transfer.received != lastReceived) {
      lastActivity = now;
      lastSent = sent;
      lastReceived = transfer.received;
    } else if (now - lastActivity >= readTimeout) {
      timedOut = true;
      break;
    }
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(readTimeout - (now - lastActivity)).count();
    curl_multi_poll(multi.get(), nullptr, 0, static_cast<int>(std::clamp<long long>(wait, 1, 50)), nullptr);
  }

  CURLcode code = CURLE_OK;
  if (timedOut) {
    code = CURLE_OPERATION_TIMEDOUT;
    std::snprintf(errorBuffer, sizeof errorBuffer, "Nothing received for %d milliseconds", aRequest.readTimeoutMs);
  } else {
    int left = 0;
    CURLMsg* message = curl_multi_info_read(multi.get(), &left);
    code = (message != nullptr && message->msg == CURLMSG_DONE) ? message->data.result : CURLE_RECV_ERROR;
  }
  curl_multi_remove_handle(multi.get(), e);

  if (code == CURLE_OK) {
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    result.failure = HttpFailure::None;
    result.status = static_cast<int>(status);
    result.reason = ReasonOf(transfer.statusLine);
    result.body = std::move(transfer.body);
    result.headers = std::move(transfer.headers);
    return result;
  }
  switch (code) {
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: result.failure = HttpFailure::ConnectFailed; break;
    case CURLE_OPERATION_TIMEDOUT: result.failure = HttpFailure::TimedOut; break;
    default: result.failure = HttpFailure::Other; break;
  }
  result.errorCode = static_cast<int32_t>(code);
  std::string text = curl_easy_strerror(code);
  if (errorBuffer[0] != '\0') text += std::string(": ") + errorBuffer;
  result.errorText = FromUtf8(text);
  return result;
}

}  // namespace port
