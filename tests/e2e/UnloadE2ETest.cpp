// Unloading the module (FreeLibrary / dlclose) while devices are open and their log lines are
// still queued: the unload call returns, and every line is in the devices' files.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>
#include <algorithm>
#include <thread>

#include "HostModule.h"
#include "support/ResultDocuments.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// Ends the process when the guarded work has not finished in time: an unload that waits on a
// thread under the loader lock never returns, and the test must say so instead of hanging.
class tWatchdog {
 public:
  explicit tWatchdog(int aSeconds)
      : fThread([this, aSeconds] {
          for (int i = 0; i < aSeconds * 10 && !fDone; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
          if (!fDone) {
            std::fputs("the module did not finish unloading in time\n", stderr);
            std::_Exit(3);
          }
        }) {}
  ~tWatchdog() {
    fDone = true;
    fThread.join();
  }

 private:
  std::atomic<bool> fDone{false};
  std::thread fThread;
};

std::u16string Ascii(const std::string& aText) { return std::u16string(aText.begin(), aText.end()); }

fs::path ProbeModule() {
  fs::path module = vxpa::HostModule::DefaultPath();
  return module.parent_path() / (u"VXPA_UNLOAD_PROBE" + module.extension().u16string());
}

// Every log line of the device with aLogId, from all its files (a test running over midnight
// writes two daily files).
std::vector<std::string> LogLines(const fs::path& aFolder, const std::string& aLogId) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(aFolder)) {
    if (entry.path().filename().string().starts_with("VXPA_UNLOAD_PROBE_" + aLogId + "_")) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<std::string> lines;
  for (const auto& file : files) {
    std::string text = vxtest::ReadFileBytes(file);
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
      lines.push_back(text.substr(start, end - start));
    }
  }
  return lines;
}

TEST(UnloadE2ETest, UnloadingWithOpenDevicesReturnsAndWritesEveryQueuedLine) {
  constexpr int kDevices = 3;
  constexpr int kLines = 20000;
  std::string run = std::to_string(std::random_device()());
  fs::path folder = ProbeModule().parent_path() / "LogFiles" / "Payment";
  {
    vxpa::HostModule probe(ProbeModule());
    for (int device = 1; device <= kDevices; ++device) {
      std::string logId = "unload" + run + "d" + std::to_string(device);
      std::u16string request =
          u"<Request><Driver>VXPA_UNLOAD_PROBE</Driver><LogId>" + Ascii(logId) +
          u"</LogId><Connection><Type>HTTP</Type><URL>http://127.0.0.1:9</URL></Connection>"
          u"<Parameters><Lines>" + Ascii(std::to_string(kLines)) + u"</Lines></Parameters></Request>";
      vxpa::HostModule::Answer answer = probe.Call("OPEN", request);
      ASSERT_EQ(answer.Result, 0) << vxtest::Printable(answer.ErrorMessage.value_or(u""));
    }
    // The premise: the last device's lines are still queued when the unloading starts.
    EXPECT_LT(LogLines(folder, "unload" + run + "d" + std::to_string(kDevices)).size(), static_cast<size_t>(kLines));
    tWatchdog watchdog(120);
    probe.Unload();
  }
  for (int device = 1; device <= kDevices; ++device) {
    std::string logId = "unload" + run + "d" + std::to_string(device);
    std::vector<std::string> lines = LogLines(folder, logId);
    std::vector<std::string> probeLines;
    for (const auto& line : lines) {
      size_t at = line.find("probe:line ");
      if (at != std::string::npos) probeLines.push_back(line.substr(at + 6));
    }
    ASSERT_EQ(probeLines.size(), static_cast<size_t>(kLines)) << logId;
    for (int i = 1; i <= kLines; ++i) {
      ASSERT_EQ(probeLines[static_cast<size_t>(i - 1)], "line " + std::to_string(i) + " of " + std::to_string(kLines));
    }
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().filename().string().starts_with("VXPA_UNLOAD_PROBE_" + logId + "_")) fs::remove(entry.path());
    }
  }
}

}  // namespace
