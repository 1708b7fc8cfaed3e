#include "platform/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/ModuleState.h"

namespace {

// A body that runs until told to stop, the way the log thread does.
struct StoppableBody {
  std::mutex lock;
  std::condition_variable wake;
  bool stop = false;
  std::atomic<int> rounds{0};

  void Run() {
    std::unique_lock<std::mutex> l(lock);
    while (!stop) {
      ++rounds;
      wake.wait(l);
    }
  }
  void Stop() {
    {
      std::lock_guard<std::mutex> l(lock);
      stop = true;
    }
    wake.notify_all();
  }
};

void WaitForFirstRound(const StoppableBody& aBody) {
  while (aBody.rounds.load() == 0) std::this_thread::yield();
}

TEST(BackgroundThreadTest, EndWaitsForTheBody) {
  StoppableBody body;
  std::atomic<bool> returned{false};
  port::BackgroundThread thread([&] {
    body.Run();
    returned = true;
  });
  WaitForFirstRound(body);
  EXPECT_TRUE(thread.Alive());
  body.Stop();
  thread.End();
  EXPECT_TRUE(returned.load());
  EXPECT_FALSE(thread.Alive());
  thread.End();  // a second call does nothing
}

// While the module unloads, the system's loader lock is held: a thread cannot finish then, so
// End() must not wait for that (a join here hangs under Windows).
TEST(BackgroundThreadTest, EndReturnsUnderTheLoaderLockWhileUnloading) {
  for (port::UnloadKind kind : {port::UnloadKind::Unload, port::UnloadKind::ProcessExit}) {
    StoppableBody body;
    std::atomic<bool> returned{false};
    auto thread = std::make_unique<port::BackgroundThread>([&] {
      body.Run();
      returned = true;
    });
    WaitForFirstRound(body);
    port::SetModuleUnloading(kind);
    port::RunHoldingLoaderLockForTesting([&] {
      body.Stop();
      thread->End();
      thread.reset();
    });
    port::SetModuleUnloading(port::UnloadKind::None);
    EXPECT_TRUE(returned.load());
  }
}

}  // namespace
