#include "platform/Thread.h"

#include <atomic>
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

void RunHoldingLoaderLockForTesting(const std::function<void()>& aWork) { aWork(); }

}  // namespace port
