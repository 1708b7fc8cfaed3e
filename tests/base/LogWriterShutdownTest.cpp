// Order under many writing threads, and the writer's shutdown: the destructor returns only when
// every queued line is in the file, also while the module is being unloaded.
#include "base/uVX_LogWriter.h"

#include <atomic>
#include <map>
#include <thread>

#include "LogWriterTestSupport.h"
#include "platform/FileSystem.h"
#include "platform/ModuleState.h"
#include "platform/Thread.h"

namespace {

using namespace vxlogtest;
using tVX_MessageType::let_info;

constexpr char kStamp[] = "2024-01-08 06:45:56:123 - ";

std::u16string Numbered(int aThread, int aN) {
  std::string text = "T" + std::to_string(aThread) + " " + std::to_string(aN);
  return std::u16string(text.begin(), text.end());
}

// Lines "T<thread> <n>": checks each thread's lines are all there, once, in their order.
void ExpectEveryThreadInOrder(const std::vector<std::string>& aLines, int aThreads, int aPerThread) {
  ASSERT_EQ(aLines.size(), static_cast<size_t>(aThreads * aPerThread));
  std::map<int, int> next;
  for (const std::string& line : aLines) {
    ASSERT_EQ(line.rfind(kStamp, 0), 0u) << line;
    int thread = -1, n = -1;
    ASSERT_EQ(sscanf(line.c_str() + sizeof kStamp - 1, "T%d %d", &thread, &n), 2) << line;
    ASSERT_EQ(n, next[thread]) << "line out of order or repeated: " << line;
    next[thread] = n + 1;
  }
  EXPECT_EQ(next.size(), static_cast<size_t>(aThreads));
}

class LogWriterShutdownTest : public FixedClock {
 protected:
  void TearDown() override {
    port::SetModuleUnloading(port::UnloadKind::None);
    FixedClock::TearDown();
  }
};

TEST_F(LogWriterShutdownTest, ManyThreadsLoseAndReorderNothing) {
  constexpr int kThreads = 8, kPerThread = 400;
  auto writer = std::make_unique<tVX_LogWriter>(u"A", fDir.Text(), 0, false);
  std::u16string file = writer->FileName();
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      for (int n = 0; n < kPerThread; ++n) writer->Write(let_info, Numbered(t, n));
    });
  }
  go = true;
  for (auto& thread : threads) thread.join();
  writer.reset();  // right after the burst: must return only once it is all in the file
  ExpectEveryThreadInOrder(ReadLines(file), kThreads, kPerThread);
}

// During an unload the destroying thread holds the loader lock: the log thread cannot finish
// there, so the writer must drain its queue without joining, and still keep every line once, in
// order. The burst meets a file held by another writer, so the log thread is in the middle of a
// line (retrying) when the destruction starts.
TEST_F(LogWriterShutdownTest, UnloadingDrainsTheQueueWithoutJoining) {
  constexpr int kLines = 300;
  for (port::UnloadKind kind : {port::UnloadKind::Unload, port::UnloadKind::ProcessExit}) {
    auto writer = std::make_unique<tVX_LogWriter>(u"U", fDir.Text(), 0, false);
    std::u16string file = writer->FileName();
    writer->Write(let_info, Numbered(0, 0));
    WaitUntilWritten(*writer);  // the log thread runs (a new thread cannot start under the lock)

    auto held = port::LockFileForWriting(file);
    ASSERT_NE(held, nullptr);
    for (int n = 1; n < kLines; ++n) writer->Write(let_info, Numbered(0, n));
    // Started before the lock is taken: a new thread cannot start while it is held.
    std::atomic<bool> started{false};
    std::thread release([&] {
      started = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
      held.reset();
    });
    while (!started.load()) std::this_thread::yield();
    port::SetModuleUnloading(kind);
    port::RunHoldingLoaderLockForTesting([&] { writer.reset(); });
    port::SetModuleUnloading(port::UnloadKind::None);
    release.join();
    ExpectEveryThreadInOrder(ReadLines(file), 1, kLines);
    std::filesystem::remove(std::filesystem::path(file));
  }
}

// At process exit Windows kills the log thread before the module hears of it, here in the middle
// of a line it keeps retrying: the destroying thread writes the whole queue, that line included,
// once each and in order. (Where threads are not killed, the thread finishes the work itself.)
TEST_F(LogWriterShutdownTest, ProcessExitAfterTheLogThreadWasKilledMidLine) {
  constexpr int kLines = 50;
  auto writer = std::make_unique<tVX_LogWriter>(u"K", fDir.Text(), 0, false);
  std::u16string file = writer->FileName();
  writer->Write(let_info, Numbered(0, 0));
  WaitUntilWritten(*writer);
  auto held = port::LockFileForWriting(file);
  ASSERT_NE(held, nullptr);
  for (int n = 1; n < kLines; ++n) writer->Write(let_info, Numbered(0, n));
  std::this_thread::sleep_for(std::chrono::milliseconds(120));  // retrying line 1
  writer->Thread().KillForTesting();
  held.reset();
  port::SetModuleUnloading(port::UnloadKind::ProcessExit);
  port::RunHoldingLoaderLockForTesting([&] { writer.reset(); });
  port::SetModuleUnloading(port::UnloadKind::None);
  ExpectEveryThreadInOrder(ReadLines(file), 1, kLines);
}

}  // namespace
