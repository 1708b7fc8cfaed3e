#include "platform/Thread.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace port {

struct BackgroundThread::State {
  std::atomic<bool> finished{false};
  std::thread thread;
};

BackgroundThread::BackgroundThread(std::function<void()> aBody) : fState(std::make_unique<State>()) {
  State* state = fState.get();
  state->thread = std::thread([state, body = std::move(aBody)] {
    try {
      body();
    } catch (...) {
    }
    state->finished.store(true);
  });
}

BackgroundThread::~BackgroundThread() { End(); }

void BackgroundThread::End() {
  if (fState->thread.joinable()) fState->thread.join();
}

bool BackgroundThread::Alive() const { return !fState->finished.load(); }

void BackgroundThread::KillForTesting() {}

void RunHoldingLoaderLockForTesting(const std::function<void()>& aWork, int aLimitMs) {
  std::mutex lock;
  std::condition_variable doneChanged;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> l(lock);
    if (!doneChanged.wait_for(l, std::chrono::milliseconds(aLimitMs), [&] { return done; })) {
      std::fputs("RunHoldingLoaderLockForTesting: the work did not return in time\n", stderr);
      _exit(3);
    }
  });
  auto finish = [&] {
    {
      std::lock_guard<std::mutex> l(lock);
      done = true;
    }
    doneChanged.notify_all();
    watchdog.join();
  };
  try {
    aWork();
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

}  // namespace port
