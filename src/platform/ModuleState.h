#pragma once
// Whether the module is being unloaded, and how. The module's entry point sets it before it
// destroys the registries, so that code running in destructors (the log writers) can end its
// threads without waiting on them where waiting would hang (see Thread.h).
#include <cstdint>

namespace port {

enum class UnloadKind : uint8_t {
  None,         // normal operation
  Unload,       // the host unloads the module; its other threads still run (Windows: under the loader lock)
  ProcessExit,  // the process ends; on Windows its other threads are already gone
};

// Windows: call from DllMain(DLL_PROCESS_DETACH) before anything is destroyed, with ProcessExit
// when lpReserved is not NULL and Unload otherwise. Elsewhere the default None stays right.
void SetModuleUnloading(UnloadKind aKind);
UnloadKind ModuleUnloading();

}  // namespace port
