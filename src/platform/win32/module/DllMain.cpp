// Load and unload of the DLL. Loading starts the module state; unloading tells the log layer how
// the module goes (FreeLibrary: lpReserved is NULL, the process's other threads still run and the
// loader lock is held; process exit: non-NULL, the other threads are already gone), then tears
// the state down, devices first. Nothing here waits on another thread.
#include <windows.h>

#include "platform/ModuleEntry.h"
#include "platform/ModuleState.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE aInstance, DWORD aReason, LPVOID aReserved) {
  switch (aReason) {
    case DLL_PROCESS_ATTACH:
      try {
        vxmodule::Start();
      } catch (...) {
        return FALSE;
      }
      return TRUE;
    case DLL_PROCESS_DETACH:
      port::SetModuleUnloading(aReserved == nullptr ? port::UnloadKind::Unload : port::UnloadKind::ProcessExit);
      vxmodule::Stop();
      return TRUE;
    default:
      return TRUE;
  }
}
