// The log writer's two costs: the time a caller spends in Write (stamp, format, one queue
// insertion), and the lines per second its thread appends (one open, append and close per line).
// Prints a table; run from build/ as ./bench_LogWriter.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/uVX_LogWriter.h"
#include "base/uVX_LogWriter_Thread.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A typical device log line: title, ":" and a message of about 80 characters.
const std::u16string kMessage =
    u"VX_HttpClient:POST https://192.168.1.20:8443/nexo answered 200 OK in 412 ms (1532 bytes)";

void WaitUntilWritten(tVX_LogWriter& aWriter) {
  while (aWriter.Thread().QueuedLines() != 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

double Percentile(std::vector<double>& aSamples, double aFraction) {
  size_t index = static_cast<size_t>(aFraction * static_cast<double>(aSamples.size() - 1));
  std::nth_element(aSamples.begin(), aSamples.begin() + static_cast<long>(index), aSamples.end());
  return aSamples[index];
}

// Times each Write of aThreads threads writing aRounds bursts of aBurst lines; the queue is
// drained between bursts so that it stays the size a busy device produces.
std::vector<double> TimeWrites(const fs::path& aDir, int aThreads, int aRounds, int aBurst) {
  tVX_LogWriter writer(u"latency", aDir.u16string(), 0, true);
  std::vector<std::vector<double>> perThread(static_cast<size_t>(aThreads));
  for (int round = 0; round < aRounds; ++round) {
    std::vector<std::thread> threads;
    for (int t = 0; t < aThreads; ++t) {
      threads.emplace_back([&, t] {
        auto& samples = perThread[static_cast<size_t>(t)];
        for (int i = 0; i < aBurst; ++i) {
          auto start = Clock::now();
          writer.Write(tVX_MessageType::let_info, kMessage);
          auto end = Clock::now();
          samples.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
      });
    }
    for (auto& thread : threads) thread.join();
    WaitUntilWritten(writer);
  }
  std::vector<double> all;
  for (auto& samples : perThread) all.insert(all.end(), samples.begin(), samples.end());
  return all;
}

// Lines per second the log thread appends: a burst is queued, then the time until the last line
// is in the file is taken.
double LinesPerSecond(const fs::path& aDir, int aLines) {
  tVX_LogWriter writer(u"throughput", aDir.u16string(), 0, true);
  auto start = Clock::now();
  for (int i = 0; i < aLines; ++i) writer.Write(tVX_MessageType::let_info, kMessage);
  WaitUntilWritten(writer);
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return aLines / seconds;
}

}  // namespace

int main() {
  std::random_device rd;
  fs::path dir = fs::temp_directory_path() / ("vxpa-bench-" + std::to_string(rd()));
  fs::create_directories(dir);

  std::printf("%-44s %12s %12s %12s\n", "Write call (us)", "median", "p99", "p99.9");
  for (int threads : {1, 4}) {
    std::vector<double> samples = TimeWrites(dir, threads, 20, 5000 / threads);
    double median = Percentile(samples, 0.5), p99 = Percentile(samples, 0.99), p999 = Percentile(samples, 0.999);
    std::string label = std::to_string(samples.size()) + " calls, " + std::to_string(threads) + " writing thread(s)";
    std::printf("%-44s %12.3f %12.3f %12.3f\n", label.c_str(), median, p99, p999);
  }

  std::printf("\n%-44s %12s\n", "Log thread", "lines/s");
  for (int run = 1; run <= 3; ++run) {
    std::string label = "50000 lines, run " + std::to_string(run);
    std::printf("%-44s %12.0f\n", label.c_str(), LinesPerSecond(dir, 50000));
  }

  std::error_code ec;
  fs::remove_all(dir, ec);
  return 0;
}
