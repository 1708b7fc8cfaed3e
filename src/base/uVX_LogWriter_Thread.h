#pragma once
// The log writer's background thread and its queue of finished lines.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>

#include "base/uVX_LogWriter.h"
#include "platform/Thread.h"

class tVX_LogThread {
 public:
  // Creates the empty queue and starts the thread.
  explicit tVX_LogThread(tVX_LogWriter& aWriter);
  // Returns once every queued line has been written or given up. Normally the thread drains the
  // queue and is joined; while the module unloads the destroying thread drains it itself and the
  // thread is ended without a join (platform/Thread.h).
  ~tVX_LogThread();
  tVX_LogThread(const tVX_LogThread&) = delete;
  tVX_LogThread& operator=(const tVX_LogThread&) = delete;

  // Appends a line to the queue (any thread); wakes the thread when it is idle.
  void Add(tVX_LogLine&& aLine);
  // Lines not yet written or given up, the one being written included.
  size_t QueuedLines() const;
  tVX_LogWriter& Writer() const { return fWriter; }
  // Test aid: the thread dies where it is, as at process exit on Windows (port::BackgroundThread).
  void KillForTesting() { fThread->KillForTesting(); }

 private:
  void Execute();
  void DrainWhileUnloading();

  mutable std::mutex fLock;  // guards everything below except fWriter and fThread
  std::condition_variable fWake;  // a new line, stop or take-over, for an idle thread
  std::condition_variable fIdle;  // the thread finished a line, for a destroyer taking over
  std::deque<tVX_LogLine> fQueue;
  bool fStop = false;        // leave once the queue is empty
  bool fTakenOver = false;   // leave now: the destroying thread writes the rest
  bool fQueueTaken = false;  // the destroying thread has taken the queue's lines
  bool fBusy = false;        // the thread is writing the front line
  bool fWaiting = false;     // the thread waits on fWake
  tVX_LogWriter& fWriter;
  std::unique_ptr<port::BackgroundThread> fThread;  // last: starts once the fields above exist
};
