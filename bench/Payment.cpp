// The payment path against its floors, each pair measured side by side in one run (the two sides
// alternate, so a busy machine slows both alike):
//   1. OPEN through the export (request read, device built, keys derived, nonce drawn) against
//      the bare key derivation with the same parameters;
//   2. a PAY round trip through the export against a plain HTTP POST of the same protected bytes
//      to the same terminal simulator;
//   3. the calling thread's CPU time per PAY (the driver's own work: documents, JSON, crypto,
//      HTTP client), next to the process's;
//   4. resident memory over many PAYs on one device.
// The simulator runs in this process on 127.0.0.1 (its threads are not the calling thread).
//   build/bench_Payment [--pays N]     N PAYs for the memory run (default 10000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Simulator.h"
#include "platform/Crypto.h"
#include "platform/HostString.h"
#include "platform/HttpClient.h"
#include "platform/ModuleEntry.h"
#include "platform/Utf8.h"
#include "vxpa.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration aDuration) { return std::chrono::duration<double, std::milli>(aDuration).count(); }

double Median(std::vector<double> aSamples) {
  std::sort(aSamples.begin(), aSamples.end());
  return aSamples.empty() ? 0 : aSamples[aSamples.size() / 2];
}

double Percentile(std::vector<double> aSamples, double aFraction) {
  std::sort(aSamples.begin(), aSamples.end());
  return aSamples.empty() ? 0 : aSamples[static_cast<size_t>(aFraction * static_cast<double>(aSamples.size() - 1))];
}

// CPU time of the calling thread, in milliseconds (the scheduler's own account, nanoseconds).
double ThreadCpuMs() {
  std::ifstream in("/proc/thread-self/schedstat");
  double ns = 0;
  in >> ns;
  return ns / 1e6;
}

// CPU time of the whole process (every thread, the simulator's included), in milliseconds.
double ProcessCpuMs() {
  std::ifstream in("/proc/self/schedstat");
  double ns = 0;
  in >> ns;
  return ns / 1e6;
}

// Resident memory in KiB.
long ResidentKiB() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

struct Answer {
  vxpa_result result = 0;
  std::u16string output;
  std::u16string error;
};

Answer Call(vxpa_export_fn aExport, std::u16string_view aRequest) {
  BSTR request = port::NewHostString(aRequest);
  BSTR output = nullptr;
  BSTR error = nullptr;
  Answer answer;
  answer.result = aExport(request, &output, &error);
  if (output != nullptr) answer.output = port::HostStringText(output);
  if (error != nullptr) answer.error = port::HostStringText(error);
  port::FreeHostString(output);
  port::FreeHostString(error);
  port::FreeHostString(request);
  return answer;
}

std::string Field(const std::u16string& aDocument, const std::string& aName) {
  const std::string text = port::ToUtf8(aDocument);
  const size_t start = text.find("<" + aName + ">");
  if (start == std::string::npos) return {};
  const size_t from = start + aName.size() + 2;
  return text.substr(from, text.find("</" + aName + ">", from) - from);
}

class Bench {
 public:
  Bench() {
    fSim.Start();
    fUrl = port::FromUtf8(fSim.BaseUrl());
  }
  ~Bench() { fSim.Stop(); }

  std::u16string Configuration(int aHandle) const {
    std::u16string xml = u"<Request><Driver>VXPA_ADYEN_10</Driver><LogId>bench</LogId>";
    if (aHandle > 0) xml += u"<Handle>" + port::FromUtf8(std::to_string(aHandle)) + u"</Handle>";
    return xml + u"<Connection><Type>HTTP</Type><URL>" + fUrl +
           u"</URL></Connection><Parameters><POIID>SIM-00000001</POIID><KeyIdentifier>SimKey</KeyIdentifier>"
           u"<KeyVersion>1</KeyVersion><Secret>terminal-sim secret</Secret></Parameters>";
  }

  int Open() {
    const Answer answer = Call(OPEN, Configuration(0) + u"</Request>");
    if (answer.result != 0) Fail("OPEN failed: " + port::ToUtf8(answer.error));
    return std::stoi(Field(answer.output, "Handle"));
  }
  void Close(int aHandle) { Call(CLOSE, Configuration(aHandle) + u"</Request>"); }

  void Pay(int aHandle) {
    const Answer answer = Call(PAY, Configuration(aHandle) +
                                        u"<Payment><StoreCode>SHOP1</StoreCode><TillCode>TILL1</TillCode>"
                                        u"<Amount>12.50</Amount><Currency>EUR</Currency><ReceiptColCount>42</ReceiptColCount>"
                                        u"</Payment></Request>");
    if (answer.result != 0) Fail("PAY failed: " + port::ToUtf8(answer.error));
  }

  // The protected body of the last request the simulator received.
  std::string LastRequestBody() {
    port::HttpRequest request;
    request.method = port::HttpMethod::Get;
    request.url = fUrl + u"/requests";
    const port::HttpResult result = port::HttpSend(request);
    const termsim::Json log = termsim::Json::parse(result.body, nullptr, false);
    if (!log.is_array() || log.empty()) Fail("no request in the simulator's log");
    return log.back()["body"].get<std::string>();
  }

  // The same bytes posted the plain way: one request, a fresh connection, as the driver does.
  void PlainPost(const std::string& aBody) {
    port::HttpRequest request;
    request.url = fUrl + u"/nexo";
    request.headers = {{u"User-Agent", u"Brannic Zarvik Driver"}};
    request.body = aBody;
    request.connectTimeoutMs = 10000;
    request.readTimeoutMs = 180000;
    const port::HttpResult result = port::HttpSend(request);
    if (!result.Answered() || result.status != 200) Fail("plain POST failed");
  }

  // Forgets the simulator's transactions and request log, so that its memory stays flat.
  void ResetSimulator() {
    port::HttpRequest request;
    request.url = fUrl + u"/control";
    request.body = R"({"reset":"all"})";
    port::HttpSend(request);
  }

  [[noreturn]] static void Fail(const std::string& aWhat) {
    std::fprintf(stderr, "bench_Payment: %s\n", aWhat.c_str());
    std::exit(1);
  }

 private:
  termsim::Simulator fSim{termsim::SimOptions{}};
  std::u16string fUrl;
};

void OpenAgainstKeyDerivation(Bench& aBench) {
  const port::Bytes password = {'t', 'e', 'r', 'm', 'i', 'n', 'a', 'l', '-', 's', 'i', 'm', ' ', 's', 'e', 'c', 'r', 'e', 't'};
  const port::Bytes salt = {'Q', 'v', '7', 'L', 'm', 'T', '2', 'x', 'R', 'k', '9', 'W', 'n', 'Z', 'p'};
  std::vector<double> open, derive;
  for (int i = 0; i < 60; ++i) {
    Clock::time_point start = Clock::now();
    const int handle = aBench.Open();
    open.push_back(Ms(Clock::now() - start));
    aBench.Close(handle);
    start = Clock::now();
    port::Pbkdf2HmacSha1(password, salt, 4000, 80);
    derive.push_back(Ms(Clock::now() - start));
  }
  std::printf("\n| OPEN against the bare key derivation, 60 each | median | p90 |\n|---|---|---|\n");
  std::printf("| OPEN (export, device built, keys, nonce) | %.2f ms | %.2f ms |\n", Median(open), Percentile(open, 0.9));
  std::printf("| PBKDF2-HMAC-SHA1, 4000 iterations, 80 bytes | %.2f ms | %.2f ms |\n", Median(derive),
              Percentile(derive, 0.9));
  std::printf("| ratio (target at most 1.2) | %.2f | |\n", Median(open) / Median(derive));
}

void PayAgainstPlainPost(Bench& aBench, int aHandle) {
  std::vector<double> pay, post, threadCpu, processCpu;
  for (int i = 0; i < 300; ++i) {
    const double cpu0 = ThreadCpuMs();
    const double process0 = ProcessCpuMs();
    Clock::time_point start = Clock::now();
    aBench.Pay(aHandle);
    pay.push_back(Ms(Clock::now() - start));
    threadCpu.push_back(ThreadCpuMs() - cpu0);
    processCpu.push_back(ProcessCpuMs() - process0);
    const std::string body = aBench.LastRequestBody();
    start = Clock::now();
    aBench.PlainPost(body);
    post.push_back(Ms(Clock::now() - start));
    if (i % 100 == 99) aBench.ResetSimulator();
  }
  std::printf("\n| PAY against a plain POST of the same bytes, 300 each | median | p90 | p99 |\n|---|---|---|---|\n");
  std::printf("| PAY round trip (export to result document) | %.2f ms | %.2f ms | %.2f ms |\n", Median(pay),
              Percentile(pay, 0.9), Percentile(pay, 0.99));
  std::printf("| plain HTTP POST of the protected request | %.2f ms | %.2f ms | %.2f ms |\n", Median(post),
              Percentile(post, 0.9), Percentile(post, 0.99));
  std::printf("| ratio at the median (target at most 1.5) | %.2f | | |\n", Median(pay) / Median(post));
  std::printf("\n| CPU time per PAY, 300 PAYs | median | p90 |\n|---|---|---|\n");
  std::printf("| calling thread (the driver's own work) | %.2f ms | %.2f ms |\n", Median(threadCpu),
              Percentile(threadCpu, 0.9));
  std::printf("| whole process (with the simulator's threads) | %.2f ms | %.2f ms |\n", Median(processCpu),
              Percentile(processCpu, 0.9));
}

void Memory(Bench& aBench, int aHandle, int aPays) {
  std::printf("\n| %d PAYs on one device | resident memory | elapsed |\n|---|---|---|\n", aPays);
  const Clock::time_point start = Clock::now();
  const long baseline = ResidentKiB();
  std::printf("| before | %ld KiB | |\n", baseline);
  long afterWarmUp = 0;
  for (int i = 1; i <= aPays; ++i) {
    aBench.Pay(aHandle);
    if (i % 500 == 0) aBench.ResetSimulator();
    if (i == aPays / 10 || i % (aPays / 4 > 0 ? aPays / 4 : 1) == 0) {
      const long rss = ResidentKiB();
      if (i == aPays / 10) afterWarmUp = rss;
      std::printf("| after %d | %ld KiB | %.1f s |\n", i, rss, Ms(Clock::now() - start) / 1000);
    }
  }
  const long end = ResidentKiB();
  std::printf("| growth after the first tenth | %+ld KiB | |\n", end - afterWarmUp);
}

}  // namespace

int main(int argc, char** argv) {
  int pays = 10000;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--pays") == 0) pays = std::max(4, std::atoi(argv[i + 1]));
  }
  vxmodule::Start();
  {
    Bench bench;
    OpenAgainstKeyDerivation(bench);
    const int handle = bench.Open();
    PayAgainstPlainPost(bench, handle);
    Memory(bench, handle, pays);
    bench.Close(handle);
  }
  vxmodule::Stop();
  return 0;
}
