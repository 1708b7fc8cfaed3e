#pragma once
// A background thread owned by an object of the module, which can be ended safely also while the
// module is being unloaded.
//
// Normally End() waits for the thread to finish (a join). While the module is being unloaded
// (ModuleUnloading() != None) that wait is impossible on Windows: under the loader lock
// (FreeLibrary) a finishing thread waits for that very lock, so a join never returns, and at
// process exit the thread has already been killed by the system. The protocol then is:
//  1. The owner stops giving the thread work and finishes what is left on its own thread (the log
//     writer drains its queue itself once the log thread is between two lines). It makes the body
//     return, and never waits on the thread except for bounded waits (it may be dead).
//  2. When the body returns during an unload the thread does not return into the module, whose
//     code is about to be unmapped: in one atomic call it signals that it has parked and starts
//     waiting on an event that is never set. It holds no lock there and runs no module code.
//  3. End() waits (bounded) until the thread has parked or has ended (killed at process exit),
//     terminates a parked thread and closes its handles; it never waits for a thread's exit
//     notifications, which would need the loader lock.
// On POSIX systems End() always joins: a finishing thread does not need the lock dlclose holds.
#include <functional>
#include <memory>

namespace port {

class BackgroundThread {
 public:
  // Starts a thread running aBody at once. aBody must not throw (an escaping exception is
  // swallowed) and must return when its owner tells it to.
  explicit BackgroundThread(std::function<void()> aBody);
  // Calls End().
  ~BackgroundThread();
  BackgroundThread(const BackgroundThread&) = delete;
  BackgroundThread& operator=(const BackgroundThread&) = delete;

  // Ends the thread once the owner has made aBody return (or is about to): a join normally, the
  // park-and-terminate above while the module unloads. Safe to call more than once.
  void End();
  // False once the thread has ended, been killed by the system, or parked; true while it can
  // still be running the body (or has not started yet).
  bool Alive() const;
  // Test aid: kills the thread wherever it is, as Windows kills every other thread before the
  // module's process-exit notification. Does nothing elsewhere, where that does not happen.
  void KillForTesting();

  struct State;  // per target

 private:
  std::unique_ptr<State> fState;
};

// Test aid: runs aWork while holding the lock the system holds while it unloads a module
// (Windows: the loader lock; elsewhere there is none), so that a test can prove a shutdown path
// never waits on a thread's exit there. Such a wait never returns: when aWork has not returned
// after aLimitMs the process is ended at once with exit code 3 and a message on stderr.
void RunHoldingLoaderLockForTesting(const std::function<void()>& aWork, int aLimitMs = 60000);

}  // namespace port
