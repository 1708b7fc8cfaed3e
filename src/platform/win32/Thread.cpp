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

void RunHoldingLoaderLockForTesting(const std::function<void()>& aWork) {
  using LockFn = LONG(NTAPI*)(ULONG, ULONG*, ULONG_PTR*);
  using UnlockFn = LONG(NTAPI*)(ULONG, ULONG_PTR);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto lock = reinterpret_cast<LockFn>(
      reinterpret_cast<void (*)()>(ntdll ? GetProcAddress(ntdll, "LdrLockLoaderLock") : nullptr));
  auto unlock = reinterpret_cast<UnlockFn>(
      reinterpret_cast<void (*)()>(ntdll ? GetProcAddress(ntdll, "LdrUnlockLoaderLock") : nullptr));
  ULONG disposition = 0;
  ULONG_PTR cookie = 0;
  if (!lock || !unlock || lock(0, &disposition, &cookie) != 0)
    throw std::runtime_error("the loader lock cannot be taken");
  try {
    aWork();
  } catch (...) {
    unlock(0, cookie);
    throw;
  }
  unlock(0, cookie);
}

}  // namespace port
