#include "base/uVX_LogWriter_Thread.h"

#include <chrono>

#include "platform/Clock.h"
#include "platform/ModuleState.h"

namespace {

// Bounds of the take-over during an unload. The log thread holds the lock only for moments and
// finishes a line within its 10 attempts (about half a second); past these bounds it is taken to
// be dead (killed at process exit) or stuck.
constexpr int kLockTries = 1000;  // 1 ms apart
constexpr auto kLineWait = std::chrono::seconds(5);
constexpr auto kLineWaitSlice = std::chrono::milliseconds(10);

}  // namespace

tVX_LogThread::tVX_LogThread(tVX_LogWriter& aWriter)
    : fWriter(aWriter), fThread(std::make_unique<port::BackgroundThread>([this] { Execute(); })) {}

tVX_LogThread::~tVX_LogThread() {
  if (port::ModuleUnloading() == port::UnloadKind::None) {
    {
      std::lock_guard<std::mutex> lock(fLock);
      fStop = true;
    }
    fWake.notify_all();
  } else {
    DrainWhileUnloading();
  }
  fThread->End();
}

void tVX_LogThread::Add(tVX_LogLine&& aLine) {
  bool wake;
  {
    std::lock_guard<std::mutex> lock(fLock);
    fQueue.push_back(std::move(aLine));
    wake = fWaiting;
  }
  // Only an idle thread needs a wake-up: a busy one looks at the queue again after its line.
  if (wake) fWake.notify_one();
}

size_t tVX_LogThread::QueuedLines() const {
  std::lock_guard<std::mutex> lock(fLock);
  return fQueue.size();
}

void tVX_LogThread::Execute() {
  std::unique_lock<std::mutex> lock(fLock);
  for (;;) {
    if (fTakenOver) return;
    if (fQueue.empty()) {
      if (fStop) return;
      fWaiting = true;
      fWake.wait(lock);
      fWaiting = false;
      continue;
    }
    // The line stays queued (and counted) until it has been written or given up.
    tVX_LogLine line = fQueue.front();
    fBusy = true;
    lock.unlock();
    fWriter.AppendLogLine(line);
    lock.lock();
    fBusy = false;
    if (!fQueueTaken) fQueue.pop_front();
    if (fTakenOver) fIdle.notify_all();
  }
}

// The destroying thread takes the queue over and writes it itself, never waiting on the log
// thread's exit: under the loader lock that exit cannot happen, and at process exit the thread is
// already gone (possibly in the middle of a line, which is then written again).
void tVX_LogThread::DrainWhileUnloading() {
  std::unique_lock<std::mutex> lock(fLock, std::defer_lock);
  for (int i = 0; !lock.try_lock(); ++i) {
    // Only a thread killed while holding the lock keeps it this long; the queue may then be in
    // any state and is left alone.
    if (i == kLockTries) return;
    port::SleepMs(1);
  }
  fStop = true;
  fTakenOver = true;
  if (fThread->Alive()) fWake.notify_all();
  auto deadline = std::chrono::steady_clock::now() + kLineWait;
  while (fBusy && fThread->Alive() && std::chrono::steady_clock::now() < deadline)
    fIdle.wait_for(lock, kLineWaitSlice);
  std::deque<tVX_LogLine> lines;
  lines.swap(fQueue);
  fQueueTaken = true;
  lock.unlock();
  for (const tVX_LogLine& line : lines) fWriter.AppendLogLine(line);
}
