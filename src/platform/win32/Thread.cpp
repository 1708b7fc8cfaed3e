#include "platform/Thread.h"

#include <windows.h>

#include <stdexcept>
#include <system_error>

#include "platform/ModuleState.h"

namespace port {

namespace {

// Bounds of the waits in End() during an unload: the body returns promptly once told to, so
// these only matter for a thread stuck elsewhere (or not yet started: a new thread cannot start
// while the loader lock is held).
constexpr DWORD kParkWaitMs = 2000;
constexpr DWORD kTerminateWaitMs = 1000;

}  // namespace

struct BackgroundThread::State {
  std::function<void()> body;
  HANDLE thread = nullptr;
  HANDLE parked = nullptr;  // manual reset; set by the thread as it parks
  HANDLE never = nullptr;   // manual reset; never set
  bool ended = false;
};

namespace {

DWORD WINAPI ThreadMain(void* aState) {
  auto* state = static_cast<BackgroundThread::State*>(aState);
  try {
    state->body();
  } catch (...) {
  }
  if (ModuleUnloading() != UnloadKind::None) {
    // Park: signal and start waiting in one call, so that once End() sees the signal this
    // thread never runs module code again.
    SignalObjectAndWait(state->parked, state->never, INFINITE, FALSE);
    SetEvent(state->parked);
    for (;;) Sleep(INFINITE);
  }
  return 0;
}

void CloseAll(BackgroundThread::State& aState) {
  CloseHandle(aState.thread);
  CloseHandle(aState.parked);
  CloseHandle(aState.never);
}

}  // namespace

BackgroundThread::BackgroundThread(std::function<void()> aBody) : fState(std::make_unique<State>()) {
  fState->body = std::move(aBody);
  fState->parked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  fState->never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (fState->parked && fState->never)
    fState->thread = CreateThread(nullptr, 0, ThreadMain, fState.get(), 0, nullptr);
  if (!fState->thread) {
    DWORD error = GetLastError();
    if (fState->parked) CloseHandle(fState->parked);
    if (fState->never) CloseHandle(fState->never);
    fState->ended = true;
    throw std::system_error(static_cast<int>(error), std::system_category(), "CreateThread");
  }
}

BackgroundThread::~BackgroundThread() {
  End();
  // A thread that could not be ended may still read its state: leave it to the process.
  if (!fState->ended) (void)fState.release();
}

void BackgroundThread::End() {
  State& s = *fState;
  if (s.ended) return;
  if (ModuleUnloading() == UnloadKind::None) {
    WaitForSingleObject(s.thread, INFINITE);
    CloseAll(s);
    s.ended = true;
    return;
  }
  HANDLE parkedOrEnded[2] = {s.parked, s.thread};
  DWORD r = WaitForMultipleObjects(2, parkedOrEnded, FALSE, kParkWaitMs);
  if (r != WAIT_OBJECT_0 + 1) {
    // Parked (or, after the time-out, stuck): terminating it is safe once it is parked, and a
    // stuck thread would run into unmapped code after the unload anyway.
    TerminateThread(s.thread, 0);
    if (WaitForSingleObject(s.thread, kTerminateWaitMs) != WAIT_OBJECT_0) return;
  }
  CloseAll(s);
  s.ended = true;
}

bool BackgroundThread::Alive() const {
  const State& s = *fState;
  if (s.ended) return false;
  HANDLE parkedOrEnded[2] = {s.parked, s.thread};
  return WaitForMultipleObjects(2, parkedOrEnded, FALSE, 0) == WAIT_TIMEOUT;
}

namespace {

struct Watchdog {
  HANDLE started = nullptr;
  HANDLE done = nullptr;
  DWORD limitMs = 0;
};

// Ends the process without the loader lock (ExitProcess would wait for it).
DWORD WINAPI WatchdogMain(void* aWatchdog) {
  auto* w = static_cast<Watchdog*>(aWatchdog);
  SetEvent(w->started);
  if (WaitForSingleObject(w->done, w->limitMs) != WAIT_OBJECT_0) {
    static const char kMessage[] = "RunHoldingLoaderLockForTesting: the work did not return in time\r\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), kMessage, sizeof kMessage - 1, &written, nullptr);
    TerminateProcess(GetCurrentProcess(), 3);
  }
  return 0;
}

}  // namespace

void BackgroundThread::KillForTesting() {
  State& s = *fState;
  if (s.ended) return;
  TerminateThread(s.thread, 0);
  WaitForSingleObject(s.thread, INFINITE);
}

void RunHoldingLoaderLockForTesting(const std::function<void()>& aWork, int aLimitMs) {
  using LockFn = LONG(NTAPI*)(ULONG, ULONG*, ULONG_PTR*);
  using UnlockFn = LONG(NTAPI*)(ULONG, ULONG_PTR);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto lock = reinterpret_cast<LockFn>(
      reinterpret_cast<void (*)()>(ntdll ? GetProcAddress(ntdll, "LdrLockLoaderLock") : nullptr));
  auto unlock = reinterpret_cast<UnlockFn>(
      reinterpret_cast<void (*)()>(ntdll ? GetProcAddress(ntdll, "LdrUnlockLoaderLock") : nullptr));
  if (!lock || !unlock) throw std::runtime_error("the loader lock cannot be taken");

  // The watchdog must be running before the lock is taken: a thread cannot start while it is held.
  Watchdog w;
  w.started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  w.done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  w.limitMs = static_cast<DWORD>(aLimitMs);
  HANDLE watchdog = CreateThread(nullptr, 0, WatchdogMain, &w, 0, nullptr);
  if (!w.started || !w.done || !watchdog) throw std::runtime_error("no watchdog thread");
  WaitForSingleObject(w.started, INFINITE);
  auto finish = [&] {
    SetEvent(w.done);
    WaitForSingleObject(watchdog, INFINITE);  // after the lock is released: its exit needs it
    CloseHandle(watchdog);
    CloseHandle(w.started);
    CloseHandle(w.done);
  };

  ULONG disposition = 0;
  ULONG_PTR cookie = 0;
  if (lock(0, &disposition, &cookie) != 0) {
    finish();
    throw std::runtime_error("the loader lock cannot be taken");
  }
  try {
    aWork();
  } catch (...) {
    unlock(0, cookie);
    finish();
    throw;
  }
  unlock(0, cookie);
  finish();
}

}  // namespace port
