#include "support/TestHttpServer.h"

#include <chrono>
#include <cstdlib>

#include "platform/TcpSocket.h"

namespace vxtest {

namespace {

constexpr int kPollMs = 20;

std::string Lower(std::string aText) {
  for (auto& c : aText)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return aText;
}

std::optional<std::string> Find(const HeaderList& aHeaders, const std::string& aName) {
  for (const auto& [name, value] : aHeaders)
    if (Lower(name) == Lower(aName)) return value;
  return std::nullopt;
}

}  // namespace

std::optional<std::string> RecordedRequest::Header(const std::string& aName) const { return Find(headers, aName); }

TestHttpServer::TestHttpServer() : fListener(port::TcpListener::Listen(0)), fPort(fListener->Port()) {
  fThread = std::thread([this] { Run(); });
}

TestHttpServer::~TestHttpServer() {
  {
    std::lock_guard<std::mutex> lock(fMutex);
    fStop = true;
  }
  fChanged.notify_all();
  fThread.join();
}

std::string TestHttpServer::Url(const std::string& aPath) const {
  return "http://127.0.0.1:" + std::to_string(fPort) + aPath;
}

std::u16string TestHttpServer::Url16(const std::string& aPath) const {
  std::string url = Url(aPath);
  return std::u16string(url.begin(), url.end());
}

void TestHttpServer::SetDefaultResponse(CannedResponse aResponse) {
  std::lock_guard<std::mutex> lock(fMutex);
  fDefault = std::move(aResponse);
}

void TestHttpServer::Enqueue(CannedResponse aResponse) {
  std::lock_guard<std::mutex> lock(fMutex);
  fQueue.push_back(std::move(aResponse));
}

std::vector<RecordedRequest> TestHttpServer::Requests() const {
  std::lock_guard<std::mutex> lock(fMutex);
  return fRequests;
}

bool TestHttpServer::WaitForRequests(size_t aCount, int aTimeoutMs) const {
  std::unique_lock<std::mutex> lock(fMutex);
  return fChanged.wait_for(lock, std::chrono::milliseconds(aTimeoutMs), [&] { return fRequests.size() >= aCount; });
}

bool TestHttpServer::Stopping() const {
  std::lock_guard<std::mutex> lock(fMutex);
  return fStop;
}

CannedResponse TestHttpServer::NextResponse() {
  std::lock_guard<std::mutex> lock(fMutex);
  if (fQueue.empty()) return fDefault;
  CannedResponse next = std::move(fQueue.front());
  fQueue.pop_front();
  return next;
}

void TestHttpServer::Run() {
  while (!Stopping()) {
    auto connection = fListener->Accept(kPollMs);
    if (connection) {
      connection->SetNoDelay(true);
      Serve(*connection);
      connection->Close();
    }
  }
}

bool TestHttpServer::ReadRequest(port::TcpConnection& aConnection, RecordedRequest& aRequest) {
  std::string data;
  size_t headerEnd;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  auto readMore = [&]() {
    while (!Stopping() && std::chrono::steady_clock::now() < deadline) {
      port::TcpStatus status = aConnection.Read(data, 65536, kPollMs);
      if (status == port::TcpStatus::Ok) return true;
      if (status != port::TcpStatus::TimedOut) return false;
    }
    return false;
  };
  while ((headerEnd = data.find("\r\n\r\n")) == std::string::npos)
    if (!readMore()) return false;

  std::string head = data.substr(0, headerEnd);
  size_t lineEnd = head.find("\r\n");
  std::string requestLine = head.substr(0, lineEnd);
  size_t s1 = requestLine.find(' '), s2 = requestLine.rfind(' ');
  if (s1 == std::string::npos || s2 == s1) return false;
  aRequest.method = requestLine.substr(0, s1);
  aRequest.target = requestLine.substr(s1 + 1, s2 - s1 - 1);
  aRequest.version = requestLine.substr(s2 + 1);
  while (lineEnd != std::string::npos) {
    size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    std::string line = head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    size_t value = line.find_first_not_of(" \t", colon + 1);
    aRequest.headers.emplace_back(line.substr(0, colon), value == std::string::npos ? "" : line.substr(value));
  }
  size_t length = 0;
  if (auto contentLength = Find(aRequest.headers, "Content-Length")) length = std::strtoul(contentLength->c_str(), nullptr, 10);
  aRequest.body = data.substr(headerEnd + 4);
  while (aRequest.body.size() < length) {
    data.clear();
    if (!readMore()) return false;
    aRequest.body += data;
  }
  aRequest.body.resize(length);
  return true;
}

void TestHttpServer::Serve(port::TcpConnection& aConnection) {
  RecordedRequest request;
  if (!ReadRequest(aConnection, request)) return;
  CannedResponse response = NextResponse();
  {
    std::lock_guard<std::mutex> lock(fMutex);
    fRequests.push_back(std::move(request));
  }
  fChanged.notify_all();

  if (response.action == CannedResponse::Action::CloseWithoutAnswer) return;
  if (response.action == CannedResponse::Action::NeverAnswer) {
    // Hold the connection until the client gives up or the server stops.
    std::string ignored;
    while (!Stopping()) {
      port::TcpStatus status = aConnection.Read(ignored, 4096, kPollMs);
      if (status == port::TcpStatus::Closed || status == port::TcpStatus::Error) break;
    }
    return;
  }
  if (response.delayMs > 0) {
    std::unique_lock<std::mutex> lock(fMutex);
    fChanged.wait_for(lock, std::chrono::milliseconds(response.delayMs), [&] { return fStop; });
  }
  std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
  for (const auto& [name, value] : response.headers) out += name + ": " + value + "\r\n";
  if (!Find(response.headers, "Content-Length")) out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  if (!Find(response.headers, "Connection")) out += "Connection: close\r\n";
  out += "\r\n" + response.body;
  aConnection.Write(out);
  aConnection.ShutdownWrite();
  // Let the client read the end of the stream before the socket goes.
  std::string ignored;
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!Stopping() && std::chrono::steady_clock::now() < until) {
    port::TcpStatus status = aConnection.Read(ignored, 4096, kPollMs);
    if (status == port::TcpStatus::Closed || status == port::TcpStatus::Error) break;
  }
}

}  // namespace vxtest
