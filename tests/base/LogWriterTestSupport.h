#pragma once
// Helpers shared by the log writer tests: a fixed clock, reading a log back, waiting for a drain.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/uVX_LogWriter.h"
#include "base/uVX_LogWriter_Thread.h"
#include "platform/Clock.h"
#include "support/TempDir.h"

namespace vxlogtest {

inline port::LocalTime gFixedNow;
inline port::LocalTime FixedNow() { return gFixedNow; }

// Fixes the clock at 2024-01-08 06:45:56.123 for the test's duration.
class FixedClock : public testing::Test {
 protected:
  void SetUp() override {
    SetClock(2024, 1, 8, 6, 45, 56, 123);
    port::OverrideNowForTesting(&FixedNow);
  }
  void TearDown() override { port::OverrideNowForTesting(nullptr); }
  static void SetClock(int y, int mo, int d, int h, int mi, int s, int ms) {
    gFixedNow = port::LocalTime{y, mo, d, h, mi, s, ms};
  }
  vxtest::TempDir fDir;
};

inline std::string ReadLog(const std::u16string& aPath) {
  return vxtest::ReadFileBytes(std::filesystem::path(aPath));
}

// The file's lines without their CR LF; fails the test on a bare LF.
inline std::vector<std::string> ReadLines(const std::u16string& aPath) {
  std::string text = ReadLog(aPath);
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

// Waits (bounded) until the writer's thread has written or dropped every queued line.
inline void WaitUntilWritten(tVX_LogWriter& aWriter) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (aWriter.Thread().QueuedLines() != 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  ASSERT_EQ(aWriter.Thread().QueuedLines(), 0u);
}

inline size_t FilesIn(const vxtest::TempDir& aDir) {
  size_t n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(aDir.Path()))
    if (entry.is_regular_file()) ++n;
  return n;
}

}  // namespace vxlogtest
